// The installer's two dialogs in the headless dialog host, driven as a
// person would: the texts in both languages, Browse, Cancel and its
// confirmation, the refused empty folder, Install running to the final
// message, and Cancel while the picture is unpacked.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "installer/setup_dialogs.h"
#include "installer/setup_flow.h"
#include "installer/setup_text.h"
#include "platform/dialog_backend.h"
#include "settings/cp1251.h"
#include "settings/settings_store.h"
#include "tests/installer/temporary_home.h"

namespace {

using ::testing::ElementsAre;

std::string Cp1251(const char* utf8) {
    std::string text;
    Cp1251FromUtf8(utf8, &text);
    return text;
}

// The person: one step per call, each given the innermost dialog.
std::function<int(HWND)> act;
std::function<int(const MessageBoxRecord&)> answer;
std::string chosenFolder;

int Act(HWND dialog, void*) {
    return act ? act(dialog) : 0;
}
int Answer(const MessageBoxRecord& box, void*) {
    return answer ? answer(box) : MessageBoxDefaultButton(box.type);
}
int ChooseFolder(const char*, std::string* path, void*) {
    *path = chosenFolder;
    return 1;
}
const HeadlessPerson person = {Act, Answer, ChooseFolder, nullptr};

std::string Text(HWND dialog, int id) {
    ControlRecord* control = DialogFindControl(dialog, id);
    return control != nullptr ? control->text : "<none>";
}

class SetupDialogs : public TemporaryHome {
  protected:
    void SetUp() override {
        TemporaryHome::SetUp();
        DialogSetBackend(nullptr);
        HeadlessSetPerson(&person);
        DialogTakeMessageBoxes();
        act = nullptr;
        answer = nullptr;
    }
    void TearDown() override {
        HeadlessSetPerson(nullptr);
        TemporaryHome::TearDown();
    }
    static bool IsMain(HWND dialog) {
        return DialogFind(dialog)->dialogTemplate == &setupMainTemplate;
    }
    // The texts of the message boxes shown, as UTF-8.
    static std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : DialogTakeMessageBoxes()) {
            EXPECT_EQ(box.caption, "Nocturo 3D");
            texts.push_back(Cp1251ToUtf8(box.text.c_str()));
        }
        return texts;
    }
};

TEST_F(SetupDialogs, OpensInEnglishSwitchesToRussianAndInstallsIntoTheChosenFolder) {
    chosenFolder = Path("Chosen");
    int step = 0;
    std::vector<std::string> statuses;
    act = [&](HWND dialog) -> int {
        if (!IsMain(dialog)) {
            // The progress dialog: wait for its timers and the worker.
            const std::string status = Text(dialog, kSetupStatusLine);
            if (statuses.empty() || statuses.back() != status) {
                statuses.push_back(status);
            }
            DialogWait(20);
            return 1;
        }
        switch (step++) {
            case 0:
                EXPECT_EQ(DialogFind(dialog)->title, "Setup - Nocturo 3D Screensaver");
                EXPECT_EQ(Text(dialog, kSetupInstallButton), "Install");
                EXPECT_EQ(Text(dialog, kSetupFolderField), Path(".local/share/Nocturo 3D"));
                EXPECT_THAT(DialogFindControl(dialog, kSetupLanguageList)->items,
                            ElementsAre("English", "Russian"));
                return PersonPicks(dialog, kSetupLanguageList, 1);
            case 1:
                EXPECT_EQ(DialogFind(dialog)->title, Cp1251("Установка заставки Nocturo 3D"));
                EXPECT_EQ(Text(dialog, kSetupInstallButton), Cp1251("Установить"));
                EXPECT_EQ(Text(dialog, kSetupCancelButton), Cp1251("Отмена"));
                EXPECT_EQ(Text(dialog, kSetupBrowseButton), Cp1251("Сменить"));
                EXPECT_EQ(Text(dialog, kSetupWelcomeText),
                          Cp1251("Добро пожаловать в программу\n\rустановки Nocturo 3D"));
                // An empty field is refused and the dialog stays.
                return PersonTypes(dialog, kSetupFolderField, "") &&
                       PersonClicks(dialog, kSetupInstallButton);
            case 2:
                EXPECT_THAT(Messages(), ElementsAre("Укажите каталог для установки."));
                // Browse replaces the whole field; nothing is added to it.
                PersonClicks(dialog, kSetupBrowseButton);
                EXPECT_EQ(Text(dialog, kSetupFolderField), chosenFolder);
                return PersonClicks(dialog, kSetupInstallButton);
            default:
                ADD_FAILURE() << "the main dialog came back";
                return 0;
        }
    };
    EXPECT_EQ(SetupRunDialogs(), kSetupExitComplete);
    EXPECT_THAT(statuses,
                ElementsAre(Cp1251("Копирование файлов"), Cp1251("Распаковка изображений...")));
    EXPECT_THAT(Messages(), ElementsAre("Установка программы завершена"));
    EXPECT_TRUE(Exists(chosenFolder + "/moon_2048x1024.bmp"));
    EXPECT_TRUE(Exists(Path(".local/bin/Nocturo.scr")));
    EXPECT_TRUE(Exists(Path(".xscreensaver")));
    setenv("NOCTURO_SETTINGS_DIR", StoreDirectory().c_str(), 1);
    int32_t language = -1;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, 4), 1);
    EXPECT_EQ(language, 1);
}

TEST_F(SetupDialogs, CancelAsksFirstAndEndsWithoutInstalling) {
    std::vector<int> answers = {IDCANCEL, IDOK};
    answer = [&](const MessageBoxRecord& box) {
        EXPECT_EQ(box.type & MB_DEFMASK, MB_DEFBUTTON2) << "Cancel is the default";
        const int given = answers.front();
        answers.erase(answers.begin());
        return given;
    };
    int step = 0;
    act = [&](HWND dialog) -> int {
        if (step++ == 0) {
            return PersonClicks(dialog, kSetupCancelButton);  // answered Cancel: stays
        }
        return PersonPressesEscape(dialog);  // answered OK: ends
    };
    EXPECT_EQ(SetupRunDialogs(), kSetupExitInterrupted);
    EXPECT_EQ(step, 2);
    EXPECT_THAT(Messages(),
                ElementsAre("Setup is not complete.\n\rYou really want to exit Setup?",
                            "Setup is not complete.\n\rYou really want to exit Setup?"));
    EXPECT_TRUE(Tree().empty());
}

TEST_F(SetupDialogs, CancelWhileUnpackingLeavesNoPartialPicture) {
    act = [&](HWND dialog) -> int {
        if (IsMain(dialog)) {
            return PersonClicks(dialog, kSetupInstallButton);
        }
        SetupTextBuild();
        if (Text(dialog, kSetupStatusLine) == SetupTextGet(kSetupUnpacking)) {
            return PersonClicks(dialog, kSetupProgressCancel);  // the worker is decoding
        }
        DialogWait(5);
        return 1;
    };
    EXPECT_EQ(SetupRunDialogs(), kSetupExitInterrupted);
    EXPECT_THAT(Messages(), ElementsAre("Setup is interrupted"));
    const std::string folder = Path(".local/share/Nocturo 3D");
    EXPECT_TRUE(Exists(folder + "/readme.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_THAT(name, ::testing::Not(::testing::HasSubstr("moon_2048x1024"))) << name;
        EXPECT_NE(name, "moon_1024x1024.pack");
    }
    EXPECT_FALSE(Exists(Path(".xscreensaver")));
}

}  // namespace
