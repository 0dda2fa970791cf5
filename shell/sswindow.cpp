#include "shell/sswindow.h"

#include <cstdlib>

#include "platform/timers.h"
#include "shell/monitor_layout.h"
#include "shell/palette.h"
#include "shell/sswproc.h"

const char kSaverClassName[] = "WindowsScreenSaverClass";

void (*saverPixelFormatWait)(uint32_t ms) = Sleep;

namespace {
constexpr int kPixelFormatAttempts = 5;
constexpr uint32_t kPixelFormatRetryMs = 1000;
}  // namespace

void WindowTableAdd(ShellState* state, HWND hwnd, SaverWindow* record) {
    if (WindowTableFind(state, hwnd) != nullptr) {
        return;
    }
    // The shell only ever enters its main window; a full table takes no more.
    if (state->windowCount >= kWindowTableSize) {
        return;
    }
    state->windowTable[state->windowCount++] = WindowTableEntry{hwnd, record};
}

SaverWindow* WindowTableFind(const ShellState* state, HWND hwnd) {
    for (int i = 0; i < state->windowCount; ++i) {
        if (state->windowTable[i].hwnd == hwnd) {
            return state->windowTable[i].record;
        }
    }
    return nullptr;
}

void WindowTableRemove(ShellState* state, HWND hwnd) {
    for (int i = 0; i < state->windowCount; ++i) {
        if (state->windowTable[i].hwnd == hwnd) {
            for (int j = i + 1; j < state->windowCount; ++j) {
                state->windowTable[j - 1] = state->windowTable[j];
            }
            --state->windowCount;
            state->windowTable[state->windowCount] = WindowTableEntry{};
            return;
        }
    }
}

uint32_t SaverDaemonWindow(const char* value) {
    if (value == nullptr) {
        return 0;
    }
    while (*value == ' ' || *value == '\t') {
        ++value;
    }
    if (*value == '\0' || *value == '-' || *value == '+') {
        return 0;
    }
    char* end = nullptr;
    unsigned long long id = std::strtoull(value, &end, 0);  // 0x... hex, otherwise decimal
    while (end != nullptr && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (end == value || end == nullptr || *end != '\0' || id == 0 || id > 0xFFFFFFFFull) {
        return 0;
    }
    return static_cast<uint32_t>(id);
}

int SaverCreateMainWindow(ShellState* state, bool* otherInstance) {
    const WindowServices* ws = shellServices;
    *otherInstance = false;
    WindowCreate create;
    create.className = kSaverClassName;
    create.proc = state->mode == RUN_TEST_WINDOW ? TestWndProc : SaverWndProc;
    create.arrowCursor = state->mode == RUN_TEST_WINDOW;

    switch (state->mode) {
        case RUN_FULL_SCREEN: {
            if (state->hostWindow != 0) {
                // Told where to draw (-root, -window-id): that window, as the
                // daemon's, and input is its owner's.
                int width = 0, height = 0;
                if (!ws->getClientSize(state->hostWindow, &width, &height)) {
                    return 0;
                }
                state->passive = true;
                create.kind = kWindowAdopted;
                create.parent = state->hostWindow;
                create.width = width;
                create.height = height;
                break;
            }
            HWND other = ws->findWindow("ScreenSaverClass", "Screen Saver");
            if (other != 0 && ws->isWindow(other)) {
                ws->setForegroundWindow(other);
                *otherInstance = true;
                return 0;
            }
            if (bWin9x) {
                SaverLoadPasswordSupport();
            }
            // Under a screen-saver daemon the saver draws into the daemon's window.
            HWND daemon = SaverDaemonWindow(std::getenv("XSCREENSAVER_WINDOW"));
            int width = 0, height = 0;
            if (daemon != 0 && ws->isWindow(daemon) && ws->getClientSize(daemon, &width, &height)) {
                create.kind = kWindowAdopted;
                create.parent = daemon;
                create.width = width;
                create.height = height;
            } else {
                create.kind = kWindowFullScreen;
                create.width = ws->screenWidth();
                create.height = ws->screenHeight();
            }
            break;
        }
        case RUN_PREVIEW: {
            state->passive = true;
            int width = 0, height = 0;
            if (!ws->getClientSize(state->previewParent, &width, &height)) {
                return 0;
            }
            create.kind = kWindowChild;
            create.parent = state->previewParent;
            create.width = width;
            create.height = height;
            break;
        }
        case RUN_TEST_WINDOW:
            state->passive = true;
            create.kind = kWindowTopLevel;
            create.width = ws->screenWidth() >> 1;
            create.height = ws->screenHeight() >> 1;
            break;
        case RUN_CONFIGURE:
            return 0;
    }

    auto* record = new SaverWindow;
    record->ownsWindow = create.kind != kWindowAdopted;
    // A daemon makes one window per monitor itself; the shell's own
    // full-screen window spans them all.
    record->perMonitor = create.kind == kWindowFullScreen;
    record->width = create.width;
    record->height = create.height;
    create.createParam = record;
    HWND hwnd = ws->createWindow(&create);
    if (hwnd == 0) {
        SaverReleaseWindow(record);
        return 0;
    }
    ws->showWindow(hwnd);
    if (state->mode != RUN_PREVIEW) {
        ws->setForegroundWindow(hwnd);
    }
    record->dc = ws->getDC(hwnd);
    state->mainWindow = record;
    return 1;
}

int SaverChoosePixelFormat(DeviceContext dc, uint32_t flags) {
    const WindowServices* ws = shellServices;
    int deviceDepth = ws->deviceColourDepth(dc);
    int requiredDepth = 0;
    if (flags & GL_REQUEST_DEPTH_16) {
        requiredDepth = 16;
    } else if (flags & GL_REQUEST_DEPTH_32) {
        requiredDepth = 32;
    }
    bool wantDouble = (flags & GL_REQUEST_DOUBLE_BUFFER) != 0;
    bool noSystemPalette = (flags & GL_REQUEST_NO_SYSTEM_PALETTE) != 0;

    PixelFormatDescription d;
    int count = ws->describePixelFormat(dc, 1, &d);
    if (count <= 0) {
        return 0;
    }
    int fallback = 0;
    for (int i = 1; i <= count; ++i) {
        if (ws->describePixelFormat(dc, i, &d) == 0) {
            return 0;
        }
        bool acceptable = (d.dwFlags & PFD_SUPPORT_OPENGL) && (d.dwFlags & PFD_DRAW_TO_WINDOW) &&
                          ((d.dwFlags & PFD_DOUBLEBUFFER) != 0) == wantDouble &&
                          d.iPixelType == PFD_TYPE_RGBA && d.cColorBits == deviceDepth &&
                          !(noSystemPalette && (d.dwFlags & PFD_NEED_SYSTEM_PALETTE));
        if (!acceptable) {
            continue;
        }
        if (requiredDepth > 0) {
            if (d.cDepthBits >= requiredDepth) {
                return i;
            }
        } else if (d.cDepthBits == 0) {
            return i;
        } else {
            fallback = i;
        }
    }
    if (fallback != 0) {
        return fallback;
    }
    PixelFormatDescription request;
    request.dwFlags = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW;
    if (wantDouble) {
        request.dwFlags |= PFD_DOUBLEBUFFER;
    }
    if (noSystemPalette) {
        request.dwFlags |= PFD_DRAW_TO_BITMAP;
    }
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = deviceDepth;
    request.cDepthBits = requiredDepth;
    return ws->choosePixelFormat(dc, &request);
}

int SaverSetPixelFormat(DeviceContext dc, uint32_t flags, PixelFormatDescription* chosen) {
    for (int attempt = 0; attempt < kPixelFormatAttempts; ++attempt) {
        int format = SaverChoosePixelFormat(dc, flags);
        if (format != 0 && shellServices->setPixelFormat(dc, format)) {
            shellServices->describePixelFormat(dc, format, chosen);
            return 1;
        }
        saverPixelFormatWait(kPixelFormatRetryMs);
    }
    return 0;
}

int SaverStartGl(SaverWindow* record) {
    const WindowServices* ws = shellServices;
    if (record->glConfig == nullptr) {
        return 0;
    }
    if (record->dc == 0) {
        record->dc = ws->getDC(record->hwnd);
        if (record->dc == 0) {
            return 0;
        }
    }
    uint32_t flags = *record->glConfig;
    if (shellState != nullptr && shellState->mode == RUN_PREVIEW) {
        flags |= GL_REQUEST_NO_SYSTEM_PALETTE;
    }
    record->doubleBuffered = (flags & GL_REQUEST_DOUBLE_BUFFER) != 0;
    PixelFormatDescription chosen;
    if (!SaverSetPixelFormat(record->dc, flags, &chosen)) {
        return 0;
    }
    // Displays of 256 colours or fewer need a logical palette, realised in
    // the foreground before the context is made.
    if (chosen.dwFlags & PFD_NEED_PALETTE) {
        if (shellState != nullptr && shellState->palette == nullptr) {
            bool fullScreen = shellState->mode == RUN_FULL_SCREEN;
            SaverPalette* pal = SaverPaletteCreate(record->dc, chosen, fullScreen);
            if (pal == nullptr) {
                return 0;
            }
            pal->messageHandler =
                fullScreen ? SaverPaletteFullScreenMessage : SaverPaletteWindowedMessage;
            shellState->palette = pal;
        }
        if (shellState != nullptr && shellState->palette != nullptr) {
            SaverPaletteRealize(shellState->palette, record->hwnd, record->dc, false);
        }
    }
    GlContext context = ws->createContext(record->dc);
    if (context == 0) {
        return 0;
    }
    if (!ws->makeCurrent(record->dc, context)) {
        ws->deleteContext(context);
        return 0;
    }
    record->initHook = SaverCurrentInitHook();
    record->frameHook = SaverCurrentFrameHook();
    record->glContext = context;
    return 1;
}

void SaverSetViewport(SaverWindow* record) {
    if (record->glContext != 0) {
        shellServices->setViewport(record->width, record->height);
    }
    record->viewportCount = 0;
    if (record->perMonitor && shellServices->getMonitors != nullptr) {
        MonitorRect monitors[kSaverMaxViewports];
        const int count = shellServices->getMonitors(monitors, kSaverMaxViewports);
        // The full-screen window stands at the screen's top left corner.
        record->viewportCount = SaverLayOutViewports(0, 0, record->width, record->height, monitors,
                                                     count, record->viewports, kSaverMaxViewports);
    }
}

void SaverResize(SaverWindow* record, int width, int height) {
    record->width = width;
    record->height = height;
    SaverSetViewport(record);
}

void SaverPresent(SaverWindow* record) {
    if (record->doubleBuffered) {
        shellServices->swapBuffers(record->dc);
    }
}

void SaverReleaseWindow(SaverWindow* record) {
    if (shellState != nullptr) {
        WindowTableRemove(shellState, record->hwnd);
        if (shellState->glWindow == record) {
            shellState->glWindow = nullptr;
        }
        if (shellState->mainWindow == record) {
            shellState->mainWindow = nullptr;
        }
    }
    if (record->glContext != 0) {
        shellServices->makeCurrent(0, 0);
        shellServices->deleteContext(record->glContext);
    }
    if (record->dc != 0) {
        shellServices->releaseDC(record->hwnd, record->dc);
    }
    delete record;
}
