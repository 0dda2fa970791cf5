#pragma once

#include <cstdint>

#include "platform/messages.h"
#include "platform/window_services.h"
#include "shell/saver_api.h"

// The shell's state: the record of one run and the process-wide records and
// flags of the message handling. Each has one owner, the module that defines
// and writes it; the others only read it.

enum RunMode {
    RUN_FULL_SCREEN = 0,
    RUN_PREVIEW = 1,
    RUN_TEST_WINDOW = 2,
    RUN_CONFIGURE = 3,
};

struct SaverWindow;
struct SaverPalette;

struct WindowTableEntry {
    HWND hwnd = 0;
    SaverWindow* record = nullptr;
};

constexpr int kWindowTableSize = 10;

// GL request bits.
constexpr uint32_t GL_REQUEST_DOUBLE_BUFFER = 0x01;
constexpr uint32_t GL_REQUEST_DEPTH_16 = 0x02;
constexpr uint32_t GL_REQUEST_DEPTH_32 = 0x04;
constexpr uint32_t GL_REQUEST_NO_SYSTEM_PALETTE = 0x20;

// The state of one run; shellState refers to it while the run lasts. Made
// by glscrnsv (mode, places, options, request flags); the window fields
// (mainWindow, glWindow, the table, passive) are sswindow's, which makes and
// releases the window records; the palette is palette's and sswindow's,
// active the window procedures' (sswproc).
struct ShellState {
    SaverWindow* mainWindow = nullptr;
    SaverWindow* glWindow = nullptr;
    // The saver window has the foreground (WM_ACTIVATE); the palette
    // realises in the background otherwise.
    int active = 0;
    RunMode mode = RUN_CONFIGURE;
    SaverPalette* palette = nullptr;
    const SaverContext* options = nullptr;
    uint32_t glRequestFlags = 0;
    WindowTableEntry windowTable[kWindowTableSize];
    int windowCount = 0;
    HWND previewParent = 0;
    // A full-screen run told where to draw (-root, -window-id): that window,
    // adopted and passive; 0 lets the run choose (the daemon's window or its own).
    HWND hostWindow = 0;
    // Input is the host's business: the preview, the test window and a
    // window the saver was told to draw in neither hide the cursor nor end
    // the saver on input.
    bool passive = false;
};

// glscrnsv's: the run's state and the window services it runs with.
extern ShellState* shellState;
extern const WindowServices* shellServices;

// sswproc's: the flags of the message handling.
extern int bWin9x;         // the system has a screen-saver password service (never on Linux)
extern int bFirstPaint;    // the first WM_PAINT posted the GL start and the frame timer
extern int bTimerRunning;  // the frame timer is set
extern int bMinimized;     // the window is minimised: no frames

// sswproc's: the state of the message handling.
struct ProcState {
    int refX = 0, refY = 0;  // reference point of the cursor
    int closeApproved = 0;
    int checkInProgress = 0;
    uint32_t lastDialogEnd = 0xFFFFFFFFu;  // never
    int passwordLibrary = 0;
    int verifyFunction = 0;
};

extern ProcState procState;
