#pragma once

// The hand-over of the installed saver to the desktop, for the current user:
// an entry in the programs list of ~/.xscreensaver, a .desktop file where
// desktop screen-saver settings look for savers, and the start of
// xscreensaver's settings program.

#include <string>
#include <vector>

#include "installer/setup_steps.h"

// The system's xscreensaver defaults, the list a new ~/.xscreensaver starts from.
constexpr const char* kXscreensaverSystemDefaults = "/etc/X11/app-defaults/XScreenSaver";

// ~/.xscreensaver.
std::string SetupXscreensaverFile();

// $XDG_DATA_HOME/applications/screensavers/nocturo.desktop.
std::string SetupDesktopFile();

// Adds the installed saver to ~/.xscreensaver (written atomically; nothing is
// written when it is already listed). 1 on success.
int SetupRegisterWithXscreensaver(SetupSession* session, const std::string& systemDefaults);

// Writes the .desktop file for the installed saver. 1 on success.
int SetupWriteDesktopFile(SetupSession* session);

// The settings programs tried in turn: $NOCTURO_SETTINGS_PROGRAM alone when
// it is set (empty: none), else xscreensaver-settings and xscreensaver-demo.
std::vector<std::string> SetupSettingsPrograms();

// Starts the first of `programs` found on PATH, without a shell and without
// waiting for it. 1 when one was started; 0 (and nothing done) when none is
// installed.
int SetupStartSettingsProgram(const std::vector<std::string>& programs);

// Both registrations. 1 when both succeeded.
int SetupHandOver(SetupSession* session, const std::string& systemDefaults);
