#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "settings/settings_store.h"
#include "tests/support/temporary_store.h"

// Configure mode for real: Nocturo.scr c shows the settings dialog in GTK on
// the test display, in both languages; the keys a person presses end it.

extern char** environ;

namespace {

std::string Bin(const char* name) {
    return std::string(NOCTURO_BINARY_DIR) + "/bin/" + name;
}

// The output of a shell command (xdotool), without the last line end.
std::string Output(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    char buffer[256];
    while (fgets(buffer, sizeof buffer, p)) {
        out += buffer;
    }
    pclose(p);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

class ConfigureModeTest : public TemporaryStore {
  protected:
    void SetUp() override {
        TemporaryStore::SetUp();
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "needs the test display";
        }
        ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
        std::string en = std::string(NOCTURO_BINARY_DIR) + "/resources/town_en";
        SettingsWriteString(kSettingsSubkey, kSettingPlaces00, en.c_str(),
                            static_cast<uint32_t>(en.size()));
    }
    void TearDown() override {
        if (saver_ > 0) {
            kill(saver_, SIGKILL);
            waitpid(saver_, nullptr, 0);
        }
        TemporaryStore::TearDown();
    }
    void Start() {
        char* argv[] = {const_cast<char*>("Nocturo.scr"), const_cast<char*>("c"), nullptr};
        std::string path = Bin("Nocturo.scr");
        ASSERT_EQ(posix_spawn(&saver_, path.c_str(), nullptr, nullptr, argv, environ), 0);
    }
    // The dialog's window id, once a window with this title shows.
    std::string WaitForWindow(const std::string& title) {
        for (int i = 0; i < 100; ++i) {
            std::string id = Output("xdotool search --onlyvisible --name '^" + title +
                                    "$' 2>/dev/null | head -1");
            if (!id.empty()) {
                return id;
            }
            usleep(100000);
        }
        return "";
    }
    int Press(const std::string& window, const char* key) {
        // Focus first, so the key reaches the dialog as a person's would.
        std::system(("xdotool windowfocus --sync " + window + " 2>/dev/null").c_str());
        std::system(("xdotool key --clearmodifiers " + std::string(key) + " 2>/dev/null").c_str());
        int status = 0;
        for (int i = 0; i < 100 && waitpid(saver_, &status, WNOHANG) == 0; ++i) {
            usleep(100000);
        }
        saver_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    pid_t saver_ = 0;
};

TEST_F(ConfigureModeTest, EscapeEndsWithTwoInEitherLanguage) {
    struct Case {
        int32_t language;
        const char* title;
    };
    for (const Case& c : {Case{0, " Nocturo"}, Case{1, " Параметры заставки \"Nocturo\""}}) {
        SCOPED_TRACE(c.title);
        SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &c.language, 4);
        Start();
        std::string window = WaitForWindow(c.title);
        ASSERT_FALSE(window.empty());
        EXPECT_EQ(Press(window, "Escape"), 2);
    }
}

TEST_F(ConfigureModeTest, ReturnEndsWithOneAndStoresThePlace) {
    setenv("TZ", "Europe/London", 1);
    Start();
    std::string window = WaitForWindow(" Nocturo");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Press(window, "Return"), 1);
    unsetenv("TZ");
    double latitude = 0;
    ASSERT_EQ(SettingsReadValue(kSettingsSubkey, kSettingLatitude, &latitude, 8), 1);
    // The zone's city, London, shown in whole seconds and read back from the fields.
    EXPECT_NEAR(latitude, 51.5, 0.05);
}

}  // namespace
