#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// The program's arguments, as xscreensaver, its settings program, xsecurelock
// and people write them: the hack words beside the Windows forms.
TEST(ArgumentGrammarTest, HackWordsBesideTheWindowsForms) {
    struct Case {
        std::vector<std::string> args;
        SaverAction action;
        SaverHost host;
        uint32_t window;
        UINT periodMs;
        bool fps;
    } cases[] = {
        // The Windows forms, unchanged.
        {{"/s"}, ACTION_FULL_SCREEN, HOST_OWN, 0, 32, false},
        {{"-s", "--fps"}, ACTION_FULL_SCREEN, HOST_OWN, 0, 32, false},  // the rest is ignored
        {{"/p", "1234"}, ACTION_PREVIEW, HOST_OWN, 1234, 32, false},
        {{"/w"}, ACTION_TEST_WINDOW, HOST_OWN, 0, 32, false},
        {{"-w", "--window-id", "5"}, ACTION_TEST_WINDOW, HOST_OWN, 0, 32, false},
        {{}, ACTION_CONFIGURE, HOST_OWN, 0, 32, false},
        {{"/x"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--foo"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--sx"}, ACTION_FULL_SCREEN, HOST_OWN, 0, 32, false},  // dashes skipped, then `s`
        // The hack words.
        {{"-root"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 32, false},
        {{"--root"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 32, false},
        {{"-window-id", "0x2a00005"}, ACTION_FULL_SCREEN, HOST_WINDOW, 0x2a00005, 32, false},
        {{"--window-id=12345"}, ACTION_FULL_SCREEN, HOST_WINDOW, 12345, 32, false},
        {{"-root", "-window-id", "0x10"}, ACTION_FULL_SCREEN, HOST_WINDOW, 0x10, 32, false},
        {{"--window-id", "0x10", "--root"}, ACTION_FULL_SCREEN, HOST_WINDOW, 0x10, 32, false},
        {{"--fps"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 32, true},
        {{"-root", "-fps", "-delay", "20000"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 20, true},
        {{"--delay", "0"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 0, false},
        {{"--delay=1499"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 1, false},
        {{"--delay", "10000000"}, ACTION_FULL_SCREEN, HOST_ROOT, 0, 10000, false},
        {{"--help"}, ACTION_HELP, HOST_ROOT, 0, 32, false},
        {{"-h"}, ACTION_HELP, HOST_ROOT, 0, 32, false},
        {{"--root", "--help"}, ACTION_HELP, HOST_ROOT, 0, 32, false},
        {{"--version"}, ACTION_VERSION, HOST_ROOT, 0, 32, false},
        // Bad hack lines: an unknown word, a missing or bad value, a stray argument.
        {{"--root", "--bogus"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--root", "s"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--window-id"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--window-id", "0"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--window-id", "0x1z"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--window-id", "0x100000000"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--delay", "-5"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--delay", "10000001"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--delay", "99999999999999999999"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
        {{"--delay", "2ms"}, ACTION_INVALID, HOST_OWN, 0, 32, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"nocturo"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        std::string text;
        for (std::string& w : words) {
            argv.push_back(w.data());
            text += w + " ";
        }
        argv.push_back(nullptr);
        SaverCommand command = SaverParseArguments(static_cast<int>(words.size()), argv.data());
        EXPECT_EQ(command.action, c.action) << text;
        if (c.action == ACTION_INVALID) {
            continue;
        }
        EXPECT_EQ(command.host, c.host) << text;
        EXPECT_EQ(command.window, c.window) << text;
        EXPECT_EQ(command.framePeriodMs, c.periodMs) << text;
        EXPECT_EQ(command.showFps, c.fps) << text;
    }
}

TEST(ArgumentGrammarTest, BadHackLinesNameTheWordAtFault) {
    struct Case {
        std::vector<std::string> args;
        const char* word;
    } cases[] = {
        {{"--root", "--bogus"}, "--bogus"},
        {{"--root", "stray"}, "stray"},
        {{"--delay", "fast"}, "fast"},
        {{"--fps", "--window-id"}, "--window-id"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"nocturo"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& w : words) {
            argv.push_back(w.data());
        }
        argv.push_back(nullptr);
        SaverCommand command = SaverParseArguments(static_cast<int>(words.size()), argv.data());
        ASSERT_EQ(command.action, ACTION_INVALID) << c.word;
        ASSERT_NE(command.badWord, nullptr) << c.word;
        EXPECT_STREQ(command.badWord, c.word);
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
