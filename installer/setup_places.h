#pragma once

// Where the installer puts things, for the current user.

#include <string>

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
std::string SetupDataHome();

// The installation folder offered first: SetupDataHome() + "/Nocturo 3D".
std::string SetupDefaultFolder();

// The folder of the user's own programs, where Nocturo.scr goes: ~/.local/bin.
std::string SetupProgramFolder();

// The home folder: $HOME, else the password database's entry. "" when none.
std::string SetupHomeFolder();

// What became of a folder the user gave.
enum SetupFolderCheck : int {
    kSetupFolderOk = 0,
    kSetupFolderIsEmpty = 1,  // nothing typed (it would mean the root directory)
    kSetupFolderLong = 2,     // a picture path in it would not fit its reader's buffer
};

// Turns the folder the user typed into the installation folder: a leading
// "~/" becomes the home folder, a relative path is taken from the current
// directory, and the result always ends in '/'. Blanks around it are dropped.
SetupFolderCheck SetupNormalizeFolder(const std::string& typed, std::string* folder);
