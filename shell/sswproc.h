#pragma once

#include <cstdint>

#include "platform/messages.h"
#include "shell/shell_state.h"

// The saver window's procedures, the inputs that end the saver, and the
// screen-saver password check of the systems that have one.

LRESULT TestWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SaverWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT GlWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT BaseWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SaverDefaultProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The password service of the platform. On Linux none of it exists and the
// password work never runs; tests fill it.
struct PasswordServices {
    // Reads "Control Panel\Desktop" "ScreenSaveUsePassword" into a 4-byte value.
    int (*readUsePassword)(uint32_t* value);
    int (*loadPasswordLibrary)();
    // Looks up the verify function in the loaded library.
    int (*findVerifyFunction)();
    void (*freePasswordLibrary)();
    // The modal password dialog: nonzero when the right password was given.
    int (*verifyPassword)(HWND owner);
    void (*setScreenSaverRunning)(int running);
    // Loads the change-password library and runs its dialog; 0 if unavailable.
    int (*changePassword)(HWND owner);
};

extern const PasswordServices* passwordServices;

// The mouse-movement threshold: a close needs a larger sum of distances.
constexpr int kMoveThreshold = 4;
// A close request this soon after a password dialog is refused.
constexpr uint32_t kPasswordRefusalMs = 200;

// The password check before a close; 1 when closing may go ahead.
int SaverPasswordCheck(HWND hwnd);
void SaverLoadPasswordSupport();
void SaverReleasePasswordSupport();
// The change-password action; returns the exit code (0).
int SaverChangePassword(HWND owner);

// The message handling's records and flags back to those of a fresh process.
void SaverProcReset();
