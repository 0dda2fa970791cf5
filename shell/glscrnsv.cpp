#include "shell/glscrnsv.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/timers.h"
#include "shell/sswindow.h"
#include "shell/sswproc.h"

ShellState* shellState = nullptr;
const WindowServices* shellServices = nullptr;

UINT saverFramePeriodMs = kFramePeriodMs;
SaverFrameHook saverAfterFrameHook = nullptr;

namespace {

int bInFrame = 0;  // a frame is being drawn: a tick arriving meanwhile is dropped
SaverInitHook initHookSlot = nullptr;
SaverFrameHook frameHookSlot = nullptr;
const char* runFailure = nullptr;  // why the window mode cannot go on

int NoDialog(HWND) {
    std::fputs("Nocturo.scr: the settings dialog is not available yet; nothing to configure.\n",
               stderr);
    return 0;
}

int (*dialogRunner)(HWND) = NoDialog;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest run of decimal digits, in 32-bit arithmetic with wrap-around.
uint32_t ReadNumber(const char*& p) {
    uint32_t n = 0;
    while (IsDigit(*p)) {
        n = n * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    return n;
}

void SkipBlanks(const char*& p) {
    while (*p == ' ') {
        ++p;
    }
}

void CommonSetup(ShellState* state) {
    state->mainWindow = nullptr;
    state->glWindow = nullptr;
    state->palette = nullptr;
    state->options = nullptr;
    shellState = state;
    SaverSeedRandom();
}

int RunWindowMode(RunMode mode, HWND previewParent, HWND hostWindow = 0) {
    runFailure = nullptr;
    ShellState state;
    state.windowCount = 0;
    state.previewParent = mode == RUN_PREVIEW ? previewParent : 0;
    state.hostWindow = mode == RUN_FULL_SCREEN ? hostWindow : 0;
    state.mode = mode;
    CommonSetup(&state);

    const SaverContext* pssc = SaverConfigure();
    if (pssc == nullptr) {
        SaverAssertFailed("pssc", "glscrnsv");
    }
    state.options = pssc;
    state.glRequestFlags = 0;
    if (pssc->iDepthType == 1) {
        state.glRequestFlags |= GL_REQUEST_DEPTH_16;
    } else if (pssc->iDepthType == 2) {
        state.glRequestFlags |= GL_REQUEST_DEPTH_32;
    }
    if (pssc->bDoubleBuffer != 0) {
        state.glRequestFlags |= GL_REQUEST_DOUBLE_BUFFER;
    }

    MSG msg;
    int exitCode = 0;
    bool otherInstance = false;
    if (SaverCreateMainWindow(&state, &otherInstance)) {
        state.glWindow = state.mainWindow;
        state.glWindow->glConfig = &state.glRequestFlags;
        int got;
        while ((got = GetMessageA(&msg)) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        // A loop that could never get another message ends as a failure.
        exitCode = got == 0 ? static_cast<int>(msg.wParam) : 1;
        if (got < 0) {
            SaverNoteFailure("no more events can arrive (no window, timer or display left)");
        }
    } else if (!otherInstance) {
        // No window could be made: a failure, not the quiet end of the
        // single-instance check.
        SaverNoteFailure(mode == RUN_PREVIEW ? "cannot make the preview's window"
                                             : "cannot make the saver's window");
        exitCode = 1;
    }

    if (runFailure != nullptr) {
        std::fprintf(stderr, "Nocturo.scr: %s\n", runFailure);
        exitCode = 1;
    }
    SaverReleasePasswordSupport();
    // A window of the shell's own releases its record at WM_DESTROY; an
    // adopted one is not destroyed, and its record is released here.
    if (state.mainWindow != nullptr && state.mainWindow->ownsWindow) {
        DestroyWindow(state.mainWindow->hwnd);
    }
    if (state.mainWindow != nullptr) {
        SaverReleaseWindow(state.mainWindow);
    }
    shellState = nullptr;
    return exitCode;
}

int RunConfigure(HWND owner) {
    // Preparing the dialog has nothing to do in this system and always goes on.
    ShellState state;
    state.mode = RUN_CONFIGURE;
    CommonSetup(&state);
    int result = dialogRunner(owner);
    shellState = nullptr;
    return result;
}

}  // namespace

void SaverSetInitHook(SaverInitHook hook) {
    initHookSlot = hook;
}

void SaverSetFrameHook(SaverFrameHook hook) {
    frameHookSlot = hook;
    if (shellState != nullptr && shellState->glWindow != nullptr) {
        shellState->glWindow->frameHook = hook;
    }
}

uint32_t SaverGetGlWindow() {
    if (shellState == nullptr || shellState->glWindow == nullptr) {
        return 0;
    }
    return shellState->glWindow->hwnd;
}

int SaverIsPreview() {
    return shellState != nullptr && shellState->mode == RUN_PREVIEW ? 1 : 0;
}

int SaverGetViewports(SaverViewport* out, int capacity) {
    if (shellState == nullptr || shellState->glWindow == nullptr || out == nullptr) {
        return 0;
    }
    const SaverWindow* record = shellState->glWindow;
    const int count = std::min(record->viewportCount, capacity);
    std::copy(record->viewports, record->viewports + std::max(count, 0), out);
    return std::max(count, 0);
}

int SaverGetScreenDpi() {
    return shellServices != nullptr && shellServices->screenDpi != nullptr
               ? shellServices->screenDpi()
               : 0;
}

SaverInitHook SaverCurrentInitHook() {
    return initHookSlot;
}
SaverFrameHook SaverCurrentFrameHook() {
    return frameHookSlot;
}

const char* SaverArgumentText(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (static_cast<unsigned char>(*p) > 0x20) {
            ++p;
        }
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= 0x20) {
        ++p;
    }
    return p;
}

SaverCommand SaverParseCommand(const char* text) {
    SaverCommand command;
    const char* p = text;
    for (;;) {
        char c = *p;
        switch (c) {
            case '\0':
                command.action = ACTION_CONFIGURE;
                return command;
            case ' ':
            case '-':
            case '/':
                ++p;
                continue;
            case 's':
            case 'S':
                command.action = ACTION_FULL_SCREEN;
                return command;
            case 'p':
            case 'P':
            case 'l':
            case 'L':
                ++p;
                SkipBlanks(p);
                command.action = ACTION_PREVIEW;
                command.window = ReadNumber(p);
                return command;
            case 'c':
            case 'C':
                command.action = ACTION_CONFIGURE;
                command.ownerIsForeground = true;
                return command;
            case 'a':
            case 'A':
                ++p;
                SkipBlanks(p);
                command.action = ACTION_CHANGE_PASSWORD;
                command.window = ReadNumber(p);
                return command;
            case 'w':
            case 'W':
                command.action = ACTION_TEST_WINDOW;
                return command;
            default:
                command.action = ACTION_INVALID;
                return command;
        }
    }
}

int SaverRunCommand(const SaverCommand& command) {
    switch (command.action) {
        case ACTION_CONFIGURE: {
            HWND owner = 0;
            if (command.ownerIsForeground && shellServices != nullptr) {
                owner = shellServices->getForegroundWindow();
            }
            return RunConfigure(owner);
        }
        case ACTION_FULL_SCREEN: {
            HWND host = 0;
            if (!SaverResolveHost(command, &host)) {
                return -1;
            }
            saverFramePeriodMs = command.framePeriodMs;
            return RunWindowMode(RUN_FULL_SCREEN, 0, host);
        }
        case ACTION_PREVIEW:
            if (command.window == 0 || !shellServices->isWindow(command.window)) {
                return -1;
            }
            return RunWindowMode(RUN_PREVIEW, command.window);
        case ACTION_TEST_WINDOW:
            return RunWindowMode(RUN_TEST_WINDOW, 0);
        case ACTION_CHANGE_PASSWORD: {
            if (!bWin9x) {
                return -1;
            }
            HWND owner = command.window;
            if (owner == 0 || !shellServices->isWindow(owner)) {
                owner = shellServices->getForegroundWindow();
            }
            return SaverChangePassword(owner);
        }
        case ACTION_HELP:
        case ACTION_VERSION:
            return 0;  // the program prints the texts
        case ACTION_INVALID:
            break;
    }
    return -1;
}

bool SaverResolveHost(const SaverCommand& command, HWND* host) {
    *host = 0;
    if (command.host == HOST_WINDOW) {
        if (command.window == 0 || !shellServices->isWindow(command.window)) {
            return false;
        }
        *host = command.window;
    } else if (command.host == HOST_ROOT) {
        // The daemon's or the locker's window when it names one that exists;
        // a hack run by hand draws in the root window. Either way the saver is
        // passive, as hacks are: ending it is its host's business.
        HWND daemon = SaverDaemonWindow(std::getenv("XSCREENSAVER_WINDOW"));
        *host =
            daemon != 0 && shellServices->isWindow(daemon) ? daemon : shellServices->rootWindow();
    }
    return true;
}

void SaverSetDialogRunner(int (*runner)(HWND owner)) {
    dialogRunner = runner ? runner : NoDialog;
}

void SaverSeedRandom() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    srand(static_cast<unsigned>(now.tv_nsec / 1000000L));
    for (int i = 0; i < 10; ++i) {
        (void)rand();
    }
}

void SaverFrameTick() {
    // The yield before the frame happened on the way in (SaverWndProc).
    if (bMinimized || bInFrame || shellState == nullptr) {
        return;
    }
    bInFrame = 1;
    SaverWindow* record = shellState->glWindow;
    if (record != nullptr && record->frameHook != nullptr) {
        record->frameHook(record->hookArgument);
        if (saverAfterFrameHook != nullptr) {
            saverAfterFrameHook(record->hookArgument);
        }
        SaverPresent(record);
    }
    bInFrame = 0;
}

void SaverNoteFailure(const char* cause) {
    if (runFailure == nullptr) {
        runFailure = cause;
    }
}

const char* SaverFailure() {
    return runFailure;
}

void SaverAssertFailed(const char* condition, const char* module) {
    std::fprintf(stderr, "Nocturo.scr: assertion failed: %s (%s)\n", condition, module);
    std::abort();
}

void SaverResetForTests() {
    shellState = nullptr;
    runFailure = nullptr;
    bInFrame = 0;
    saverFramePeriodMs = kFramePeriodMs;
    saverAfterFrameHook = nullptr;
    initHookSlot = nullptr;
    frameHookSlot = nullptr;
    dialogRunner = NoDialog;
    SaverProcReset();
}
