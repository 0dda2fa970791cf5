// nocturo-dialog as a script uses it: actions on standard input, one JSON
// line after each, the dialog's end value as the exit status; and the place
// it stores is the one nocturo-sky then shows.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "tests/support/temporary_store.h"

namespace {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;
};

ToolRun Tool(const std::string& command, const std::string& input, const std::string& folder) {
    std::string inputFile = folder + "/input.txt";
    std::ofstream(inputFile) << input;
    ToolRun run;
    FILE* pipe = popen((command + " <" + inputFile).c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::string line;
    int c;
    while ((c = std::fgetc(pipe)) != EOF) {
        if (c == '\n') {
            run.lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

class NocturoDialogTest : public TemporaryStore {
  protected:
    void SetUp() override {
        TemporaryStore::SetUp();
        ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
        std::string en = std::string(NOCTURO_BINARY_DIR) + "/resources/town_en";
        SettingsWriteString(kSettingsSubkey, kSettingPlaces00, en.c_str(),
                            static_cast<uint32_t>(en.size()));
    }
    std::string Bin(const char* name) {
        return std::string("env TZ=UTC ") + NOCTURO_BINARY_DIR + "/bin/" + name;
    }
};

TEST_F(NocturoDialogTest, PickingACityStoresTheSkysPlace) {
    ToolRun run = Tool(Bin("nocturo-dialog"), "pick city Tokyo\nok\n", root_);
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 3u);
    EXPECT_NE(run.lines[0].find("\"action\":\"pick city Tokyo\",\"ok\":true"), std::string::npos);
    EXPECT_NE(run.lines[0].find("{\"id\":1002,\"kind\":\"combolist\",\"text\":\"Tokyo\""),
              std::string::npos);
    EXPECT_NE(run.lines[2].find("\"ended\":true,\"result\":1"), std::string::npos);
    ToolRun sky = Tool(Bin("nocturo-sky"), "", root_);
    ASSERT_EQ(sky.status, 0);
    ASSERT_GE(sky.lines.size(), 3u);
    EXPECT_NE(sky.lines[1].find("35.676"), std::string::npos) << sky.lines[1];
    EXPECT_NE(sky.lines[2].find("139.650"), std::string::npos) << sky.lines[2];
}

TEST_F(NocturoDialogTest, MessageBoxesAndRussianTextsAreReportedInUtf8) {
    ToolRun run = Tool(Bin("nocturo-dialog"),
                   "language ru\ntype city Лондон\nanswer no\nclick add\nbogus\n", root_);
    EXPECT_EQ(run.status, 2);  // the end of the script closes the dialog
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_NE(run.lines[0].find("\"title\":\" Параметры заставки \\\"Nocturo\\\"\""),
              std::string::npos);
    EXPECT_NE(run.lines[3].find("\"caption\":\"Добавление в список\",\"icon\":\"information\","
                                "\"buttons\":\"yesno\",\"default\":\"yes\",\"answer\":\"no\""),
              std::string::npos)
        << run.lines[3];
    EXPECT_NE(run.lines[4].find("\"action\":\"bogus\",\"ok\":false"), std::string::npos);
    EXPECT_NE(run.lines[5].find("\"Language\":1"), std::string::npos);
}

}  // namespace
