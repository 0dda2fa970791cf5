#pragma once

#include <cstdint>

#include "platform/messages.h"
#include "platform/window_services.h"
#include "shell/saver_api.h"
#include "shell/shell_state.h"

// The saver's entry: the command line, the run of a mode with its shell
// state (shell/shell_state.h), the message loop and the frame driving.

constexpr UINT WM_SS_REALIZE = WM_USER;
constexpr UINT WM_SS_START_GL = WM_USER + 1;
constexpr UINT WM_SS_START_TIMER = WM_USER + 2;
constexpr UINT WM_SS_VERIFY_PASSWORD = WM_APP;

constexpr uintptr_t kFrameTimerId = 1;
constexpr UINT kFramePeriodMs = 32;
// The frame timer's period of this run (--delay changes it).
extern UINT saverFramePeriodMs;
// Called after the frame hook and before the swap of every frame when set
// (the --fps readout).
extern SaverFrameHook saverAfterFrameHook;

// What the command line asks for.
enum SaverAction {
    ACTION_CONFIGURE,  // window: the owner (0: none); ownerIsForeground for `c`
    ACTION_FULL_SCREEN,
    ACTION_PREVIEW,  // window: the number read (not yet checked)
    ACTION_TEST_WINDOW,
    ACTION_CHANGE_PASSWORD,  // window: the number read (0 when none)
    ACTION_HELP,             // --help, -h: the usage text
    ACTION_VERSION,          // --version
    ACTION_INVALID,
};

// Where a full-screen run draws.
enum SaverHost {
    HOST_OWN,     // `s`: the daemon's window when XSCREENSAVER_WINDOW names one, else its own
    HOST_ROOT,    // -root: the daemon's window when it exists, else the root window
    HOST_WINDOW,  // -window-id: window
};

struct SaverCommand {
    SaverAction action = ACTION_INVALID;
    uint32_t window = 0;
    bool ownerIsForeground = false;
    SaverHost host = HOST_OWN;
    UINT framePeriodMs = kFramePeriodMs;
    bool showFps = false;
    const char* badWord = nullptr;  // the argument that made the command invalid, if known
};

// The argument text of a whole command line: the program's name skipped,
// then the control characters and blanks after it.
const char* SaverArgumentText(const char* commandLine);
SaverCommand SaverParseCommand(const char* argumentText);
// The program's arguments: when the first one is a word of the screen-saver
// hack conventions (-root, --root, -window-id, --window-id, --help, -h,
// --version, --fps, --delay, with one or two dashes) the whole line is read as
// such options; otherwise the arguments are joined into one text and read by
// SaverParseCommand.
SaverCommand SaverParseArguments(int argc, char** argv);
// The window a full-screen command is told to draw in: the named window
// (false when it does not exist); for -root the window XSCREENSAVER_WINDOW
// names when it exists, else the root window; for `s` 0 (the run chooses).
bool SaverResolveHost(const SaverCommand& command, HWND* host);
// Runs a parsed command with shellServices; returns the exit code.
int SaverRunCommand(const SaverCommand& command);

// Configure mode runs this (owner window); its result is the exit code.
// Until a settings dialog is registered, a note on standard error and 0.
void SaverSetDialogRunner(int (*runner)(HWND owner));

// Seeds the C library's generator from the milliseconds of the clock.
void SaverSeedRandom();

// The hooks registered so far (window records copy them when GL starts).
SaverInitHook SaverCurrentInitHook();
SaverFrameHook SaverCurrentFrameHook();

// The frame tick of the main window (WM_TIMER).
void SaverFrameTick();

// Notes why the run cannot go on (the first cause is kept); the window mode
// then ends with status 1 and that cause on standard error.
void SaverNoteFailure(const char* cause);
// The cause noted in this run, or null.
const char* SaverFailure();

// Stops the program: a programming error in the shell.
[[noreturn]] void SaverAssertFailed(const char* condition, const char* module);

// Back to the state of a fresh process (tests).
void SaverResetForTests();
