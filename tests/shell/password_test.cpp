#include <gtest/gtest.h>

#include "platform/timers.h"
#include "shell/glscrnsv.h"
#include "shell/sswindow.h"
#include "shell/sswproc.h"
#include "tests/shell/fake_platform.h"
#include "tests/shell/fake_scene.h"

namespace {

// The system password service of the platforms that have one.
struct FakePassword {
    bool readable = true;
    uint32_t usePassword = 1;
    bool libraryLoads = true;
    bool hasVerify = true;
    int verifyAnswer = 0;
    int verifies = 0;
    int running = -1;
    int frees = 0;
    int changes = 0;
    HWND changeOwner = 0;
    int timersPendingAtVerify = -1;
} pw;

uint32_t now = 5000;
uint32_t Clock() {
    return now;
}

int ReadUse(uint32_t* v) {
    *v = pw.usePassword;
    return pw.readable;
}
int Load() {
    return pw.libraryLoads;
}
int Find() {
    return pw.hasVerify;
}
void Free() {
    ++pw.frees;
}
int Verify(HWND hwnd) {
    ++pw.verifies;
    // While the dialog is open, input reaches only default processing.
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    MSG msg;
    pw.timersPendingAtVerify = PeekMessageA(&msg, hwnd, WM_TIMER, WM_TIMER, PM_NOREMOVE);
    return pw.verifyAnswer;
}
void Running(int r) {
    pw.running = r;
}
int Change(HWND owner) {
    ++pw.changes;
    pw.changeOwner = owner;
    return 1;
}
const PasswordServices kFakePassword = {ReadUse, Load, Find, Free, Verify, Running, Change};

class PasswordTest : public ::testing::Test {
  protected:
    ShellState state;
    HWND hwnd = 0;
    void SetUp() override {
        ResetFakePlatform();
        ResetFakeScene();
        pw = FakePassword{};
        now = 5000;
        TimerSetClock(Clock);
        passwordServices = &kFakePassword;
        bWin9x = 1;
    }
    void TearDown() override {
        if (shellState != nullptr && shellState->mainWindow != nullptr) {
            procState.closeApproved = 1;
            DestroyWindow(shellState->mainWindow->hwnd);
        }
        TimerSetClock(nullptr);
        SaverResetForTests();
        MessageReset();
    }
    void Open() {
        state.mode = RUN_FULL_SCREEN;
        shellState = &state;
        state.options = SaverConfigure();
        state.glRequestFlags = 3;
        bool other = false;
        ASSERT_EQ(SaverCreateMainWindow(&state, &other), 1);
        state.glWindow = state.mainWindow;
        state.glWindow->glConfig = &state.glRequestFlags;
        hwnd = state.mainWindow->hwnd;
    }
    bool Alive() { return MessageGetWindowProc(hwnd) != nullptr; }
};

TEST_F(PasswordTest, SupportLoadsOnlyWithAReadableNonzeroFlagAndAVerifyFunction) {
    // What the fake service offers, then what the load must leave behind
    // (running: the last "screen saver running" call, -1 when none).
    struct Case {
        bool readable = true;
        uint32_t use = 1;
        bool loads = true, verify = true;
        int library = 0, function = 0, running = -1, frees = 0;
    } cases[] = {
        {.library = 1, .function = 1, .running = 1},  // everything there: loaded and running
        {.use = 0},                                   // the flag is off
        {.readable = false},                          // the flag cannot be read
        {.loads = false},                             // the library does not load
        {.verify = false, .frees = 1},  // no verify function: the library is freed again
    };
    for (const Case& c : cases) {
        pw = FakePassword{};
        procState = ProcState{};
        pw.readable = c.readable;
        pw.usePassword = c.use;
        pw.libraryLoads = c.loads;
        pw.hasVerify = c.verify;
        SaverLoadPasswordSupport();
        EXPECT_EQ(procState.passwordLibrary, c.library);
        EXPECT_EQ(procState.verifyFunction, c.function);
        EXPECT_EQ(pw.running, c.running);
        EXPECT_EQ(pw.frees, c.frees);
        SaverReleasePasswordSupport();
        EXPECT_EQ(procState.passwordLibrary, 0);
        EXPECT_EQ(pw.running, c.running == 1 ? 0 : c.running);  // the running state is ended
    }
}

TEST_F(PasswordTest, WrongPasswordKeepsTheSaverAndResetsTheReferencePoint) {
    Open();
    ASSERT_EQ(procState.verifyFunction, 1);
    SetTimer(hwnd, kFrameTimerId, 32, nullptr);
    now += 100;  // a frame tick is due when the check starts
    fake.cursorX = 600;
    fake.cursorY = 450;
    pw.verifyAnswer = 0;
    int hiddenBefore = fake.cursorHidden;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Alive());
    EXPECT_EQ(pw.verifies, 1);
    EXPECT_EQ(pw.timersPendingAtVerify, 0);  // the pending tick was taken away
    EXPECT_EQ(procState.checkInProgress, 0);
    EXPECT_EQ(procState.closeApproved, 0);
    EXPECT_GT(fake.cursorHidden, hiddenBefore);
    EXPECT_EQ(procState.refX, 600);
    EXPECT_EQ(procState.refY, 450);
    EXPECT_EQ(procState.lastDialogEnd, now);
    MSG msg;
    EXPECT_FALSE(
        PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));  // input during the dialog
}

TEST_F(PasswordTest, CloseRequestsWithin200MsOfADialogAreRefused) {
    Open();
    pw.verifyAnswer = 0;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    ASSERT_EQ(pw.verifies, 1);
    now += 199;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(pw.verifies, 1);  // refused silently, no dialog
    EXPECT_TRUE(Alive());
    now += 1;
    pw.verifyAnswer = 1;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(pw.verifies, 2);
    EXPECT_FALSE(Alive());
}

TEST_F(PasswordTest, ApprovalStopsFramesAndInput) {
    Open();
    pw.verifyAnswer = 1;
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    DispatchPending();
    ASSERT_EQ(scene.inits, 1);
    // The check alone, without the close that would follow it.
    EXPECT_EQ(SaverPasswordCheck(hwnd), 1);
    EXPECT_EQ(procState.closeApproved, 1);
    int frames = scene.frames;
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_EQ(scene.frames, frames);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(SaverPasswordCheck(hwnd), 0);  // already approved: nothing more to check
}

TEST_F(PasswordTest, WithoutAVerifyFunctionTheFirstCloseIsApproved) {
    pw.usePassword = 0;
    Open();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(pw.verifies, 0);
    EXPECT_EQ(procState.closeApproved, 1);
    EXPECT_FALSE(Alive());
}

TEST_F(PasswordTest, VerifyMessageAnswersOnlyWhereThereIsAPassword) {
    Open();
    pw.verifyAnswer = 1;
    EXPECT_EQ(SendMessageA(hwnd, WM_SS_VERIFY_PASSWORD, 0, 0), 1);
    procState.verifyFunction = 0;
    EXPECT_EQ(SendMessageA(hwnd, WM_SS_VERIFY_PASSWORD, 0, 0), 1);
    bWin9x = 0;
    procState.verifyFunction = 1;
    pw.verifies = 0;
    EXPECT_EQ(SendMessageA(hwnd, WM_SS_VERIFY_PASSWORD, 0, 0), 0);  // default processing
    EXPECT_EQ(pw.verifies, 0);
}

TEST_F(PasswordTest, ChangePasswordUsesTheOwnerOrTheForegroundWindow) {
    fake.existing.push_back(31);
    fake.foreground = 44;
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/a 31")), 0);
    EXPECT_EQ(pw.changeOwner, 31u);
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/a 32")), 0);  // not a window
    EXPECT_EQ(pw.changeOwner, 44u);
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/a")), 0);
    EXPECT_EQ(pw.changeOwner, 44u);
    EXPECT_EQ(pw.changes, 3);
}

}  // namespace
