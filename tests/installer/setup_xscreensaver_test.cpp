// The hand-over for real: setup_nocturo installs into a temporary home as an
// ordinary user (nobody), the xscreensaver daemon of that user is started on
// the test display, and `xscreensaver-command -select N` of the entry the
// installer wrote runs the installed saver, which draws the Moon.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "installer/xscreensaver_programs.h"
#include "tests/shell/saver_process.h"

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class SetupXscreensaver : public ::testing::Test {
  protected:
    void SetUp() override {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(getuid(), 0u) << "runs the daemon as nobody, which needs root to start";
        ASSERT_EQ(access("/usr/bin/xscreensaver", X_OK), 0) << "xscreensaver is not installed";
        std::string pattern = "/tmp/nocturo-xscreensaver-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        home = pattern;
        ASSERT_EQ(chmod(home.c_str(), 0755), 0);
        ASSERT_EQ(chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        // The display's cookie, where nobody can read it.
        const char* authority = std::getenv("XAUTHORITY");
        if (authority != nullptr && access(authority, R_OK) == 0) {
            std::filesystem::copy_file(authority, home + "/.Xauthority");
            ASSERT_EQ(chown((home + "/.Xauthority").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
        const char* display = std::getenv("DISPLAY");
        ASSERT_NE(display, nullptr) << "needs an X display";
        environment = "env -i HOME='" + home + "' PATH=/usr/bin:/bin DISPLAY='" + display +
                      "' XAUTHORITY='" + home + "/.Xauthority' NOCTURO_SETTINGS_PROGRAM= ";
        for (long end = NowMs() + 3000; dpy == nullptr && NowMs() < end; SleepMs(10)) {
            dpy = XOpenDisplay(nullptr);
        }
        ASSERT_NE(dpy, nullptr);
        XSetErrorHandler(IgnoreErrors);
    }

    void TearDown() override {
        AsNobody("xscreensaver-command -exit");
        for (long end = NowMs() + 3000; NowMs() < end && Running(); SleepMs(50)) {
        }
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }

    int AsNobody(const std::string& command) {
        const int status = std::system(
            ("runuser -u nobody -- " + environment + command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The installed saver runs as nobody.
    bool Running() {
        const std::string saver = home + "/.local/bin/Nocturo.scr s";
        return std::system(("pgrep -u nobody -f -x '" + saver + "' >/dev/null").c_str()) == 0;
    }

    std::string home, environment;
    Display* dpy = nullptr;
};

TEST_F(SetupXscreensaver, TheDaemonRunsTheInstalledSaverFromItsEntry) {
    ASSERT_EQ(AsNobody(std::string(NOCTURO_BINARY_DIR) + "/bin/setup_nocturo --unattended"), 0);
    const auto programs = XscreensaverListPrograms(Read(home + "/.xscreensaver"));
    int number = 0;  // -select counts the entries from 1
    for (size_t i = 0; i < programs.size(); ++i) {
        if (XscreensaverProgramName(programs[i].command) == "Nocturo.scr") {
            number = static_cast<int>(i) + 1;
        }
    }
    ASSERT_GT(number, 0);

    ASSERT_EQ(std::system(("runuser -u nobody -- " + environment +
                           "xscreensaver -no-splash >/dev/null 2>&1 &")
                              .c_str()),
              0);
    // The daemon answers once it is up.
    bool up = false;
    for (long end = NowMs() + 10000; !up && NowMs() < end; SleepMs(200)) {
        up = AsNobody("xscreensaver-command -version") == 0;
    }
    ASSERT_TRUE(up) << "the xscreensaver daemon did not start";
    ASSERT_EQ(AsNobody("xscreensaver-command -select " + std::to_string(number)), 0);

    bool running = false;
    for (long end = NowMs() + 10000; !running && NowMs() < end; SleepMs(100)) {
        running = Running();
    }
    ASSERT_TRUE(running) << "xscreensaver did not start the installed saver";
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, DefaultRootWindow(dpy), 20000))
        << "the screen does not show the Moon";
}

}  // namespace
