#pragma once

// The installer's two dialogs as dialog procedures over the platform's
// dialog host: the main dialog (template 133: language, folder, Install,
// Cancel) and the progress dialog (template 130: copying, then unpacking on
// a worker thread, then the final message). They run with whichever back
// end is set (GTK for people, headless for tests).

#include <string>

#include "platform/dialog_host.h"

// Control ids of the main dialog.
constexpr int kSetupInstallButton = 1;
constexpr int kSetupCancelButton = 1010;
constexpr int kSetupCopyrightLine = 1012;
constexpr int kSetupBrowseButton = 1013;
constexpr int kSetupFolderField = 1014;
constexpr int kSetupFolderText = 1015;
constexpr int kSetupVersionLine = 1016;
constexpr int kSetupLanguageText = 1017;
constexpr int kSetupLanguageList = 1018;
constexpr int kSetupLogo = 1019;
constexpr int kSetupWelcomeText = 1020;  // the welcome text, in its own font

// Control ids of the progress dialog.
constexpr int kSetupProgressCancel = 2;
constexpr int kSetupProgressBar = 1025;
constexpr int kSetupStatusLine = 1026;
constexpr int kSetupProgressIcon = 1027;

// Timers of the progress dialog and their periods.
constexpr int kSetupTimerRunning = 1;  // 100 ms: the running bar while unpacking
constexpr int kSetupTimerCopy = 2;     // 10 ms after opening: the copy
constexpr int kSetupTimerUnpack = 3;   // 1 ms after the copy: the worker starts

extern const DialogTemplate setupMainTemplate;
extern const DialogTemplate setupProgressTemplate;

// The welcome text's font, as a Pango description of fontconfig's face.
constexpr const char* kSetupWelcomeFont = "Sans Serif Bold 14px";

// The folder of xscreensaver's system defaults used by the hand-over.
void SetupDialogsSetSystemDefaults(const std::string& path);

// Runs the main dialog (and from it the progress dialog) and returns the
// exit code: kSetupExitComplete, kSetupExitNotComplete or kSetupExitInterrupted.
int SetupRunDialogs();

// The 90 x 90 logo: the near side of the carried small picture as a BMP.
std::string SetupLogoBitmap();
