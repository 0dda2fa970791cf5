// setup_nocturo --unattended and --uninstall as a script runs them, each in
// a fresh temporary home: the files, the settings, the hand-over to
// xscreensaver, the failures, and removal.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "installer/xscreensaver_programs.h"
#include "settings/settings_store.h"
#include "tests/installer/temporary_home.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The carried files, in order, as the build made them (name|path ...).
struct Carried {
    std::string name, source, installed;  // installed: relative to the home
};

std::vector<Carried> CarriedFiles(const std::string& folder) {
    std::vector<Carried> files;
    std::istringstream list(NOCTURO_CARRIED_FILES);
    std::string source;
    while (std::getline(list, source, '|')) {
        const std::string name = std::filesystem::path(source).filename().string();
        const std::string installed =
            name == "Nocturo.scr" ? ".local/bin/Nocturo.scr" : folder + "/" + name;
        files.push_back({name, source, installed});
    }
    return files;
}

const char* kFolder = ".local/share/Nocturo 3D";
constexpr int kDialogEndedOk = 1;  // nocturo-dialog's exit code: the dialog ended with OK

class SetupInstall : public TemporaryHome {
  protected:
    // A value of the settings store of this home ("" when absent).
    std::string Setting(const char* name) {
        setenv("NOCTURO_SETTINGS_DIR", StoreDirectory().c_str(), 1);
        char buffer[400] = {};
        const int ok = SettingsReadValue(kSettingsSubkey, name, buffer, sizeof buffer - 1);
        unsetenv("NOCTURO_SETTINGS_DIR");
        if (!ok) {
            return "<absent>";
        }
        const SettingsValueInfo* info = SettingsFindValue(name);
        if (info != nullptr && info->kind == kSettingsText) {
            return buffer;
        }
        return std::to_string(static_cast<int>(static_cast<unsigned char>(buffer[0])));
    }

    void WriteSetting(const char* name, const void* data, uint32_t size) {
        setenv("NOCTURO_SETTINGS_DIR", StoreDirectory().c_str(), 1);
        ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
        ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, name, data, size), 1);
        unsetenv("NOCTURO_SETTINGS_DIR");
    }

    int NocturoEntries() {
        int count = 0;
        for (const XscreensaverEntry& entry :
             XscreensaverListPrograms(Read(Path(".xscreensaver")))) {
            count += XscreensaverProgramName(entry.command) == "Nocturo.scr";
        }
        return count;
    }

    // Nothing half-written is left in the folder: no temporary files, no pack.
    void ExpectNoLeftovers(const std::string& folder) {
        if (!std::filesystem::is_directory(folder)) {
            return;
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_NE(name[0], '.') << "temporary file left: " << name;
            EXPECT_NE(name, "moon_1024x1024.pack");
        }
    }

    void ExpectNoHandOver() {
        EXPECT_FALSE(Exists(Path(".xscreensaver")));
        EXPECT_FALSE(Exists(Path(".local/share/applications/screensavers/nocturo.desktop")));
    }
};

TEST_F(SetupInstall, WritesEveryCarriedFileTheSettingsAndTheHandOver) {
    ASSERT_EQ(RunSetup("--unattended"), 0) << output;
    EXPECT_THAT(output, HasSubstr("Setup is complete\n"));
    const std::string folder = Path(kFolder);
    for (const Carried& file : CarriedFiles(kFolder)) {
        if (file.name == "moon_1024x1024.pack") {
            EXPECT_FALSE(Exists(folder + "/" + file.name)) << "the pack is deleted once unpacked";
            continue;
        }
        EXPECT_EQ(Read(Path(file.installed)), Read(file.source)) << file.name;
    }
    EXPECT_EQ(std::filesystem::status(Path(".local/bin/Nocturo.scr")).permissions() &
                  std::filesystem::perms::owner_exec,
              std::filesystem::perms::owner_exec);
    EXPECT_EQ(Read(folder + "/moon_2048x1024.bmp"),
              Read(std::string(NOCTURO_BINARY_DIR) + "/resources/moon_2048x1024.bmp"));
    ExpectNoLeftovers(folder);

    EXPECT_EQ(Setting(kSettingTextures00), folder + "/moon_2048x1024.bmp");
    EXPECT_EQ(Setting(kSettingTextures01), folder + "/moon_256x128.bmp");
    EXPECT_EQ(Setting(kSettingPlaces00), folder + "/town_en");
    EXPECT_EQ(Setting(kSettingPlaces01), folder + "/town_ru");
    EXPECT_EQ(Setting(kSettingLanguage), "0");
    EXPECT_EQ(Setting(kSettingShowStar), "1");
    EXPECT_EQ(Setting(kSettingShowText), "1");
    EXPECT_EQ(Setting(kSettingLatitude), "<absent>") << "the place is the settings dialog's";

    // No ~/.xscreensaver before: the system's list, then Nocturo 3D last.
    const std::vector<XscreensaverEntry> listed =
        XscreensaverListPrograms(Read(Path(".xscreensaver")));
    const std::vector<XscreensaverEntry> system =
        XscreensaverListPrograms(Read("/etc/X11/app-defaults/XScreenSaver"));
    ASSERT_EQ(listed.size(), system.size() + 1);
    for (size_t i = 0; i < system.size(); ++i) {
        EXPECT_EQ(listed[i].text, system[i].text);
    }
    EXPECT_EQ(listed.back().command, Path(".local/bin/Nocturo.scr") + " s");
    const std::string desktop =
        Read(Path(".local/share/applications/screensavers/nocturo.desktop"));
    EXPECT_THAT(desktop, HasSubstr("\nExec=" + Path(".local/bin/Nocturo.scr") + " s\n"));

    // A second install lists it no second time and leaves the file alone.
    const std::string first = Read(Path(".xscreensaver"));
    ASSERT_EQ(RunSetup("--unattended"), 0) << output;
    EXPECT_EQ(Read(Path(".xscreensaver")), first);
    EXPECT_EQ(NocturoEntries(), 1);
}

TEST_F(SetupInstall, KeepsTheUsersOwnProgramsAndOtherLines) {
    const std::string mine =
        "# XScreenSaver Preferences File\n"
        "timeout:\t0:10:00\n"
        "programs:\t\t\t\t\t\t\t      \\\n"
        "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
        "-\t\t\t\trocks -root\t\t\t\t    \\n\\\n"
        "  GL:\t\t\t\tgears -root\t\t\t\t    \\n\n"
        "\n"
        "pointerPollTime:\t0:00:05\n";
    Write(Path(".xscreensaver"), mine);
    ASSERT_EQ(RunSetup("--unattended --folder '" + Path("Moon") + "'"), 0) << output;
    const std::string after = Read(Path(".xscreensaver"));
    const std::vector<XscreensaverEntry> listed = XscreensaverListPrograms(after);
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].command, "maze -root");
    EXPECT_FALSE(listed[1].enabled);
    EXPECT_EQ(listed[2].command, "gears -root");
    EXPECT_EQ(listed[3].command, Path(".local/bin/Nocturo.scr") + " s");
    // Every line of the user's stays, in its order; only one line is new.
    EXPECT_EQ(XscreensaverRemoveEntry(after, listed[3].text, ""), mine);
    ASSERT_EQ(RunSetup("--unattended --folder '" + Path("Moon") + "'"), 0) << output;
    EXPECT_EQ(Read(Path(".xscreensaver")), after);
    EXPECT_EQ(Setting(kSettingPlaces01), Path("Moon/town_ru"));
}

TEST_F(SetupInstall, RussianSetupMakesTheSaverRussian) {
    ASSERT_EQ(RunSetup("--unattended --language ru"), 0) << output;
    EXPECT_THAT(output, HasSubstr("Установка программы завершена\n"));
    EXPECT_EQ(Setting(kSettingLanguage), "1");
    EXPECT_EQ(Read(Setting(kSettingPlaces01)),
              Read(CarriedFiles(kFolder)[2].source));  // the Russian city list
    // The saver's settings dialog then opens in Russian on the installed
    // Russian list: in UTC its default city is London, found in town_ru.
    const std::string command = "printf 'ok\\n' | env -i HOME='" + home +
                                "' PATH=/usr/bin:/bin TZ=UTC " NOCTURO_BINARY_DIR
                                "/bin/nocturo-dialog > '" +
                                Path("dialog.json") + "'";
    const int status = std::system(command.c_str());
    ASSERT_EQ(WEXITSTATUS(status), kDialogEndedOk) << Read(Path("dialog.json"));
    const std::string state = Read(Path("dialog.json"));
    EXPECT_THAT(state, HasSubstr("\"Language\":1,"));
    EXPECT_THAT(state, HasSubstr("\"CityCurrent_ru\":"));
    EXPECT_THAT(state, HasSubstr("\"Latitude\":51.5")) << state;
}

// Each way an install can fail: the failure text, exit status 1, no
// hand-over, nothing half-written left behind.
struct Failure {
    const char* what;
    const char* prepare;  // shell commands run in the home first
    const char* folder;   // relative to the home
    const char* prefix;   // before setup_nocturo in its shell
    const char* message;  // printed before the final text, or ""
};

void PrintTo(const Failure& failure, std::ostream* out) {
    *out << failure.what;
}

class SetupFailure : public SetupInstall, public ::testing::WithParamInterface<Failure> {};

TEST_P(SetupFailure, GivesTheFailureTextAndNoHandOver) {
    const Failure& failure = GetParam();
    ASSERT_EQ(std::system(("cd '" + home + "' && " + failure.prepare).c_str()), 0);
    EXPECT_EQ(RunSetup(std::string("--unattended --folder '") + Path(failure.folder) + "'", "",
                       failure.prefix),
              1)
        << output;
    EXPECT_THAT(output, HasSubstr(std::string(failure.message)));
    EXPECT_THAT(output, HasSubstr("Setup is not complete\n"));
    EXPECT_THAT(output, Not(HasSubstr("Setup is complete")));
    ExpectNoHandOver();
    ExpectNoLeftovers(Path(failure.folder));
    ExpectNoLeftovers(Path(".local/bin"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupFailure,
    ::testing::Values(Failure{"FolderCannotBeMade", "touch plain", "plain/Moon", "", ""},
                      Failure{"FileCannotBeWritten", "mkdir -p Moon/readme.txt", "Moon", "",
                              "Can't write file readme.txt\n"},
                      Failure{"SaverFolderCannotBeMade", "mkdir .local && touch .local/bin", "Moon",
                              "", "Can't write file Nocturo.scr\n"},
                      // A disk that takes 1 MB: the saver's write comes out short.
                      Failure{"ShortWrite", "true", "Moon", "ulimit -f 1024; trap '' XFSZ; ", ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SetupInstall, RefusesAnEmptyOrOverlongFolderAndWritesNothing) {
    EXPECT_EQ(RunSetup("--unattended --folder '  '"), 2);
    EXPECT_THAT(output, HasSubstr("Please enter the folder to install into."));
    EXPECT_EQ(RunSetup("--unattended --folder /" + std::string(90, 'x')), 2);
    EXPECT_THAT(output, HasSubstr("The folder name is too long."));
    EXPECT_TRUE(Tree().empty());
}

TEST_F(SetupInstall, WithoutDisplayOrWithBadArgumentsSaysHowAndWritesNothing) {
    EXPECT_EQ(RunSetup(""), 2);
    EXPECT_THAT(output, HasSubstr("setup_nocturo --unattended"));
    for (const char* bad : {"--unattended --language de", "--unattended stray", "--bogus"}) {
        EXPECT_EQ(RunSetup(bad), 2) << bad;
        EXPECT_THAT(output, HasSubstr("setup_nocturo")) << bad;
    }
    EXPECT_TRUE(Tree().empty());
}

TEST_F(SetupInstall, RemovalTakesAwayExactlyWhatTheInstallAdded) {
    // The user's own things before the install: an xscreensaver file, a
    // settings store with a language and a place, a file in ~/.local/bin.
    Write(Path(".xscreensaver"), "mode:\t\trandom\nprograms:\t\\\n\t\tmaze -root \\n\n");
    Write(Path(".local/bin/mine"), "#!/bin/sh\n");
    const int32_t russian = 1;
    WriteSetting(kSettingLanguage, &russian, 4);
    const double latitude = 51.5;
    WriteSetting(kSettingLatitude, &latitude, 8);
    const auto before = Tree();

    ASSERT_EQ(RunSetup("--unattended"), 0) << output;
    ASSERT_EQ(RunSetup("--unattended"), 0) << output;  // twice: still one record
    // The user turns the stars off after installing: that stays theirs.
    const uint8_t off = 0;
    WriteSetting(kSettingShowStar, &off, 1);

    ASSERT_EQ(RunSetup("--uninstall"), 0) << output;
    EXPECT_THAT(output, HasSubstr("Removed " + Path(".local/bin/Nocturo.scr") + "\n"));
    EXPECT_EQ(Setting(kSettingShowStar), "0");
    EXPECT_EQ(Setting(kSettingLanguage), "1");
    EXPECT_EQ(Setting(kSettingTextures00), "<absent>");
    auto after = Tree();
    const std::string store = "/.config/nocturo/registry/user.reg";
    after.erase(store);
    auto expected = before;
    expected.erase(store);
    EXPECT_EQ(after, expected);

    EXPECT_EQ(RunSetup("--uninstall"), 1) << "nothing is installed any more";
}

TEST_F(SetupInstall, RemovalDeletesAnXscreensaverFileItMadeUnlessChangedSince) {
    ASSERT_EQ(RunSetup("--unattended"), 0) << output;
    ASSERT_EQ(RunSetup("--uninstall"), 0) << output;
    EXPECT_FALSE(Exists(Path(".xscreensaver")));

    ASSERT_EQ(RunSetup("--unattended"), 0) << output;
    const std::string made = Read(Path(".xscreensaver"));
    Write(Path(".xscreensaver"), "timeout:\t0:05:00\n" + made);  // the user's change
    ASSERT_EQ(RunSetup("--uninstall"), 0) << output;
    const std::string left = Read(Path(".xscreensaver"));
    EXPECT_THAT(left, HasSubstr("timeout:\t0:05:00\n"));
    EXPECT_THAT(left, Not(HasSubstr("Nocturo.scr")));
}

}  // namespace
