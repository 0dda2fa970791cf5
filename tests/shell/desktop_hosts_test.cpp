// The saver under the real desktop programs of Debian, from a staged
// system install (DESTDIR into a temporary folder): the xscreensaver daemon,
// xsecurelock and xscreensaver-settings. They refuse to run savers as root,
// so they run as `nobody` with a temporary HOME; the tests need root for that
// and are skipped without it.

// GoogleTest first: Xlib defines None as a macro.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dirent.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/shell/saver_process.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command line to its end; its exit status.
int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts a shell command line in the background, in a process group of its
// own, standard output and error into log.
pid_t Background(const std::string& command, const std::string& log) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        execl("/bin/sh", "sh", "-c", ("exec " + command + " >" + log + " 2>&1").c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void EndGroup(pid_t* pid) {
    if (*pid > 0) {
        kill(-*pid, SIGKILL);
        waitpid(*pid, nullptr, 0);
        *pid = -1;
    }
}

// The processes whose program is this file.
std::vector<pid_t> ProcessesOf(const std::string& program) {
    std::vector<pid_t> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return found;
    }
    while (dirent* e = readdir(proc)) {
        pid_t pid = std::atoi(e->d_name);
        if (pid <= 0) {
            continue;
        }
        std::error_code error;
        fs::path exe = fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
        if (!error && exe == program) {
            found.push_back(pid);
        }
    }
    closedir(proc);
    return found;
}

// One variable of a process's environment, or "".
std::string EnvironmentOf(pid_t pid, const std::string& name) {
    std::string all = ReadText("/proc/" + std::to_string(pid) + "/environ");
    std::string key = name + "=";
    for (size_t at = 0; at < all.size();) {
        size_t end = all.find('\0', at);
        std::string entry = all.substr(at, end - at);
        if (entry.rfind(key, 0) == 0) {
            return entry.substr(key.size());
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return "";
}

template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMs) {
    for (long end = NowMs() + timeoutMs; NowMs() < end; SleepMs(50)) {
        if (condition()) {
            return true;
        }
    }
    return condition();
}

class DesktopHostsTest : public ::testing::Test {
  protected:
    static inline std::string root;  // the temporary folder: stage/ and home/
    static inline std::string stage;
    Display* dpy = nullptr;
    std::string home;
    pid_t host = -1;

    static void SetUpTestSuite() {
        if (geteuid() != 0) {
            return;
        }
        char pattern[] = "/tmp/nocturo-hosts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::permissions(root, fs::perms(0755));
        stage = root + "/stage";
        ASSERT_EQ(Shell("DESTDIR=" + stage +
                        " cmake --install " NOCTURO_BINARY_DIR " --prefix /usr >/dev/null"),
                  0);
        ASSERT_EQ(Shell("chmod -R a+rX " + stage), 0);
    }
    static void TearDownTestSuite() {
        if (!root.empty()) {
            fs::remove_all(root);
        }
    }

    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "running programs as nobody needs root";
        }
        for (long end = NowMs() + 3000; dpy == nullptr && NowMs() < end; SleepMs(10)) {
            dpy = XOpenDisplay(nullptr);
        }
        ASSERT_NE(dpy, nullptr) << "these tests need an X display";
        // A saver of an earlier test may keep its window (and its grabs) for a
        // moment on a busy machine, until the server has dropped its connection.
        for (long end = NowMs() + 3000;
             FindChildWithClass(dpy, DefaultRootWindow(dpy), "WindowsScreenSaverClass") != 0 &&
             NowMs() < end;
             SleepMs(20)) {
        }
        // Nor may anyone hold the keyboard or the pointer (a locker grabs both).
        ASSERT_TRUE(WaitUntil(
            [&] {
                Window r = DefaultRootWindow(dpy);
                bool free = XGrabKeyboard(dpy, r, False, GrabModeAsync, GrabModeAsync,
                                          CurrentTime) == GrabSuccess &&
                            XGrabPointer(dpy, r, False, 0, GrabModeAsync, GrabModeAsync, 0, 0,
                                         CurrentTime) == GrabSuccess;
                XUngrabKeyboard(dpy, CurrentTime);
                XUngrabPointer(dpy, CurrentTime);
                XSync(dpy, False);
                return free;
            },
            5000));
        // nobody may use the display without the cookie file of the test's user.
        ASSERT_EQ(Shell("xhost +si:localuser:nobody >/dev/null"), 0);
        home = root + "/home-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(home);
        passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    void TearDown() override {
        EndGroup(&host);
        for (pid_t left : ProcessesOf(Saver())) {
            kill(left, SIGKILL);
        }
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
    }
    std::string Saver() const { return stage + "/usr/libexec/xscreensaver/nocturo"; }
    // A command line run as nobody in the temporary home, the staged hacks first in PATH.
    std::string AsNobody(const std::string& command) const {
        return "runuser -u nobody -- env -u XAUTHORITY HOME='" + home + "' PATH='" + stage +
               "/usr/libexec/xscreensaver:/usr/bin:/bin' DISPLAY='" + DisplayString(dpy) + "' " +
               command;
    }
    void WriteHomeFile(const std::string& name, const std::string& text) {
        std::ofstream(home + "/" + name) << text;
        passwd* nobody = getpwnam("nobody");
        ASSERT_EQ(chown((home + "/" + name).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
};

TEST_F(DesktopHostsTest, XscreensaverRunsTheProgramsEntryAndEndsItOnDeactivate) {
    WriteHomeFile(".xscreensaver",
                  "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nfade: False\n"
                  "unfade: False\nsplash: False\nprograms: \\\n  GL: nocturo -root \\n\\\n\n");
    std::string log = home + "/xscreensaver.log";
    host = Background(AsNobody("xscreensaver -no-splash -verbose"), log);
    ASSERT_TRUE(WaitUntil(
        [&] { return Shell(AsNobody("xscreensaver-command -activate >/dev/null 2>&1")) == 0; },
        5000));
    // "0: forked "nocturo --root" in pid N on window 0x..."
    std::string text;
    ASSERT_TRUE(WaitUntil(
        [&] {
            text = ReadText(log);
            return text.find("(nocturo)") == std::string::npos &&
                   text.find("on window 0x", text.find("forked \"nocturo")) != std::string::npos;
        },
        5000))
        << text;
    size_t at = text.find("on window 0x", text.find("forked \"nocturo")) + 10;
    Window window = std::strtoul(text.c_str() + at, nullptr, 16);
    ASSERT_EQ(ProcessesOf(Saver()).size(), 1u);
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, window, 8000));

    ASSERT_EQ(Shell(AsNobody("xscreensaver-command -deactivate >/dev/null")), 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(Saver()).empty(); }, 3000));
    Shell(AsNobody("xscreensaver-command -exit >/dev/null 2>&1"));
    const bool ended = WaitUntil([&] { return waitpid(host, nullptr, WNOHANG) == host; }, 3000);
    EXPECT_TRUE(ended);
    if (ended) {
        host = -1;  // reaped: nothing left for the fixture to end
    }
    text = ReadText(log);
    // No obituary: the daemon's only words about the saver are that it
    // started it and ended it (a crash, an early exit or a missing program
    // would be reported on lines of their own).
    std::istringstream lines(text);
    int forked = 0, killed = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("nocturo") == std::string::npos) {
            continue;
        }
        bool known = line.find("forked \"nocturo") != std::string::npos ||
                     line.find("killing pid") != std::string::npos;
        EXPECT_TRUE(known) << line;
        forked += line.find("forked") != std::string::npos;
        killed += line.find("killing pid") != std::string::npos;
    }
    EXPECT_EQ(forked, 1);
    EXPECT_EQ(killed, 1);
}

TEST_F(DesktopHostsTest, XsecurelockDrawsTheMoonInTheLockWindowAndSigtermCleansUp) {
    std::string module = stage + "/usr/libexec/xsecurelock/saver_nocturo";
    host = Background(AsNobody("XSECURELOCK_SAVER='" + module + "' xsecurelock"),
                      home + "/xsecurelock.log");
    std::vector<pid_t> savers;
    ASSERT_TRUE(WaitUntil(
        [&] {
            savers = ProcessesOf(Saver());
            return savers.size() == 1;
        },
        5000))
        << ReadText(home + "/xsecurelock.log");
    pid_t first = savers[0];
    Window window = std::strtoul(EnvironmentOf(first, "XSCREENSAVER_WINDOW").c_str(), nullptr, 0);
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(WaitSceneFillsWindow(dpy, window, 8000));
    // Still the same saver: xsecurelock had no cause to start it again.
    EXPECT_EQ(ProcessesOf(Saver()), std::vector<pid_t>{first});

    // xsecurelock itself, the child of runuser.
    std::string children =
        ReadText("/proc/" + std::to_string(host) + "/task/" + std::to_string(host) + "/children");
    pid_t locker = std::atoi(children.c_str());
    ASSERT_GT(locker, 0);
    kill(locker, SIGTERM);
    EXPECT_TRUE(WaitUntil([&] { return kill(locker, 0) != 0; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(Saver()).empty(); }, 3000));
}

TEST_F(DesktopHostsTest, XscreensaverSettingsReadsTheDescriptionAndPreviews) {
    // The settings program reads descriptions only from
    // /usr/share/xscreensaver/config: a private mount namespace shows it the
    // system's files and the staged one there, and ends with the program.
    std::string config = root + "/config-" + std::to_string(getpid());
    fs::create_directories(config);
    Shell("cp /usr/share/xscreensaver/config/* '" + config + "'/ && cp '" + stage +
          "/usr/share/xscreensaver/config/nocturo.xml' '" + config + "'/ && chmod -R a+rX '" +
          config + "'");
    WriteHomeFile(".xscreensaver",
                  "mode: one\nselected: 0\nprograms: \\\n  GL: nocturo -root \\n\\\n\n");
    std::string log = home + "/settings.log";
    host = Background("unshare -m --propagation private sh -c \"mount --bind '" + config +
                          "' /usr/share/xscreensaver/config && exec " +
                          AsNobody("xscreensaver-settings --debug") + "\"",
                      log);
    std::string text;
    EXPECT_TRUE(WaitUntil(
        [&] {
            text = ReadText(log);
            return text.find("forked") != std::string::npos &&
                   text.find("(nocturo)") != std::string::npos;
        },
        8000))
        << text;
    SleepMs(1000);  // a preview that fails is reported dead at once
    EndGroup(&host);
    text = ReadText(log);
    EXPECT_NE(text.find("reading /usr/share/xscreensaver/config/nocturo.xml"), std::string::npos)
        << text;
    for (const char* bad : {"does not exist", "parser error", "(nocturo) died", "crashed"}) {
        EXPECT_EQ(text.find(bad), std::string::npos) << bad << " in:\n" << text;
    }
    fs::remove_all(config);
}

}  // namespace
