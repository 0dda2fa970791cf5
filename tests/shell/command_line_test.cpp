#include <gtest/gtest.h>

#include <string>

#include "shell/glscrnsv.h"
#include "tests/shell/fake_platform.h"

namespace {

TEST(ArgumentTextTest, ProgramNameAndFollowingBlanksAreSkipped) {
    struct Case {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"\"C:/Program Files/Nocturo.scr\" /s", "/s"},
        {"\"no closing quote /s", ""},
        {"Nocturo.scr\t \x01/p 12", "/p 12"},
        {"Nocturo.scr", ""},
        {"\"\"   w", "w"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(SaverArgumentText(c.commandLine), c.arguments) << c.commandLine;
    }
}

TEST(CommandGrammarTest, SwitchesAndNumbers) {
    struct Case {
        const char* text;
        SaverAction action;
        uint32_t window;
        bool foregroundOwner;
    } cases[] = {
        {"", ACTION_CONFIGURE, 0, false},
        {" -/ --//", ACTION_CONFIGURE, 0, false},
        {"/S", ACTION_FULL_SCREEN, 0, false},
        {"-s", ACTION_FULL_SCREEN, 0, false},
        {" /s x", ACTION_FULL_SCREEN, 0, false},
        {"s --window-id 0x1234", ACTION_FULL_SCREEN, 0, false},
        {"/p 1234", ACTION_PREVIEW, 1234, false},
        {"/P1234", ACTION_PREVIEW, 1234, false},
        {"/l   77x", ACTION_PREVIEW, 77, false},
        {"/p", ACTION_PREVIEW, 0, false},
        {"/p:1234", ACTION_PREVIEW, 0, false},
        {"/p 4294967297", ACTION_PREVIEW, 1, false},  // 32-bit wrap-around
        {"/c:1234", ACTION_CONFIGURE, 0, true},
        {"C", ACTION_CONFIGURE, 0, true},
        {"/a 55", ACTION_CHANGE_PASSWORD, 55, false},
        {"/a", ACTION_CHANGE_PASSWORD, 0, false},
        {"/w", ACTION_TEST_WINDOW, 0, false},
        {"W anything", ACTION_TEST_WINDOW, 0, false},
        {"/x", ACTION_INVALID, 0, false},
        {"/?", ACTION_INVALID, 0, false},
        {"\t/s", ACTION_INVALID, 0, false},  // only blanks, '-' and '/' are skipped
        {"\xe9", ACTION_INVALID, 0, false},
        {"ps", ACTION_PREVIEW, 0, false},
    };
    for (const Case& c : cases) {
        SaverCommand command = SaverParseCommand(c.text);
        EXPECT_EQ(command.action, c.action) << c.text;
        EXPECT_EQ(command.window, c.window) << c.text;
        EXPECT_EQ(command.ownerIsForeground, c.foregroundOwner) << c.text;
    }
}

HWND dialogOwner = 12345;
int RecordingDialog(HWND owner) {
    dialogOwner = owner;
    return 7;
}

class RunCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetFakePlatform(); }
    void TearDown() override { SaverResetForTests(); }
    int Run(const char* text) { return SaverRunCommand(SaverParseCommand(text)); }
};

TEST_F(RunCommandTest, FailuresEndWithMinusOneAndShowNothing) {
    fake.existing.push_back(4242);
    for (const char* text : {"/x", "/p 0", "/p", "/p:4242", "/p 4243", "/a", "/a 4242"}) {
        EXPECT_EQ(Run(text), -1) << text;
    }
    EXPECT_TRUE(fake.calls.empty());  // no window was made
}

TEST_F(RunCommandTest, ConfigureRunsTheDialogWithItsOwner) {
    fake.foreground = 99;
    SaverSetDialogRunner(RecordingDialog);
    EXPECT_EQ(Run("/c:1234"), 7);
    EXPECT_EQ(dialogOwner, 99u);
    EXPECT_EQ(Run(""), 7);
    EXPECT_EQ(dialogOwner, 0u);
    EXPECT_EQ(shellState, nullptr);
}

TEST_F(RunCommandTest, ConfigureWithoutDialogNotesItAndSucceeds) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run("/c"), 0);
    std::string note = testing::internal::GetCapturedStderr();
    EXPECT_NE(note.find("settings dialog"), std::string::npos);
    EXPECT_EQ(note.find('\n'), note.size() - 1);  // one line
}

TEST_F(RunCommandTest, AnotherSaverWindowMakesFullScreenShowNothing) {
    fake.otherSaver = 555;
    fake.existing.push_back(555);
    EXPECT_EQ(Run("/s"), 0);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"foreground 555"}));
}

}  // namespace
