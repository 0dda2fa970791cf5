// The shell's own full-screen window on a desktop of two monitors: an X
// server made of two screens joined by Xinerama (Xephyr, inside the test
// display), each of which must show its own centred Moon.

#include <gtest/gtest.h>
// After gtest: Xlib defines None.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/shell/saver_process.h"

namespace {

constexpr int kScreenWidth = 640, kScreenHeight = 400;

// Xephyr with two screens side by side; its display number, or -1.
struct NestedServer {
    pid_t pid = -1;
    int display = -1;
};

NestedServer StartNestedServer() {
    NestedServer server;
    int fds[2];
    if (pipe(fds) != 0) {
        return server;
    }
    const std::string size = std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight);
    server.pid = fork();
    if (server.pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xephyr", "Xephyr", "-displayfd", fd.c_str(), "+xinerama", "-screen", size.c_str(),
               "-screen", size.c_str(), "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char text[16] = {};
    ssize_t got = 0;
    for (ssize_t n = 1; n > 0 && got < 15 && text[got > 0 ? got - 1 : 0] != '\n';) {
        n = read(fds[0], text + got, static_cast<size_t>(15 - got));
        got += n > 0 ? n : 0;
    }
    close(fds[0]);
    if (got > 0) {
        server.display = std::atoi(text);
    }
    return server;
}

// The middle of the longest run of non-sky pixels along a row of a window's
// image, between two columns.
int MiddleOfMoon(XImage* image, int row, int from, int to) {
    int best = 0, bestStart = from, run = 0;
    for (int x = from; x < to; ++x) {
        const unsigned long p = XGetPixel(image, x, row);
        const Rgb c{static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                    static_cast<int>(p & 0xff)};
        run = IsSky(c) ? 0 : run + 1;
        if (run > best) {
            best = run;
            bestStart = x - run + 1;
        }
    }
    return best > (to - from) / 4 ? bestStart + best / 2 : -1;
}

TEST(TwoMonitorDisplay, EachMonitorShowsItsOwnCentredMoon) {
    NestedServer server = StartNestedServer();
    if (server.display < 0) {
        if (server.pid > 0) {
            kill(server.pid, SIGTERM);
            waitpid(server.pid, nullptr, 0);
        }
        GTEST_SKIP() << "no Xephyr with two screens could be started";
    }
    const std::string name = ":" + std::to_string(server.display);
    Display* dpy = XOpenDisplay(name.c_str());
    ASSERT_NE(dpy, nullptr);
    ASSERT_EQ(DisplayWidth(dpy, DefaultScreen(dpy)), 2 * kScreenWidth);

    SaverProcess saver = StartSaver({"/s"}, {"DISPLAY=" + name, "XSCREENSAVER_WINDOW="});
    const Window w =
        WaitChildWithClass(dpy, DefaultRootWindow(dpy), "WindowsScreenSaverClass", 8000);
    ASSERT_NE(w, 0u);
    // Both Moons centred on their screens, on the middle row; the seam sky.
    int left = -1, right = -1;
    bool seamSky = false;
    for (long end = NowMs() + 10000; NowMs() < end; SleepMs(100)) {
        XImage* image =
            XGetImage(dpy, w, 0, 0, 2 * kScreenWidth, kScreenHeight, AllPlanes, ZPixmap);
        if (image == nullptr) {
            continue;
        }
        left = MiddleOfMoon(image, kScreenHeight / 2, 0, kScreenWidth);
        right = MiddleOfMoon(image, kScreenHeight / 2, kScreenWidth, 2 * kScreenWidth);
        const unsigned long p = XGetPixel(image, kScreenWidth, kScreenHeight / 2);
        seamSky = IsSky({static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff),
                         static_cast<int>(p & 0xff)});
        XDestroyImage(image);
        if (std::abs(left - kScreenWidth / 2) <= 8 && std::abs(right - 3 * kScreenWidth / 2) <= 8 &&
            seamSky) {
            break;
        }
    }
    EXPECT_NEAR(left, kScreenWidth / 2, 8);
    EXPECT_NEAR(right, 3 * kScreenWidth / 2, 8);
    EXPECT_TRUE(seamSky);

    KillSaver(&saver);
    XCloseDisplay(dpy);
    kill(server.pid, SIGTERM);
    waitpid(server.pid, nullptr, 0);
}

}  // namespace
