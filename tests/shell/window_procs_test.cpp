#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/timers.h"
#include "shell/glscrnsv.h"
#include "shell/sswindow.h"
#include "shell/sswproc.h"
#include "tests/shell/fake_platform.h"
#include "tests/shell/fake_scene.h"

namespace {

bool Has(const std::string& call) {
    return std::find(fake.calls.begin(), fake.calls.end(), call) != fake.calls.end();
}

size_t IndexOf(const std::string& call) {
    return static_cast<size_t>(std::find(fake.calls.begin(), fake.calls.end(), call) -
                               fake.calls.begin());
}

// Is a WM_CLOSE waiting? (Takes it off the queue.)
bool ClosePosted(HWND hwnd) {
    MSG msg;
    bool found = false;
    while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        found = true;
    }
    return found;
}

// A run set up as the shell does it, without entering the message loop, so
// that each test can hand the procedures the messages it wants.
class WindowProcTest : public ::testing::Test {
  protected:
    ShellState state;
    HWND hwnd = 0;

    void SetUp() override {
        ResetFakePlatform();
        ResetFakeScene();
        unsetenv("XSCREENSAVER_WINDOW");
    }
    void TearDown() override {
        if (shellState != nullptr && shellState->mainWindow != nullptr) {
            DestroyWindow(shellState->mainWindow->hwnd);
        }
        SaverResetForTests();
        MessageReset();
    }
    void Open(RunMode mode, HWND parent = 0) {
        state.mode = mode;
        state.previewParent = parent;
        shellState = &state;
        state.options = SaverConfigure();
        state.glRequestFlags = GL_REQUEST_DOUBLE_BUFFER | GL_REQUEST_DEPTH_16;
        bool other = false;
        ASSERT_EQ(SaverCreateMainWindow(&state, &other), 1);
        state.glWindow = state.mainWindow;
        state.glWindow->glConfig = &state.glRequestFlags;
        hwnd = state.mainWindow->hwnd;
    }
    void PaintAndStart() {
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        DispatchPending();
    }
};

TEST_F(WindowProcTest, WindowPerRunMode) {
    fake.screenWidth = 1281;
    fake.screenHeight = 1023;
    Open(RUN_TEST_WINDOW);
    EXPECT_EQ(fake.lastCreate.kind, kWindowTopLevel);
    EXPECT_EQ(fake.lastCreate.x, 0);
    EXPECT_EQ(fake.lastCreate.y, 0);
    EXPECT_EQ(fake.lastCreate.width, 640);
    EXPECT_EQ(fake.lastCreate.height, 511);
    EXPECT_TRUE(fake.lastCreate.arrowCursor);
    EXPECT_STREQ(fake.lastCreate.className, "WindowsScreenSaverClass");
    EXPECT_EQ(state.mainWindow->width, 640);
    EXPECT_TRUE(state.mainWindow->ownsWindow);
    EXPECT_TRUE(Has("foreground " + std::to_string(hwnd)));
    EXPECT_EQ(state.windowCount, 1);
    EXPECT_EQ(WindowTableFind(&state, hwnd), state.mainWindow);
}

TEST_F(WindowProcTest, PreviewFillsItsParentAndStaysInTheBackground) {
    fake.existing.push_back(321);
    Open(RUN_PREVIEW, 321);
    EXPECT_EQ(fake.lastCreate.kind, kWindowChild);
    EXPECT_EQ(fake.lastCreate.parent, 321u);
    EXPECT_EQ(fake.lastCreate.width, 200);
    EXPECT_EQ(fake.lastCreate.height, 150);
    EXPECT_FALSE(Has("foreground " + std::to_string(hwnd)));
    EXPECT_EQ(SaverIsPreview(), 1);
}

TEST_F(WindowProcTest, FullScreenUnderADaemonAdoptsItsWindow) {
    fake.existing.push_back(0x2a00005);
    setenv("XSCREENSAVER_WINDOW", "0x2a00005", 1);
    Open(RUN_FULL_SCREEN);
    EXPECT_EQ(fake.lastCreate.kind, kWindowAdopted);
    EXPECT_EQ(hwnd, 0x2a00005u);
    EXPECT_FALSE(state.mainWindow->ownsWindow);
}

TEST_F(WindowProcTest, FullScreenWithoutAUsableDaemonWindowCoversTheScreen) {
    setenv("XSCREENSAVER_WINDOW", "12345", 1);  // names no window
    Open(RUN_FULL_SCREEN);
    EXPECT_EQ(fake.lastCreate.kind, kWindowFullScreen);
    EXPECT_EQ(fake.lastCreate.width, 1280);
    EXPECT_EQ(fake.lastCreate.height, 1024);
    EXPECT_TRUE(state.mainWindow->ownsWindow);
    EXPECT_GT(fake.cursorHidden, 0);
}

TEST_F(WindowProcTest, ToldWhereToDrawAdoptsThatWindowPassivelyWhateverTheDaemonSays) {
    // -window-id (and -root without a daemon) beat XSCREENSAVER_WINDOW and
    // another saver's window: no single-instance check, no grabs, input ignored.
    fake.existing.push_back(0x2a00005);
    fake.existing.push_back(0x3c00001);
    fake.otherSaver = 0x3c00001;
    setenv("XSCREENSAVER_WINDOW", "0x2a00005", 1);
    state.hostWindow = 0x3c00001;
    Open(RUN_FULL_SCREEN);
    EXPECT_EQ(fake.lastCreate.kind, kWindowAdopted);
    EXPECT_EQ(hwnd, 0x3c00001u);
    EXPECT_FALSE(state.mainWindow->ownsWindow);
    EXPECT_EQ(fake.cursorHidden, 0);
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    SendMessageA(hwnd, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(ClosePosted(hwnd));
}

TEST_F(WindowProcTest, HostOfEachFullScreenForm) {
    fake.existing.push_back(0x2a00005);
    struct Case {
        SaverHost host;
        uint32_t window;
        const char* daemon;  // XSCREENSAVER_WINDOW, or null
        bool ok;
        HWND expected;
    } cases[] = {
        {HOST_OWN, 0, nullptr, true, 0},
        {HOST_OWN, 0, "0x2a00005", true, 0},  // the run finds the daemon itself
        {HOST_ROOT, 0, nullptr, true, fake.rootWindow},
        {HOST_ROOT, 0, "garbage", true, fake.rootWindow},
        {HOST_ROOT, 0, "0x2a00005", true, 0x2a00005},
        {HOST_ROOT, 0, "0x2a00006", true, fake.rootWindow},  // names no window
        {HOST_WINDOW, 0x2a00005, "0x1", true, 0x2a00005},
        {HOST_WINDOW, 0x2a00006, nullptr, false, 0},  // names no window
    };
    for (const Case& c : cases) {
        if (c.daemon != nullptr) {
            setenv("XSCREENSAVER_WINDOW", c.daemon, 1);
        } else {
            unsetenv("XSCREENSAVER_WINDOW");
        }
        SaverCommand command;
        command.action = ACTION_FULL_SCREEN;
        command.host = c.host;
        command.window = c.window;
        HWND host = 99;
        EXPECT_EQ(SaverResolveHost(command, &host), c.ok) << c.host << " " << c.window;
        EXPECT_EQ(host, c.expected) << c.host << " " << c.window;
    }
}

TEST(DaemonWindowTest, HexAndDecimalIds) {
    struct Case {
        const char* value;
        uint32_t id;
    } cases[] = {
        {"0x2a00005", 0x2a00005},
        {"0X1F", 0x1f},
        {"44040197", 44040197},
        {" 77 ", 77},
        {"", 0},
        {"0", 0},
        {"-5", 0},
        {"12abc", 0},
        {"0x", 0},
        {"0x100000000", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaverDaemonWindow(c.value), c.id) << c.value;
    }
    EXPECT_EQ(SaverDaemonWindow(nullptr), 0u);
}

TEST_F(WindowProcTest, GlStartsOnlyAfterTheFirstPaintAndOnce) {
    fake.priority = 5;
    Open(RUN_TEST_WINDOW);
    EXPECT_EQ(scene.glWindowDuringConfigure, 0u);  // no window while configuring
    DispatchPending();
    EXPECT_EQ(scene.inits, 0);  // never painted, never started
    EXPECT_EQ(TimerNextDueIn(GetTickCount()), -1);

    SendMessageA(hwnd, WM_PAINT, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_SS_START_GL);
    DispatchMessageA(&msg);
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_SS_START_TIMER);
    DispatchMessageA(&msg);

    EXPECT_EQ(scene.inits, 1);
    EXPECT_EQ(scene.initArgument, hwnd);
    EXPECT_EQ(scene.glWindowDuringInit, hwnd);
    EXPECT_EQ(fake.priorityDuringInit, -10);  // raised for the initialisation
    EXPECT_EQ(fake.priority, 5);              // and put back
    EXPECT_EQ(fake.current, 77u);
    EXPECT_LT(IndexOf("setFormat 1"), IndexOf("createContext"));
    EXPECT_LT(IndexOf("createContext"), IndexOf("makeCurrent 77"));
    EXPECT_EQ(fake.viewportWidth, 640);
    EXPECT_EQ(fake.viewportHeight, 512);
    EXPECT_EQ(bTimerRunning, 1);
    EXPECT_GE(TimerNextDueIn(GetTickCount()), 0);

    SendMessageA(hwnd, WM_PAINT, 0, 0);
    EXPECT_EQ(DispatchPending(), 0);  // later paints start nothing
    EXPECT_EQ(scene.inits, 1);
}

TEST_F(WindowProcTest, FrameTicksDrawPresentAndRespectTheGuards) {
    Open(RUN_TEST_WINDOW);
    PaintAndStart();
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_EQ(scene.frames, 1);
    EXPECT_EQ(scene.frameArgument, hwnd);
    EXPECT_EQ(fake.swaps, 1);

    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_EQ(scene.frames, 1);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    EXPECT_EQ(fake.viewportWidth, 300);
    EXPECT_EQ(fake.viewportHeight, 200);
    SendMessageA(hwnd, WM_TIMER, 9, 0);  // any timer id draws
    EXPECT_EQ(scene.frames, 2);

    // A tick that arrives while a frame is being drawn is dropped.
    scene.onFrame = [](int) { SendMessageA(SaverGetGlWindow(), WM_TIMER, kFrameTimerId, 0); };
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_EQ(scene.frames, 3);
    EXPECT_EQ(fake.swaps, 3);
}

int replacementFrames = 0;
void ReplacementFrame(uint32_t) {
    ++replacementFrames;
}

TEST_F(WindowProcTest, FrameHookRegisteredLaterStillTakesEffect) {
    replacementFrames = 0;
    Open(RUN_TEST_WINDOW);
    PaintAndStart();
    SaverSetFrameHook(ReplacementFrame);
    SendMessageA(hwnd, WM_TIMER, kFrameTimerId, 0);
    EXPECT_EQ(replacementFrames, 1);
    EXPECT_EQ(scene.frames, 0);
}

TEST_F(WindowProcTest, FailedGlStartClosesTheWindowAfterFiveTries) {
    static int waits = 0;
    waits = 0;
    saverPixelFormatWait = [](uint32_t ms) {
        EXPECT_EQ(ms, 1000u);
        ++waits;
    };
    fake.failSetFormat = true;
    Open(RUN_FULL_SCREEN);
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_SS_START_GL, WM_SS_START_GL, PM_REMOVE));
    DispatchMessageA(&msg);
    saverPixelFormatWait = Sleep;
    EXPECT_EQ(waits, 5);
    EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "setFormat 1"), 5);
    EXPECT_EQ(scene.inits, 0);
    EXPECT_TRUE(ClosePosted(hwnd));
}

TEST_F(WindowProcTest, ContextFailureAlsoCloses) {
    fake.failContext = true;
    Open(RUN_TEST_WINDOW);
    SendMessageA(hwnd, WM_PAINT, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, WM_SS_START_GL, WM_SS_START_GL, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_EQ(scene.inits, 0);
    EXPECT_TRUE(ClosePosted(hwnd));
}

TEST_F(WindowProcTest, DestroyReleasesInOrderAndQuits) {
    Open(RUN_TEST_WINDOW);
    PaintAndStart();
    fake.calls.clear();
    DestroyWindow(hwnd);
    EXPECT_EQ(bTimerRunning, 0);
    EXPECT_EQ(TimerNextDueIn(GetTickCount()), -1);  // the frame timer is gone
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"makeCurrent 0", "deleteContext", "releaseDC",
                                                    "destroy " + std::to_string(hwnd)}));
    EXPECT_EQ(state.mainWindow, nullptr);
    EXPECT_EQ(state.windowCount, 0);
    EXPECT_EQ(SaverGetGlWindow(), 0u);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg), 0);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(WindowProcTest, FullScreenClosesOnKeysButtonsAndLeavingNotOnWheelOrRelease) {
    Open(RUN_FULL_SCREEN);
    PaintAndStart();
    struct Case {
        UINT message;
        WPARAM wParam;
        bool closes;
    } cases[] = {
        {WM_KEYDOWN, 'A', true},           {WM_SYSKEYDOWN, VK_MENU, true},
        {WM_LBUTTONDOWN, 0, true},         {WM_RBUTTONDOWN, 0, true},
        {WM_MBUTTONDOWN, 0, true},         {WM_ACTIVATEAPP, 0, true},
        {WM_ACTIVATEAPP, 1, false},        {WM_ACTIVATE, WA_ACTIVE, false},
        {WM_MOUSEWHEEL, 120 << 16, false}, {WM_KEYUP, 'A', false},
        {WM_LBUTTONUP, 0, false},          {WM_CHAR, 'a', false},
    };
    for (const Case& c : cases) {
        SendMessageA(hwnd, c.message, c.wParam, 0);
        EXPECT_EQ(ClosePosted(hwnd), c.closes) << c.message << " " << c.wParam;
    }
    EXPECT_EQ(SendMessageA(hwnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_FALSE(ClosePosted(hwnd));
}

TEST_F(WindowProcTest, MouseMovementAddsUpFromTheReferencePoint) {
    fake.cursorX = 500;
    fake.cursorY = 400;
    Open(RUN_FULL_SCREEN);  // the reference point is taken here
    struct Step {
        int x, y;
        bool closes;
    } steps[] = {
        {503, 401, false},  // sum 4
        {502, 398, false},  // sum 4 the other way
        {503, 400, false},  // 3 right
        {505, 400, true},   // 2 more: sum 5; this is the new reference point
        {509, 400, false},  // 4 from there
        {505, 405, true},   // sum 5 from (505, 400)
    };
    for (const Step& s : steps) {
        fake.cursorX = s.x;
        fake.cursorY = s.y;
        // The message's own coordinates play no part.
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
        EXPECT_EQ(ClosePosted(hwnd), s.closes) << s.x << "," << s.y;
    }
}

TEST_F(WindowProcTest, PreviewAndTestWindowIgnoreInputAndLeaveTheCursor) {
    fake.existing.push_back(321);
    for (RunMode mode : {RUN_PREVIEW, RUN_TEST_WINDOW}) {
        ResetFakePlatform();
        fake.existing.push_back(321);
        Open(mode, 321);
        PaintAndStart();
        fake.cursorX += 100;
        for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                             WM_MBUTTONDOWN, WM_MOUSEMOVE, WM_ACTIVATEAPP}) {
            SendMessageA(hwnd, message, message == WM_KEYDOWN ? 'A' : 0, 0);
            EXPECT_FALSE(ClosePosted(hwnd)) << mode << " " << message;
        }
        EXPECT_EQ(fake.cursorHidden, 0) << mode;
        DestroyWindow(hwnd);
        SaverResetForTests();
        state = ShellState{};
    }
}

TEST_F(WindowProcTest, TestWindowClosesOnEscapeOnlyAndTakesItsTitle) {
    Open(RUN_TEST_WINDOW);
    EXPECT_EQ(SendMessageA(hwnd, WM_KEYDOWN, 'Q', 0), 0);
    EXPECT_FALSE(ClosePosted(hwnd));
    SendMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(ClosePosted(hwnd));
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Moon"));
    EXPECT_TRUE(Has("title Moon"));
}

TEST_F(WindowProcTest, FullScreenKeepsItsEmptyTitle) {
    Open(RUN_FULL_SCREEN);
    EXPECT_EQ(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Moon")), 0);
    EXPECT_FALSE(Has("title Moon"));
}

TEST_F(WindowProcTest, PreviewPassesHelpToItsParent) {
    fake.existing.push_back(321);
    fake.parentOf = 321;
    Open(RUN_PREVIEW, 321);
    EXPECT_EQ(SendMessageA(hwnd, WM_HELP, 0, 42), 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, 321, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_HELP);
    EXPECT_EQ(msg.wParam, 321u);
    EXPECT_EQ(msg.lParam, 42);
}

// Whole runs through the real message loop and the real 32 ms timer.
class SaverRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFakePlatform();
        ResetFakeScene();
    }
    void TearDown() override { SaverResetForTests(); }
};

TEST_F(SaverRunTest, TestWindowAnimatesUntilEscape) {
    scene.onFrame = [](int frame) {
        if (frame == 3) {
            MessageQueueInput(SaverGetGlWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
        }
    };
    // The fake platform shows the window without painting it; paint it once.
    fake.nextWindow = 100;
    MessageQueuePaint(100);
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/w")), 0);
    EXPECT_EQ(scene.configures, 1);
    EXPECT_EQ(scene.inits, 1);
    EXPECT_EQ(scene.frames, 3);
    EXPECT_EQ(fake.swaps, 3);
    EXPECT_EQ(shellState, nullptr);
    EXPECT_TRUE(Has("destroy 100"));
}

TEST_F(SaverRunTest, NullOptionsStopTheProgram) {
    scene.returnNull = true;
    EXPECT_DEATH(SaverRunCommand(SaverParseCommand("/w")), "pssc");
}

TEST_F(SaverRunTest, NoGlContextEndsTheRunAsAFailureWithItsCause) {
    fake.failContext = true;
    fake.nextWindow = 100;
    MessageQueuePaint(100);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/w")), 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said,
              "Nocturo.scr: no OpenGL context for the window (no usable GLX pixel format "
              "or context)\n");
    EXPECT_EQ(scene.inits, 0);
    EXPECT_EQ(scene.frames, 0);
    EXPECT_TRUE(Has("destroy 100"));
}

TEST_F(SaverRunTest, FailedWindowCreationEndsWithoutALoopAsAFailure) {
    fake.failCreate = true;
    EXPECT_EQ(SaverRunCommand(SaverParseCommand("/w")), 1);
    EXPECT_EQ(scene.inits, 0);
    EXPECT_EQ(shellState, nullptr);
}

}  // namespace
