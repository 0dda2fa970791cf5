#pragma once

#include <cstdint>

#include "platform/messages.h"

// The window, cursor, screen and GL services the saver shell uses, as slots.
// The X11 layer fills them for the real program; tests fill them with fakes.

enum WindowKind {
    kWindowFullScreen,  // covers the screen above all others and takes the input
    kWindowChild,       // a child filling (part of) a parent window
    kWindowTopLevel,    // an ordinary managed window
    kWindowAdopted,     // a window of another program that the saver draws into
};

struct WindowCreate {
    WindowKind kind = kWindowTopLevel;
    HWND parent = 0;  // the parent for a child, the window itself when adopted
    int x = 0, y = 0, width = 0, height = 0;
    const char* className = "";
    bool arrowCursor = false;  // the class cursor: the arrow, or none
    WNDPROC proc = nullptr;
    void* createParam = nullptr;  // handed to WM_CREATE as lpCreateParams
};

// A pixel format, described in the terms the shell's choice rules use.
struct PixelFormatDescription {
    uint32_t dwFlags = 0;
    int iPixelType = 0;
    int cColorBits = 0;  // red + green + blue, alpha excluded
    int cDepthBits = 0;
    // The colour layout: how many bits of a pixel each component takes and
    // where they start. A palette is built from it on colour-mapped displays.
    int cRedBits = 0, cRedShift = 0;
    int cGreenBits = 0, cGreenShift = 0;
    int cBlueBits = 0, cBlueShift = 0;
};

constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_DRAW_TO_BITMAP = 0x08;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint32_t PFD_NEED_PALETTE = 0x80;
constexpr uint32_t PFD_NEED_SYSTEM_PALETTE = 0x100;
constexpr int PFD_TYPE_RGBA = 0;
constexpr int PFD_TYPE_COLORINDEX = 1;

// One monitor's rectangle on the screen, in pixels from the screen's top left.
struct MonitorRect {
    int x = 0, y = 0, width = 0, height = 0;
};

using DeviceContext = uintptr_t;  // 0 is none
using GlContext = uintptr_t;      // 0 is none

struct WindowServices {
    // Creates the window, registers its procedure and sends WM_CREATE with a
    // CREATESTRUCTA before returning. Returns 0 on failure.
    HWND (*createWindow)(const WindowCreate* create);
    // Maps the window and sends WM_SHOWWINDOW.
    void (*showWindow)(HWND hwnd);
    void (*setForegroundWindow)(HWND hwnd);
    HWND (*getForegroundWindow)();
    int (*isWindow)(HWND hwnd);
    // A top-level window with this class and title, or 0.
    HWND (*findWindow)(const char* className, const char* title);
    HWND (*getParent)(HWND hwnd);
    int (*getClientSize)(HWND hwnd, int* width, int* height);
    int (*screenWidth)();
    int (*screenHeight)();
    // The pointer's position on the screen.
    void (*getCursorPos)(int* x, int* y);
    // Hides the pointer over the saver's own windows.
    void (*hideCursor)();

    DeviceContext (*getDC)(HWND hwnd);
    void (*releaseDC)(HWND hwnd, DeviceContext dc);
    int (*deviceColourDepth)(DeviceContext dc);
    // Describes format index (from 1) and returns the number of formats; 0 on failure.
    int (*describePixelFormat)(DeviceContext dc, int index, PixelFormatDescription* out);
    // The system's own choice for a request, or 0.
    int (*choosePixelFormat)(DeviceContext dc, const PixelFormatDescription* request);
    int (*setPixelFormat)(DeviceContext dc, int index);
    GlContext (*createContext)(DeviceContext dc);
    // Makes the context current on the device context; (0, 0) makes none current.
    int (*makeCurrent)(DeviceContext dc, GlContext context);
    void (*deleteContext)(GlContext context);
    void (*swapBuffers)(DeviceContext dc);
    void (*setViewport)(int width, int height);

    int (*getPriority)();
    void (*setPriority)(int nice);

    // The screen's root window (-root draws into it).
    HWND (*rootWindow)();
    // The monitors of the screen (at most `capacity`, in the order the
    // system lists them); 0 when the system does not say.
    int (*getMonitors)(MonitorRect* out, int capacity);
    // The desktop's font resolution (Xft.dpi), or 0 when it sets none.
    int (*screenDpi)();
};
