// The nocturo-settings tool, run as a program against a temporary store.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_place.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "tests/support/temporary_store.h"

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class NocturoSettingsTool : public TemporaryStore {
  protected:
    Result Run(const std::vector<std::string>& arguments) {
        std::string command =
            ShellQuoted(std::string(NOCTURO_BINARY_DIR) + "/bin/nocturo-settings");
        for (const std::string& argument : arguments) {
            command += " " + ShellQuoted(argument);
        }
        std::string out = root_ + "/out";
        std::string err = root_ + "/err";
        command += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
        int status = std::system(command.c_str());
        Result result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }
};

TEST_F(NocturoSettingsTool, SetThenGetShowsTypeSizeAndMeaning) {
    struct Case {
        std::vector<std::string> set;
        std::string shown;
    };
    const Case cases[] = {
        {{"Latitude", "--double", "51.5"},
         "Latitude: binary, 8 bytes: 00 00 00 00 00 c0 49 40 (double 51.5)\n"},
        {{"Language", "--int32", "-1"}, "Language: binary, 4 bytes: ff ff ff ff (int32 -1)\n"},
        {{"ShowStar", "--byte", "255"}, "ShowStar: binary, 1 byte: ff (byte 255)\n"},
        {{"SkyView", "--byte", "1"}, "SkyView: binary, 1 byte: 01 (byte 1)\n"},
        {{"ShowMoonFacts", "--byte", "0"}, "ShowMoonFacts: binary, 1 byte: 00 (byte 0)\n"},
        {{"Unlisted", "--hex", "01 02:0A"}, "Unlisted: binary, 3 bytes: 01 02 0a\n"},
        {{"textures00", "--string", "/m/\"moon\".bmp"},
         "textures00: string, 14 bytes: \"/m/\\\"moon\\\".bmp\"\n"},
        {{"places00", "--string", "--not-an-option"},
         "places00: string, 16 bytes: \"--not-an-option\"\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"set"};
        arguments.insert(arguments.end(), c.set.begin(), c.set.end());
        Result set = Run(arguments);
        ASSERT_EQ(set.status, 0) << set.err;
        EXPECT_EQ(set.out, "");
        Result get = Run({"get", c.set[0]});
        EXPECT_EQ(get.status, 0) << get.err;
        EXPECT_EQ(get.out, c.shown);
    }
    Result list = Run({"list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 8);
    // The one-byte flags take no wider value: the scene could never read it.
    EXPECT_EQ(Run({"set", "SkyView", "--int32", "1"}).status, 2);

    // The settings operations see what the tool wrote: the place moves.
    SettingsPlace place = SettingsReadPlace(kUiTextEnglish, 0);
    EXPECT_EQ(place.latitude, 51.5);
}

TEST_F(NocturoSettingsTool, ErrorsSayOneLineAndExitWithTwo) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
    };
    const Case cases[] = {
        {{"list"}, 2},                                  // no key yet
        {{"get", "Latitude"}, 2},                       // no key yet
        {{"set", "Latitude", "--double", "north"}, 2},  // bad number
        {{"set", "Latitude", "--double", "1e999"}, 2},
        {{"set", "Language", "--int32", "2147483648"}, 2},
        {{"set", "ShowStar", "--byte", "256"}, 2},
        {{"set", "PlaceOther", "--hex", "123"}, 2},
        {{"set", "PlaceOther", "--octal", "1"}, 2},
        {{"set", "PlaceOther"}, 2},
        // Longer than the readers' buffers: 4 bytes, 100 with the ending zero.
        {{"set", "Language", "--hex", "01 00 00 00 00"}, 2},
        {{"set", "textures00", "--string", std::string(100, 'p')}, 2},
        {{"frobnicate"}, 2},
        {{}, 2},
        {{"--key"}, 2},
    };
    for (const Case& c : cases) {
        Result result = Run(c.arguments);
        std::string label = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(result.status, c.status) << label;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << label << result.err;
        EXPECT_EQ(result.out, "") << label;
    }
    // Nothing above wrote a value or made a key.
    uint8_t byte = 0;
    EXPECT_EQ(SettingsReadValue(kSettingsSubkey, kSettingPlaceOther, &byte, 1), 0);

    ASSERT_EQ(Run({"set", "ShowText", "--byte", "1"}).status, 0);
    Result missing = Run({"get", "Latitude"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    EXPECT_EQ(Run({"delete", "Latitude"}).status, 2);
    EXPECT_EQ(Run({"delete", "ShowText"}).status, 0);
    EXPECT_EQ(Run({"get", "ShowText"}).status, 1);
}

TEST_F(NocturoSettingsTool, TheSkyToolTakesTheStoredPlace) {
    ASSERT_EQ(Run({"set", "Latitude", "--double", "51.5"}).status, 0);
    ASSERT_EQ(Run({"set", "Longitude", "--double", "-0.125"}).status, 0);
    std::string out = root_ + "/sky";
    std::string command = ShellQuoted(std::string(NOCTURO_BINARY_DIR) + "/bin/nocturo-sky") +
                          " --at 2024-03-01T00:00:00Z --json >" + ShellQuoted(out);
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string json = Slurp(out);
    EXPECT_NE(json.find("\"latitude\": 51.5"), std::string::npos) << json;
    EXPECT_NE(json.find("\"longitude\": -0.125"), std::string::npos) << json;
}

TEST_F(NocturoSettingsTool, OtherKeysAreReachedWithKey) {
    Result set = Run({"--key", "HKEY_CURRENT_USER\\Control Panel\\Desktop", "set",
                      "ScreenSaveUsePassword", "--string", "1"});
    ASSERT_EQ(set.status, 0) << set.err;
    Result get = Run({"get", "ScreenSaveUsePassword", "--key", "Control Panel\\Desktop"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "ScreenSaveUsePassword: string, 2 bytes: \"1\"\n");
    // The Setting key was not made by that.
    EXPECT_EQ(Run({"list"}).status, 2);
}

// A store the tool cannot use is reported with its real cause, on one line,
// with status 2, never as a missing key or value; a FIFO does not hang it.
TEST_F(NocturoSettingsTool, AStoreThatCannotBeUsedIsReportedWithItsCause) {
    namespace fs = std::filesystem;
    struct Case {
        const char* label;
        void (*damage)(const std::string& folder);
        const char* cause;
    };
    const Case cases[] = {
        {"a FIFO",
         [](const std::string& folder) {
             fs::remove(folder + "/user.reg");
             mkfifo((folder + "/user.reg").c_str(), 0600);
         },
         "user.reg is not a regular file"},
        {"too large",
         [](const std::string& folder) { fs::resize_file(folder + "/user.reg", 65u << 20); },
         "user.reg is too large"},
        {"a folder others may write",
         [](const std::string& folder) { fs::permissions(folder, fs::perms(0770)); },
         "may be written by others"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(directory_);
        ASSERT_EQ(Run({"set", "ShowStar", "--byte", "1"}).status, 0);
        c.damage(directory_);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"get", "ShowStar"},
              {"list"},
              {"set", "ShowStar", "--byte", "0"},
              {"delete", "ShowStar"}}) {
            Result result = Run(arguments);
            EXPECT_EQ(result.status, 2) << arguments[0];
            EXPECT_NE(result.err.find(c.cause), std::string::npos) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
        fs::permissions(directory_, fs::perms(0700));
    }
}

}  // namespace
