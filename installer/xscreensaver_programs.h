#pragma once

// The programs list of xscreensaver's per-user file (~/.xscreensaver), edited
// as text so that every other line stays exactly as it was.
//
// The list is the resource "programs:", continued over lines that end in a
// backslash; its entries are separated by "\n" (backslash and n), usually
// one per line: [-] [VISUAL:] ["Name"] command. A leading '-' marks an entry
// that is kept but not run.

#include <string>
#include <vector>

struct XscreensaverEntry {
    std::string text;     // the entry as written, without "\n" and continuation
    std::string command;  // the command, without '-', visual and name
    bool enabled = true;
};

// The entries of the programs list of a file's text, in order (what
// "xscreensaver-command -select N" counts from 1). Empty when there is none.
std::vector<XscreensaverEntry> XscreensaverListPrograms(const std::string& fileText);

// 1 when the text has a programs resource.
int XscreensaverHasPrograms(const std::string& fileText);

// The entry line the installer adds for a saver at `saverPath`:
//   GL: "Nocturo 3D" '/home/me/.local/bin/Nocturo.scr' s
// (the path quoted for the shell only when it needs it).
std::string XscreensaverEntryFor(const std::string& saverPath);

// The program name of an entry's command: the base name of its first word.
std::string XscreensaverProgramName(const std::string& command);

// Adds `entry` at the end of the programs list of `fileText`. Where the text
// has no programs resource, `systemText` (the system's defaults, usually
// /etc/X11/app-defaults/XScreenSaver) gives the list to start from, so the
// user's other savers stay listed. An entry already running Nocturo.scr with
// the same command is kept and nothing is added; one with another command,
// or the system install's "nocturo", is replaced in place by `entry` (the
// user's own install wins), and its text goes to `replaced`.
// Returns the new text.
std::string XscreensaverAddEntry(const std::string& fileText, const std::string& systemText,
                                 const std::string& entry, std::string* replaced);

// Takes out the line holding `entry` (and puts `replaced` back in its place
// when it is not empty). Every other line stays as it was.
std::string XscreensaverRemoveEntry(const std::string& fileText, const std::string& entry,
                                    const std::string& replaced);

// The programs resource of the system defaults as the user file writes it
// ("programs:" and its continued lines), or "" when there is none.
std::string XscreensaverSystemPrograms(const std::string& systemText);
