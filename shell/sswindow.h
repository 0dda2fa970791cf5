#pragma once

#include <cstdint>

#include "platform/window_services.h"
#include "shell/glscrnsv.h"

// The saver's window record, the window table, the pixel-format choice and
// the GL context of the window.

struct SaverWindow {
    HWND hwnd = 0;
    bool ownsWindow = false;
    DeviceContext dc = 0;
    GlContext glContext = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool doubleBuffered = false;
    SaverInitHook initHook = nullptr;
    SaverFrameHook frameHook = nullptr;
    uint32_t hookArgument = 0;
    const uint32_t* glConfig = nullptr;  // the shell state's request flags; GL window only
    // A full-screen window of the shell's own shows one picture per monitor.
    bool perMonitor = false;
    SaverViewport viewports[kSaverMaxViewports];
    int viewportCount = 0;  // 0: one picture over the whole window
};

extern const char kSaverClassName[];  // "WindowsScreenSaverClass"

void WindowTableAdd(ShellState* state, HWND hwnd, SaverWindow* record);
SaverWindow* WindowTableFind(const ShellState* state, HWND hwnd);
void WindowTableRemove(ShellState* state, HWND hwnd);

// The window named by XSCREENSAVER_WINDOW (hex 0x... or decimal), or 0.
uint32_t SaverDaemonWindow(const char* value);

// Creates the main window for the state's run mode. Returns 0 on failure or
// when the single-instance check found another saver (then *otherInstance is set).
int SaverCreateMainWindow(ShellState* state, bool* otherInstance);

// The pixel-format choice for a device context and request flags; 0 when none.
int SaverChoosePixelFormat(DeviceContext dc, uint32_t flags);
// Five attempts, waiting a second after each failure; fills *chosen on success.
int SaverSetPixelFormat(DeviceContext dc, uint32_t flags, PixelFormatDescription* chosen);
// The wait between attempts (tests replace it).
extern void (*saverPixelFormatWait)(uint32_t ms);

// Start GL on a record with a GL configuration: format, context, hooks.
int SaverStartGl(SaverWindow* record);
// Sets the GL viewport to the whole window and, for a window with one picture
// per monitor, lays the monitors out again.
void SaverSetViewport(SaverWindow* record);
void SaverResize(SaverWindow* record, int width, int height);
void SaverPresent(SaverWindow* record);
// The one place a window record is freed: removes it from the table and
// from the shell state's window fields, releases its GL and device
// contexts, frees it.
void SaverReleaseWindow(SaverWindow* record);
