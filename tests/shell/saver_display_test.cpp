// Nocturo.scr on a real X display: run modes, closing inputs, previews,
// the single-instance check, screen-saver daemons and the frame rate.

// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <signal.h>
#include <sys/wait.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/shell/saver_process.h"

namespace {

constexpr char kClass[] = "WindowsScreenSaverClass";

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SaverDisplayTest : public ::testing::Test {
  protected:
    Display* dpy = nullptr;
    Window root = 0;
    SaverProcess saver;

    void SetUp() override {
        // The server resets when its last client leaves (the previous test),
        // and refuses connections for a moment while it does.
        for (long end = NowMs() + 3000; dpy == nullptr && NowMs() < end; SleepMs(10)) {
            dpy = XOpenDisplay(nullptr);
        }
        ASSERT_NE(dpy, nullptr) << "these tests need an X display";
        XSetErrorHandler(IgnoreErrors);
        root = DefaultRootWindow(dpy);
        // A saver the last test killed may keep its window for a moment on a
        // busy machine, until the server has dropped its connection.
        for (long end = NowMs() + 3000; FindChildWithClass(dpy, root, kClass) != 0 && NowMs() < end;
             SleepMs(20)) {
        }
        Pointer(100, 100);
    }
    void TearDown() override {
        KillSaver(&saver);
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
    }
    void Pointer(int x, int y) {
        ASSERT_EQ(RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y)}), 0);
    }
    // Starts a window mode and waits for its window to show the sky.
    Window Start(const std::vector<std::string>& args, Window parent = 0,
                 const std::vector<std::string>& env = {}) {
        saver = StartSaver(args, env);
        Window w = WaitChildWithClass(dpy, parent ? parent : root, kClass, 5000);
        if (w != 0 && !WaitSceneFillsWindow(dpy, w, 8000)) {
            return 0;
        }
        return w;
    }
    bool StillRunning(int ms) { return !WaitSaver(&saver, ms); }
    bool EndsWith(int code, int withinMs) {
        return WaitSaver(&saver, withinMs) && ExitCode(saver) == code;
    }
};

TEST_F(SaverDisplayTest, CommandLineExitCodes) {
    Window existing = MakeTestWindow(dpy, root, 50, 50);
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* says;  // part of the one line on standard error ("" for none)
    } cases[] = {
        {{"/x"}, 255, "usage:"},
        {{"x"}, 255, "usage:"},
        {{"/?"}, 255, "usage:"},
        {{"/p", "0"}, 255, "needs the id of its parent window"},
        {{"/p"}, 255, "needs the id of its parent window"},
        {{"/p:" + std::to_string(existing)}, 255, "needs the id"},
        {{"/p", "123456789"}, 255, "no window 123456789"},
        {{"/p", "4000000000"}, 255, "no window"},  // names no window
        {{"/a"}, 255, "no screen-saver password"},
        // "/c" and no argument open the settings dialog: configure_mode_test.
        // The hack words.
        {{"--help"}, 0, ""},
        {{"-h"}, 0, ""},
        {{"--version"}, 0, ""},
        {{"--fps", "--bogus"}, 255, "bad argument '--bogus'"},
        {{"-root", "extra"}, 255, "bad argument 'extra'"},
        {{"--delay", "soon"}, 255, "bad argument 'soon'"},
        {{"--window-id", "0x7ffffff0"}, 255, "no window 2147483632"},  // names no window
    };
    char folder[] = "/tmp/nocturo-cmdline-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string errors = std::string(folder) + "/stderr";
    for (const Case& c : cases) {
        saver = StartSaver(c.args, {"NOCTURO_UNUSED="}, errors);
        ASSERT_TRUE(WaitSaver(&saver, 5000));
        std::string text;
        for (const std::string& a : c.args) {
            text += a + " ";
        }
        EXPECT_EQ(ExitCode(saver), c.code) << text;
        EXPECT_EQ(FindChildWithClass(dpy, root, kClass), 0u) << text;
        if (c.code != 0) {
            const std::string said = ReadText(errors);
            EXPECT_NE(said.find(c.says), std::string::npos) << text << ": " << said;
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << text << ": " << said;
        }
    }
    unlink(errors.c_str());
    rmdir(folder);
    XDestroyWindow(dpy, existing);
}

// A FIFO as the picture path: the picture is refused at once (no reader
// waits on it), the saver draws the untextured Moon, takes the keyboard
// and pointer only then, and gives them back at a key.
TEST_F(SaverDisplayTest, AFifoPictureNeitherHangsTheSaverNorLocksTheScreen) {
    char folder[] = "/tmp/nocturo-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string store = std::string(folder) + "/registry";
    const std::string fifo = std::string(folder) + "/moon.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string settings = NOCTURO_BINARY_DIR "/bin/nocturo-settings";
    ASSERT_EQ(RunTool({"env", "NOCTURO_SETTINGS_DIR=" + store, settings, "set", "textures00",
                       "--string", fifo}),
              0);

    Window w = Start({"/s"}, 0, {"NOCTURO_SETTINGS_DIR=" + store});
    ASSERT_NE(w, 0u) << "the saver did not draw";
    // The grabs follow the first frame: this client can no longer take them.
    bool grabbed = false;
    for (long end = NowMs() + 3000; !grabbed && NowMs() < end; SleepMs(20)) {
        grabbed = XGrabKeyboard(dpy, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                  AlreadyGrabbed;
        if (!grabbed) {
            XUngrabKeyboard(dpy, CurrentTime);
            XSync(dpy, False);
        }
    }
    EXPECT_TRUE(grabbed);
    RunTool({"xdotool", "key", "Escape"});
    EXPECT_TRUE(EndsWith(0, 3000));
    EXPECT_EQ(XGrabKeyboard(dpy, root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XUngrabKeyboard(dpy, CurrentTime);
    std::filesystem::remove_all(folder);
}

TEST_F(SaverDisplayTest, WithoutADisplayWindowModesAndConfigureSaySo) {
    saver = StartSaver({"/w"}, {"DISPLAY="});
    ASSERT_TRUE(WaitSaver(&saver, 5000));
    EXPECT_EQ(ExitCode(saver), 1);
    // The settings dialog needs a display too, and says so on one line.
    char folder[] = "/tmp/nocturo-nodisplay-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string errors = std::string(folder) + "/stderr";
    saver = StartSaver({"/c"}, {"DISPLAY="}, errors);
    ASSERT_TRUE(WaitSaver(&saver, 5000));
    EXPECT_EQ(ExitCode(saver), 255);
    const std::string said = ReadText(errors);
    EXPECT_NE(said.find("cannot open the X display"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    std::filesystem::remove_all(folder);
}

TEST_F(SaverDisplayTest, TestWindowIsHalfTheScreenTopLeftAndOnlyEscapeEndsIt) {
    Window w = Start({"/w"});
    ASSERT_NE(w, 0u);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &a));
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(dpy, w, root, 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(a.width, DisplayWidth(dpy, DefaultScreen(dpy)) / 2);
    EXPECT_EQ(a.height, DisplayHeight(dpy, DefaultScreen(dpy)) / 2);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(dpy, w, &name));
    EXPECT_STREQ(name, "");
    XFree(name);
    Rgb corner{};
    ASSERT_TRUE(ReadPixel(dpy, w, 1, a.height - 2, &corner));
    EXPECT_TRUE(IsSky(corner)) << corner.r << "," << corner.g << "," << corner.b;

    RunTool({"xdotool", "key", "--window", std::to_string(w), "a", "Return", "alt"});
    RunTool({"xdotool", "mousemove", "--window", std::to_string(w), "300", "300", "click", "1"});
    EXPECT_TRUE(StillRunning(400));
    // The window was given the focus: a key pressed with the pointer
    // elsewhere reaches it.
    Pointer(1000, 900);
    RunTool({"xdotool", "key", "Escape"});
    EXPECT_TRUE(EndsWith(0, 3000));
}

TEST_F(SaverDisplayTest, TestWindowFollowsItsSize) {
    Window w = Start({"/w"});
    ASSERT_NE(w, 0u);
    XResizeWindow(dpy, w, 800, 600);
    XSync(dpy, False);
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, w, 5000));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &a));
    EXPECT_EQ(a.width, 800);
}

// Whether the cursor now showing is wholly transparent.
bool CursorIsBlank(Display* dpy) {
    XFixesCursorImage* image = XFixesGetCursorImage(dpy);
    if (image == nullptr) {
        return false;
    }
    bool blank = true;
    for (int i = 0; i < image->width * image->height; ++i) {
        blank = blank && (image->pixels[i] >> 24) == 0;
    }
    XFree(image);
    return blank;
}

TEST_F(SaverDisplayTest, FullScreenCoversTheScreenHidesTheCursorAndClosesPastFourPixels) {
    Window w = Start({"/s"});
    ASSERT_NE(w, 0u);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &a));
    EXPECT_EQ(a.width, DisplayWidth(dpy, DefaultScreen(dpy)));
    EXPECT_EQ(a.height, DisplayHeight(dpy, DefaultScreen(dpy)));
    EXPECT_TRUE(a.override_redirect);
    EXPECT_TRUE(CursorIsBlank(dpy));

    Pointer(103, 101);  // 3 right, 1 down: sum 4
    EXPECT_TRUE(StillRunning(400));
    Pointer(105, 100);  // sum 5 from where it started
    EXPECT_TRUE(EndsWith(0, 3000));
}

TEST_F(SaverDisplayTest, FullScreenClosesOnKeysAltAndButtonsButNotOnTheWheel) {
    struct Case {
        std::vector<std::string> input;
        bool closes;
    } cases[] = {
        {{"xdotool", "click", "4", "click", "5"}, false},
        {{"xdotool", "key", "a"}, true},
        {{"xdotool", "key", "alt"}, true},
        {{"xdotool", "click", "1"}, true},
        {{"xdotool", "click", "3"}, true},
    };
    for (const Case& c : cases) {
        Window w = Start({"/s"});
        ASSERT_NE(w, 0u);
        RunTool(c.input);
        if (c.closes) {
            EXPECT_TRUE(EndsWith(0, 3000)) << c.input[1] << " " << c.input[2];
        } else {
            EXPECT_TRUE(StillRunning(400)) << c.input[1] << " " << c.input[2];
        }
        KillSaver(&saver);
    }
}

TEST_F(SaverDisplayTest, FullScreenClosesWhenAnotherProgramTakesTheFocus) {
    ASSERT_NE(Start({"/s"}), 0u);
    EXPECT_TRUE(StillRunning(200));  // its own activation closes nothing
    Window other = XCreateSimpleWindow(dpy, root, 0, 0, 50, 50, 0, 0, 0);
    XSetWindowAttributes a;
    a.override_redirect = True;
    XChangeWindowAttributes(dpy, other, CWOverrideRedirect, &a);
    XMapRaised(dpy, other);
    XSync(dpy, False);
    SleepMs(50);
    XSetInputFocus(dpy, other, RevertToParent, CurrentTime);
    XSync(dpy, False);
    EXPECT_TRUE(EndsWith(0, 3000));
    XDestroyWindow(dpy, other);
}

TEST_F(SaverDisplayTest, AnotherSaverWindowMakesFullScreenShowNothing) {
    Window other = XCreateSimpleWindow(dpy, root, 0, 0, 100, 100, 0, 0, 0);
    XClassHint hint;
    hint.res_name = const_cast<char*>("other");
    hint.res_class = const_cast<char*>("ScreenSaverClass");
    XSetClassHint(dpy, other, &hint);
    XStoreName(dpy, other, "Screen Saver");
    XSync(dpy, False);
    saver = StartSaver({"/s"});
    EXPECT_TRUE(EndsWith(0, 3000));
    EXPECT_EQ(FindChildWithClass(dpy, root, kClass), 0u);

    // A different title does not count.
    XStoreName(dpy, other, "Something Else");
    XSync(dpy, False);
    EXPECT_NE(Start({"/s"}), 0u);
    KillSaver(&saver);
    XDestroyWindow(dpy, other);
}

TEST_F(SaverDisplayTest, PreviewDrawsInsideItsParentIgnoresInputAndEndsWithIt) {
    Window parent = MakeTestWindow(dpy, root, 320, 240);
    Window w = Start({"/p", std::to_string(parent)}, parent);
    ASSERT_NE(w, 0u);
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &a));
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    RunTool({"xdotool", "mousemove", "--window", std::to_string(parent), "50", "50", "click", "1",
             "mousemove", "--window", std::to_string(parent), "200", "200", "key", "a"});
    EXPECT_TRUE(StillRunning(400));
    XDestroyWindow(dpy, parent);
    XSync(dpy, False);
    EXPECT_TRUE(EndsWith(0, 3000));
}

// Counts the frames the saver puts on a window, from damage reports: one
// frame is one burst of drawing, however many requests it takes.
int CountFrames(Display* dpy, Window w, int periodMs) {
    int eventBase = 0, errorBase = 0;
    if (!XDamageQueryExtension(dpy, &eventBase, &errorBase)) {
        return -1;
    }
    Damage damage = XDamageCreate(dpy, w, XDamageReportNonEmpty);
    XSync(dpy, False);
    int frames = 0;
    long last = 0;
    long end = NowMs() + periodMs;
    while (NowMs() < end) {
        while (XPending(dpy) > 0) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == eventBase + XDamageNotify) {
                long now = NowMs();
                if (now - last >= 8) {
                    ++frames;
                    last = now;
                }
                XDamageSubtract(dpy, damage, None, None);
            }
        }
        SleepMs(1);
    }
    XDamageDestroy(dpy, damage);
    return frames;
}

TEST_F(SaverDisplayTest, FrameRateSettlesNearThirtyOneASecond) {
    // A small preview keeps the drawing cheap, so that the rate is the
    // timer's; every tick is presented, drawn or not.
    Window parent = MakeTestWindow(dpy, root, 64, 48);
    Window w = Start({"/p", std::to_string(parent)}, parent);
    ASSERT_NE(w, 0u);
    SleepMs(300);
    int frames = CountFrames(dpy, w, 2000);
    // One frame per 32 ms tick at best (31.25 a second), never more.
    EXPECT_LE(frames, 2 * 32);
    EXPECT_GE(frames, 2 * 24);
    std::printf("frames in 2 s: %d\n", frames);
}

// A window of the test standing in for a screen-saver daemon's.
class DaemonTest : public SaverDisplayTest {
  protected:
    Window daemon = 0;
    void SetUp() override {
        SaverDisplayTest::SetUp();
        // The daemon listens to button presses itself, as xscreensaver does.
        daemon = MakeTestWindow(dpy, root, 400, 300, ButtonPressMask);
    }
    void TearDown() override {
        KillSaver(&saver);
        XDestroyWindow(dpy, daemon);
        SaverDisplayTest::TearDown();
    }
    void StartInDaemonWindow(const std::string& id) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", daemon);
        saver = StartSaver({"s", "--window-id", hex}, {"XSCREENSAVER_WINDOW=" + id});
    }
};

TEST_F(DaemonTest, DrawsIntoTheDaemonWindowFollowsItsSizeAndDiesBySigterm) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", daemon);
    StartInDaemonWindow(hex);
    ASSERT_TRUE(WaitSceneFillsWindow(dpy, daemon, 8000));
    EXPECT_EQ(FindChildWithClass(dpy, root, kClass), 0u);  // no window of its own
    EXPECT_EQ(FindChildWithClass(dpy, daemon, kClass), 0u);
    // The daemon owns the grabs and the cursor: nothing is grabbed, so this
    // client can grab, and the pointer over the window keeps its cursor.
    EXPECT_EQ(XGrabKeyboard(dpy, root, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XUngrabKeyboard(dpy, CurrentTime);
    EXPECT_EQ(
        XGrabPointer(dpy, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime),
        GrabSuccess);
    XUngrabPointer(dpy, CurrentTime);
    XSync(dpy, False);
    EXPECT_FALSE(CursorIsBlank(dpy));

    XResizeWindow(dpy, daemon, 600, 450);
    XSync(dpy, False);
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, daemon, 5000));

    long sent = NowMs();
    kill(saver.pid, SIGTERM);
    ASSERT_TRUE(WaitSaver(&saver, 1000));
    EXPECT_LT(NowMs() - sent, 1000);
    EXPECT_TRUE(WIFSIGNALED(saver.status));
    EXPECT_EQ(WTERMSIG(saver.status), SIGTERM);
}

TEST_F(SaverDisplayTest, HelpVersionAndBadWordsSpeakOnTheirStreams) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* out;  // expected in standard output, or "" for none
        bool errorLine;   // one line on standard error
    } cases[] = {
        {{"--help"}, 0, "--window-id", false},
        {{"--version"}, 0, "1.0.0", false},
        {{"--root", "--bogus"}, 255, "", true},
    };
    for (const Case& c : cases) {
        std::string command = std::string(NOCTURO_BINARY_DIR) + "/bin/Nocturo.scr";
        for (const std::string& a : c.args) {
            command += " " + a;
        }
        std::string err = std::string(NOCTURO_BINARY_DIR) + "/hack-words-stderr.txt";
        FILE* pipe = popen((command + " 2>" + err).c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            out.append(buffer, n);
        }
        int status = pclose(pipe);
        EXPECT_EQ(WEXITSTATUS(status), c.code) << command;
        if (*c.out != '\0') {
            EXPECT_NE(out.find(c.out), std::string::npos) << command;
        } else {
            EXPECT_EQ(out, "") << command;
        }
        FILE* f = fopen(err.c_str(), "r");
        ASSERT_NE(f, nullptr);
        std::string errText;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) {
            errText.append(buffer, n);
        }
        fclose(f);
        if (c.errorLine) {
            EXPECT_EQ(errText.find('\n'), errText.size() - 1) << command << ": " << errText;
            EXPECT_NE(errText.find("usage"), std::string::npos) << errText;
        } else {
            EXPECT_EQ(errText, "") << command;
        }
    }
}

TEST_F(SaverDisplayTest, RootDrawsInTheRootWindowWithoutAWindowOfItsOwn) {
    saver = StartSaver({"-root"}, {"XSCREENSAVER_WINDOW="});
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, root, 8000));
    EXPECT_EQ(FindChildWithClass(dpy, root, kClass), 0u);
    // Input belongs to whoever owns the screen: a click and a key leave it running.
    RunTool({"xdotool", "mousemove", "300", "300", "click", "1", "key", "a"});
    EXPECT_TRUE(StillRunning(500));
    kill(saver.pid, SIGTERM);
    ASSERT_TRUE(WaitSaver(&saver, 1000));
    EXPECT_TRUE(WIFSIGNALED(saver.status));
}

TEST_F(DaemonTest, WindowIdDrawsThereIgnoresInputAndEndsWithTheWindow) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", daemon);
    // Given as the hack words, the window wins over the environment's.
    saver = StartSaver({"--window-id", hex}, {"XSCREENSAVER_WINDOW=0x1"});
    ASSERT_TRUE(WaitSceneFillsWindow(dpy, daemon, 8000));
    EXPECT_EQ(FindChildWithClass(dpy, root, kClass), 0u);
    RunTool({"xdotool", "mousemove", "200", "150", "click", "1", "key", "a"});
    EXPECT_TRUE(StillRunning(500));
    XDestroyWindow(dpy, daemon);
    XSync(dpy, False);
    daemon = MakeTestWindow(dpy, root, 10, 10);  // for the fixture to destroy
    EXPECT_TRUE(EndsWith(0, 3000));
}

TEST_F(DaemonTest, FpsPutsItsReadoutInTheBottomLeftCorner) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", daemon);
    saver = StartSaver({"-window-id", hex});
    ASSERT_TRUE(WaitSceneFillsWindow(dpy, daemon, 8000));
    Rgb plain{};
    ASSERT_TRUE(ReadPixel(dpy, daemon, 6, 300 - 6, &plain));
    EXPECT_TRUE(IsSky(plain));
    KillSaver(&saver);

    saver = StartSaver({"-window-id", hex, "--fps"});
    // The window still shows the last run's picture: wait for the readout's
    // dark box, then look for its yellow text.
    Rgb box{};
    for (long end = NowMs() + 8000; NowMs() < end; SleepMs(50)) {
        if (ReadPixel(dpy, daemon, 6, 300 - 6, &box) && box.r + box.g + box.b == 0) {
            break;
        }
    }
    EXPECT_EQ(box.r + box.g + box.b, 0);
    XImage* strip = XGetImage(dpy, daemon, 0, 300 - 30, 200, 30, AllPlanes, ZPixmap);
    ASSERT_NE(strip, nullptr);
    int yellow = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 200; ++x) {
            unsigned long p = XGetPixel(strip, x, y);
            if ((p & strip->red_mask) >> 16 > 200 && ((p & strip->green_mask) >> 8) > 200 &&
                (p & strip->blue_mask) < 60) {
                ++yellow;
            }
        }
    }
    XDestroyImage(strip);
    EXPECT_GT(yellow, 20);
}

TEST_F(DaemonTest, DecimalIdAndTheWindowsDisappearanceEndsItQuietly) {
    StartInDaemonWindow(std::to_string(daemon));
    ASSERT_TRUE(WaitSceneFillsWindow(dpy, daemon, 8000));
    XDestroyWindow(dpy, daemon);
    XSync(dpy, False);
    daemon = MakeTestWindow(dpy, root, 10, 10);  // for the fixture to destroy
    EXPECT_TRUE(EndsWith(0, 3000));
}

}  // namespace

namespace {

// Runs the saver's test window on an X server of its own, started by
// `script` (bash; $SAVER is the saver, $FOLDER a temporary folder, $SERVER
// the Xvfb options), and gives back its status and standard error.
struct PrivateRun {
    int status = -1;
    std::string error;
};

PrivateRun RunOnPrivateServer(const std::string& serverOptions, const std::string& script) {
    char folder[] = "/tmp/nocturo-xserver-XXXXXX";
    PrivateRun run;
    if (mkdtemp(folder) == nullptr) {
        return run;
    }
    const std::string start =
        "Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 $SERVER 3>\"$FOLDER/display\" "
        "2>/dev/null & server=$!; "
        "for i in $(seq 100); do [ -s \"$FOLDER/display\" ] && break; sleep 0.05; done; "
        "export DISPLAY=:$(cat \"$FOLDER/display\"); ";
    const std::string command = "SAVER='" NOCTURO_BINARY_DIR "/bin/Nocturo.scr' FOLDER='" +
                                std::string(folder) + "' SERVER='" + serverOptions + "' bash -c '" +
                                start + script +
                                "; echo $status >\"$FOLDER/status\"; kill -9 $server "
                                "2>/dev/null; wait'";
    std::system(command.c_str());
    const std::string status = ReadText(std::string(folder) + "/status");
    run.status = status.empty() ? -1 : std::stoi(status);
    run.error = ReadText(std::string(folder) + "/error");
    std::filesystem::remove_all(folder);
    return run;
}

// A server without GLX: the saver cannot draw, and after the pixel-format
// attempts it ends with 1 and says why instead of showing a black window.
TEST(SaverOnItsOwnServer, WithoutGlxTheSaverSaysSoAndFails) {
    const PrivateRun run = RunOnPrivateServer(
        "-extension GLX", "timeout 30 \"$SAVER\" w 2>\"$FOLDER/error\"; status=$?");
    EXPECT_EQ(run.status, 1) << run.error;
    EXPECT_NE(run.error.find("no OpenGL context"), std::string::npos) << run.error;
    EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
}

// The X server killed under the saver: it ends with 1 and says so.
TEST(SaverOnItsOwnServer, TheServerGoingAwayEndsTheSaverWithALine) {
    const PrivateRun run =
        RunOnPrivateServer("",
                           "\"$SAVER\" w 2>\"$FOLDER/error\" & saver=$!; sleep 2; kill -9 $server; "
                           "wait $saver; status=$?");
    EXPECT_EQ(run.status, 1) << run.error;
    EXPECT_NE(run.error.find("connection to the X server was lost"), std::string::npos)
        << run.error;
    EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << run.error;
}

}  // namespace
