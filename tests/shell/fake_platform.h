#pragma once

#include <string>
#include <vector>

#include "platform/window_services.h"

// A platform made of plain variables: windows are numbers, the cursor is
// where the test puts it, and every call that matters is written down.
struct FakePlatform {
    std::vector<std::string> calls;
    HWND nextWindow = 100;
    std::vector<HWND> existing;  // windows IsWindow knows (others' windows)
    HWND foreground = 0;
    HWND otherSaver = 0;  // what FindWindow("ScreenSaverClass", ...) finds
    HWND parentOf = 0;    // GetParent's answer
    HWND rootWindow = 7;  // the screen's root window
    int parentWidth = 200, parentHeight = 150;
    int screenWidth = 1280, screenHeight = 1024;
    int cursorX = 500, cursorY = 400;
    int cursorHidden = 0;
    WindowCreate lastCreate;
    bool failCreate = false;
    int colourDepth = 24;
    std::vector<PixelFormatDescription> formats;
    int systemChoice = 0;
    bool failSetFormat = false;
    bool failContext = false;
    int setFormat = 0;
    GlContext current = 0;
    int priority = 0;
    int priorityDuringInit = 99;
    int viewportWidth = -1, viewportHeight = -1;
    std::vector<MonitorRect> monitors;  // what getMonitors lists (none: the system does not say)
    int dpi = 0;                        // Xft.dpi
    int swaps = 0;
};

extern FakePlatform fake;
extern const WindowServices kFakeServices;

// Resets the fake, the message queue and the shell's process-wide state,
// and makes the fake the shell's platform.
void ResetFakePlatform();
// Dispatches everything queued now (not waiting for timers); returns the count.
int DispatchPending();
