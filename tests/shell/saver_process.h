#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

// Runs Nocturo.scr and small X chores for the tests that watch it on a
// real display.

struct SaverProcess {
    pid_t pid = -1;
    int status = 0;
    bool ended = false;
};

// Starts build/bin/Nocturo.scr with the arguments; extra environment
// entries ("NAME=value") are added, "NAME=" removes a variable. With
// `errorPath`, its standard error goes to that file.
SaverProcess StartSaver(const std::vector<std::string>& args,
                        const std::vector<std::string>& env = {},
                        const std::string& errorPath = "");
// Waits until it ends (true) or the time runs out (false).
bool WaitSaver(SaverProcess* saver, int timeoutMs);
// The exit code 0..255 of an ended run, or -1 if it ended by a signal.
int ExitCode(const SaverProcess& saver);
// Ends a run that is still going (the test's own child) and reaps it.
void KillSaver(SaverProcess* saver);

// Runs a tool (xdotool ...) to its end; returns its exit status.
int RunTool(const std::vector<std::string>& args);

// Waits until a child of parent with this WM_CLASS class exists; 0 if none in time.
Window WaitChildWithClass(Display* dpy, Window parent, const char* className, int timeoutMs);
Window FindChildWithClass(Display* dpy, Window parent, const char* className);

struct Rgb {
    int r, g, b;
};
// The pixel at (x, y) of a window, read back from the server.
bool ReadPixel(Display* dpy, Window window, int x, int y, Rgb* out);
// Waits until the pixel is the sky colour; false if it never became it.
bool WaitSkyPixel(Display* dpy, Window window, int x, int y, int timeoutMs);
bool IsSky(const Rgb& c);

// Whether the window shows the scene laid out on its whole area: the corners
// mostly in the sky colour, and the Moon's disc centred on the window (the
// longest run of other colours across the middle row and column).
bool SceneFillsWindow(Display* dpy, Window window);
bool WaitSceneFillsWindow(Display* dpy, Window window, int timeoutMs);

// A plain window of the test's own, white, mapped, waited for.
Window MakeTestWindow(Display* dpy, Window parent, int width, int height, long eventMask = 0);

void SleepMs(int ms);
long NowMs();
