#pragma once

// The install as one run without dialogs, for scripts, tests and people
// without a display: the same steps, files, settings and messages as the
// dialogs, the messages printed as text (UTF-8).

#include <cstdio>
#include <string>

#include "installer/setup_steps.h"

// Exit codes of setup_nocturo, both with and without dialogs.
constexpr int kSetupExitComplete = 0;
constexpr int kSetupExitNotComplete = 1;  // a step failed: "Setup is not complete"
constexpr int kSetupExitInterrupted = 2;  // cancelled, or a folder refused

struct SetupOptions {
    int languageOffset = 100;  // kSetupTextEnglish or kSetupTextRussian
    std::string folder;        // as typed; empty = the default folder
    bool folderGiven = false;
    std::string systemDefaults;  // xscreensaver's system defaults file
};

// A Windows-1251 text as UTF-8 lines ("\n\r" and "\r" dropped to "\n").
std::string SetupTextForTerminal(const char* text);

// Starts a session for the folder the user chose: the folder made ready
// (normalised), the record of earlier installs loaded. Returns the folder
// check; on anything but kSetupFolderOk the session is not to be used.
int SetupBeginSession(const std::string& typedFolder, int languageOffset, SetupSession* session);

// What follows a successful copy and unpacking: the hand-over to the desktop.
// Returns the final result (1: "Setup is complete").
int SetupFinish(SetupSession* session, const std::string& systemDefaults);

// Runs every step and prints the messages on `out`. Returns the exit code.
int SetupRunUnattended(const SetupOptions& options, FILE* out);
