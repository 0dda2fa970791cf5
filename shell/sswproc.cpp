#include "shell/sswproc.h"

#include <cstdlib>

#include "platform/process.h"
#include "platform/timers.h"
#include "shell/glscrnsv.h"
#include "shell/palette.h"
#include "shell/sswindow.h"

ProcState procState;
int bWin9x = 0;
int bFirstPaint = 0;
int bTimerRunning = 0;
int bMinimized = 0;

namespace {

int NoUsePassword(uint32_t*) {
    return 0;
}
int NoLibrary() {
    return 0;
}
void NoFree() {}
int NoVerify(HWND) {
    return 1;
}
void NoRunning(int) {}
int NoChange(HWND) {
    return 0;
}

// On Linux there is no screen-saver password service.
const PasswordServices kNoPasswordServices = {
    NoUsePassword, NoLibrary, NoLibrary, NoFree, NoVerify, NoRunning, NoChange,
};

void ReadCursor(int* x, int* y) {
    *x = 0;
    *y = 0;
    shellServices->getCursorPos(x, y);
}

bool Passive() {
    return shellState != nullptr && shellState->passive;
}

SaverWindow* RecordOf(HWND hwnd) {
    return shellState != nullptr ? WindowTableFind(shellState, hwnd) : nullptr;
}

// Starts GL on the window if needed, then calls the initialisation hook at
// a raised priority and covers the window with the viewport.
void StartGlAndInit(HWND hwnd) {
    SaverWindow* record = RecordOf(hwnd);
    if (record == nullptr) {
        return;
    }
    if (record->glContext == 0 && !SaverStartGl(record)) {
        // The pixel format was tried five times a second apart; a saver that
        // cannot draw says so instead of showing a black window.
        SaverNoteFailure(
            "no OpenGL context for the window (no usable GLX pixel format or context)");
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return;
    }
    if (record->glContext != 0 && record->initHook != nullptr) {
        int priority = shellServices->getPriority();
        shellServices->setPriority(kPriorityHigh);
        record->hookArgument = hwnd;
        record->initHook(hwnd);
        shellServices->setPriority(priority);
    }
    SaverSetViewport(record);
}

// The palette's handler answers the palette messages; without a palette
// (every display of more than 256 colours) they are answered with 0.
LRESULT PaletteMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverPalette* pal = shellState != nullptr ? shellState->palette : nullptr;
    if (pal == nullptr || pal->messageHandler == nullptr) {
        return 0;
    }
    return pal->messageHandler(hwnd, message, wParam, lParam);
}

}  // namespace

const PasswordServices* passwordServices = &kNoPasswordServices;

LRESULT TestWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
                return SaverWndProc(hwnd, message, wParam, lParam);
            }
            return 0;
        default:
            return SaverWndProc(hwnd, message, wParam, lParam);
    }
}

LRESULT SaverWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // No input method is attached to the saver's windows on X11, so
            // there is nothing to detach here or give back at WM_DESTROY.
            ReadCursor(&procState.refX, &procState.refY);
            if (!Passive()) {
                shellServices->hideCursor();
            }
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_DESTROY:
            PostQuitMessage(0);
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (procState.closeApproved) {
                return DefWindowProcA(hwnd, message, wParam, lParam);
            }
            if (!Passive()) {
                shellServices->hideCursor();
            }
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (!Passive()) {
                GlWndProc(hwnd, message, wParam, lParam);
            } else {
                HWND parent = shellServices->getParent(hwnd);
                if (parent != 0 && shellServices->isWindow(parent)) {
                    PostMessageA(parent, message, parent, lParam);
                }
            }
            return 1;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (procState.closeApproved) {
                return DefWindowProcA(hwnd, message, wParam, lParam);
            }
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_SYSCOMMAND:
            if (!Passive() &&
                (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE)) {
                return 0;
            }
            return GlWndProc(hwnd, message, wParam, lParam);
        case WM_TIMER:
            if (procState.closeApproved) {
                return 0;
            }
            Sleep(0);
            return GlWndProc(hwnd, message, wParam, lParam);
        default:
            return GlWndProc(hwnd, message, wParam, lParam);
    }
}

LRESULT GlWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
        case WM_ERASEBKGND:
        case WM_SS_START_GL:
            return BaseWndProc(hwnd, message, wParam, lParam);
        case WM_DESTROY: {
            if (bTimerRunning) {
                KillTimer(hwnd, kFrameTimerId);
                bTimerRunning = 0;
            }
            if (shellState != nullptr) {
                if (shellState->palette != nullptr) {
                    SaverWindow* gl = shellState->glWindow;
                    SaverPaletteTearDown(gl != nullptr ? gl->dc : 0);
                }
                SaverWindow* record = RecordOf(hwnd);
                if (record != nullptr) {
                    SaverReleaseWindow(record);
                }
            }
            PostQuitMessage(0);
            return 0;
        }
        case WM_SIZE:
            bMinimized = wParam == SIZE_MINIMIZED;
            return BaseWndProc(hwnd, message, wParam, lParam);
        case WM_ACTIVATE:
            if (shellState != nullptr) {
                shellState->active = LOWORD(wParam) != 0;
            }
            return shellState != nullptr && shellState->palette != nullptr
                       ? PaletteMessage(hwnd, message, wParam, lParam)
                       : 0;
        case WM_SYSCOLORCHANGE:
        case WM_QUERYNEWPALETTE:
        case WM_PALETTECHANGED:
        case WM_SS_REALIZE:
            return shellState != nullptr && shellState->palette != nullptr
                       ? PaletteMessage(hwnd, message, wParam, lParam)
                       : 0;
        case WM_PAINT:
            if (!bFirstPaint) {
                bFirstPaint = 1;
                PostMessageA(hwnd, WM_SS_START_GL, 0, 0);
                PostMessageA(hwnd, WM_SS_START_TIMER, 0, 0);
            }
            return SaverDefaultProc(hwnd, message, wParam, lParam);
        case WM_TIMER:
            SaverFrameTick();
            return 0;
        case WM_SS_START_TIMER:
            if (shellState != nullptr && shellState->mode == RUN_PREVIEW) {
                Sleep(0);
            }
            bTimerRunning = 1;
            SetTimer(hwnd, kFrameTimerId, saverFramePeriodMs, nullptr);
            return BaseWndProc(hwnd, message, wParam, lParam);
        default:
            return SaverDefaultProc(hwnd, message, wParam, lParam);
    }
}

LRESULT BaseWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
            auto* record = static_cast<SaverWindow*>(create->lpCreateParams);
            if (shellState != nullptr && record != nullptr) {
                WindowTableAdd(shellState, hwnd, record);
                record->hwnd = hwnd;
                record->width = create->cx;
                record->height = create->cy;
            }
            return 0;
        }
        case WM_SIZE: {
            SaverWindow* record = RecordOf(hwnd);
            if (record != nullptr) {
                SaverResize(record, LOWORD(static_cast<uintptr_t>(lParam)),
                            HIWORD(static_cast<uintptr_t>(lParam)));
            }
            return 0;
        }
        case WM_SS_START_GL:
            StartGlAndInit(hwnd);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

LRESULT SaverDefaultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Passive() || procState.closeApproved) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_CLOSE) {
        if (bWin9x && !SaverPasswordCheck(hwnd)) {
            ReadCursor(&procState.refX, &procState.refY);
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_SS_VERIFY_PASSWORD) {
        if (bWin9x) {
            return procState.verifyFunction ? passwordServices->verifyPassword(hwnd) : 1;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (procState.checkInProgress) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam != 0) {
                shellServices->hideCursor();
            }
            break;
        case WM_ACTIVATEAPP:
            if (wParam == 0) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case WM_SETCURSOR:
            shellServices->hideCursor();
            return 1;
        case WM_MOUSEMOVE: {
            int x = 0, y = 0;
            ReadCursor(&x, &y);
            // Distances add up from the reference point, so slow movement counts.
            if (std::abs(x - procState.refX) + std::abs(y - procState.refY) > kMoveThreshold) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
                procState.refX = x;
                procState.refY = y;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int SaverPasswordCheck(HWND hwnd) {
    if (procState.checkInProgress || procState.closeApproved) {
        return 0;
    }
    if (!procState.verifyFunction) {
        procState.closeApproved = 1;
        return 1;
    }
    uint32_t now = GetTickCount();
    if (procState.lastDialogEnd != 0xFFFFFFFFu &&
        now - procState.lastDialogEnd < kPasswordRefusalMs) {
        return 0;
    }
    procState.checkInProgress = 1;
    MSG pending;
    for (int i = 0; i < 2; ++i) {
        PeekMessageA(&pending, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    }
    procState.closeApproved = SendMessageA(hwnd, WM_SS_VERIFY_PASSWORD, 0, 0) != 0;
    procState.checkInProgress = 0;
    if (!procState.closeApproved) {
        shellServices->hideCursor();
    }
    procState.lastDialogEnd = GetTickCount();
    return procState.closeApproved;
}

void SaverLoadPasswordSupport() {
    if (procState.passwordLibrary) {
        SaverReleasePasswordSupport();
    }
    uint32_t usePassword = 0;
    if (!passwordServices->readUsePassword(&usePassword) || usePassword == 0) {
        return;
    }
    if (!passwordServices->loadPasswordLibrary()) {
        return;
    }
    procState.passwordLibrary = 1;
    if (passwordServices->findVerifyFunction()) {
        procState.verifyFunction = 1;
        passwordServices->setScreenSaverRunning(1);
    } else {
        passwordServices->freePasswordLibrary();
        procState.passwordLibrary = 0;
    }
}

void SaverReleasePasswordSupport() {
    if (!procState.passwordLibrary) {
        return;
    }
    passwordServices->freePasswordLibrary();
    procState.passwordLibrary = 0;
    if (procState.verifyFunction) {
        procState.verifyFunction = 0;
        passwordServices->setScreenSaverRunning(0);
    }
}

int SaverChangePassword(HWND owner) {
    passwordServices->changePassword(owner);
    return 0;
}

void SaverProcReset() {
    procState = ProcState{};
    bWin9x = 0;
    bFirstPaint = 0;
    bTimerRunning = 0;
    bMinimized = 0;
}
