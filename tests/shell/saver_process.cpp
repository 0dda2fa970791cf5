#include "tests/shell/saver_process.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& env, bool search, const std::string& errorPath = "") {
    std::vector<std::string> envs;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const std::string& change : env) {
            std::string name = change.substr(0, change.find('=') + 1);
            replaced = replaced || entry.rfind(name, 0) == 0;
        }
        if (!replaced) {
            envs.push_back(entry);
        }
    }
    for (const std::string& change : env) {
        if (change.back() != '=') {
            envs.push_back(change);
        }
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : envs) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!errorPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    pid_t pid = -1;
    int rc = search
                 ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data())
                 : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

}  // namespace

void SleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

long NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

SaverProcess StartSaver(const std::vector<std::string>& args, const std::vector<std::string>& env,
                        const std::string& errorPath) {
    SaverProcess saver;
    saver.pid = Spawn(NOCTURO_BINARY_DIR "/bin/Nocturo.scr", args, env, false, errorPath);
    return saver;
}

bool WaitSaver(SaverProcess* saver, int timeoutMs) {
    if (saver->ended) {
        return true;
    }
    long deadline = NowMs() + timeoutMs;
    do {
        pid_t got = waitpid(saver->pid, &saver->status, WNOHANG);
        if (got == saver->pid) {
            saver->ended = true;
            return true;
        }
        SleepMs(5);
    } while (NowMs() < deadline);
    return false;
}

int ExitCode(const SaverProcess& saver) {
    return saver.ended && WIFEXITED(saver.status) ? WEXITSTATUS(saver.status) : -1;
}

void KillSaver(SaverProcess* saver) {
    if (saver->pid > 0 && !saver->ended) {
        kill(saver->pid, SIGKILL);
        waitpid(saver->pid, &saver->status, 0);
        saver->ended = true;
    }
}

int RunTool(const std::vector<std::string>& args) {
    std::vector<std::string> rest(args.begin() + 1, args.end());
    pid_t pid = Spawn(args[0], rest, {}, true);
    if (pid < 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Window FindChildWithClass(Display* dpy, Window parent, const char* className) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(dpy, parent, &root, &up, &children, &n)) {
        for (unsigned i = 0; i < n && found == 0; ++i) {
            XClassHint hint{};
            if (XGetClassHint(dpy, children[i], &hint)) {
                if (hint.res_class != nullptr && std::strcmp(hint.res_class, className) == 0) {
                    found = children[i];
                }
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
    }
    return found;
}

Window WaitChildWithClass(Display* dpy, Window parent, const char* className, int timeoutMs) {
    long deadline = NowMs() + timeoutMs;
    do {
        Window w = FindChildWithClass(dpy, parent, className);
        if (w != 0) {
            return w;
        }
        SleepMs(10);
    } while (NowMs() < deadline);
    return 0;
}

bool ReadPixel(Display* dpy, Window window, int x, int y, Rgb* out) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, window, &a) || a.map_state != IsViewable) {
        return false;
    }
    XImage* image = XGetImage(dpy, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    unsigned long p = XGetPixel(image, 0, 0);
    out->r = static_cast<int>((p & image->red_mask) >> 16);
    out->g = static_cast<int>((p & image->green_mask) >> 8);
    out->b = static_cast<int>(p & image->blue_mask);
    XDestroyImage(image);
    return true;
}

bool IsSky(const Rgb& c) {
    return std::abs(c.r - 5) <= 1 && std::abs(c.g - 10) <= 1 && std::abs(c.b - 30) <= 1;
}

bool WaitSkyPixel(Display* dpy, Window window, int x, int y, int timeoutMs) {
    long deadline = NowMs() + timeoutMs;
    do {
        Rgb c{};
        if (ReadPixel(dpy, window, x, y, &c) && IsSky(c)) {
            return true;
        }
        SleepMs(20);
    } while (NowMs() < deadline);
    return false;
}

namespace {

Rgb PixelOf(XImage* image, int x, int y) {
    unsigned long p = XGetPixel(image, x, y);
    return Rgb{static_cast<int>((p & image->red_mask) >> 16),
               static_cast<int>((p & image->green_mask) >> 8),
               static_cast<int>(p & image->blue_mask)};
}

// The middle of the longest run of non-sky pixels along a line.
int MiddleOfLongestRun(XImage* image, int length, bool alongRow, int at) {
    int best = 0, bestStart = 0, run = 0;
    for (int i = 0; i <= length; ++i) {
        bool other = i < length && !IsSky(alongRow ? PixelOf(image, i, at) : PixelOf(image, at, i));
        if (other) {
            ++run;
        } else {
            if (run > best) {
                best = run;
                bestStart = i - run;
            }
            run = 0;
        }
    }
    return best == 0 ? -1 : bestStart + best / 2;
}

}  // namespace

bool SceneFillsWindow(Display* dpy, Window window) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, window, &a) || a.map_state != IsViewable || a.width < 32 ||
        a.height < 32) {
        return false;
    }
    XImage* image = XGetImage(dpy, window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    int sky = 0, samples = 0;
    int patchW = a.width / 16, patchH = a.height / 16;
    for (int corner = 0; corner < 4; ++corner) {
        int x0 = corner & 1 ? a.width - patchW : 0;
        int y0 = corner & 2 ? a.height - patchH : 0;
        for (int y = y0; y < y0 + patchH; y += 2) {
            for (int x = x0; x < x0 + patchW; x += 2) {
                sky += IsSky(PixelOf(image, x, y));
                ++samples;
            }
        }
    }
    int midX = MiddleOfLongestRun(image, a.width, true, a.height / 2);
    int midY = MiddleOfLongestRun(image, a.height, false, a.width / 2);
    XDestroyImage(image);
    return samples > 0 && sky * 10 >= samples * 7 && std::abs(midX - a.width / 2) <= a.width / 20 &&
           std::abs(midY - a.height / 2) <= a.height / 20;
}

bool WaitSceneFillsWindow(Display* dpy, Window window, int timeoutMs) {
    long deadline = NowMs() + timeoutMs;
    do {
        if (SceneFillsWindow(dpy, window)) {
            return true;
        }
        SleepMs(50);
    } while (NowMs() < deadline);
    return false;
}

Window MakeTestWindow(Display* dpy, Window parent, int width, int height, long eventMask) {
    int screen = DefaultScreen(dpy);
    Window w = XCreateSimpleWindow(dpy, parent, 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, BlackPixel(dpy, screen),
                                   WhitePixel(dpy, screen));
    XSelectInput(dpy, w, eventMask | StructureNotifyMask);
    XMapWindow(dpy, w);
    XEvent e;
    do {
        XWindowEvent(dpy, w, StructureNotifyMask, &e);
    } while (e.type != MapNotify);
    XSelectInput(dpy, w, eventMask);
    XSync(dpy, False);
    return w;
}
