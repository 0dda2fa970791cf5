#pragma once

#include <string>

#include "platform/dialog_host.h"

// The About box (template 102): the title, the project's copyright line, a
// link to the project's read-me and one to its mail address. Links open
// with xdg-open, started without a shell; a failure to open is ignored.

constexpr int kIdAboutText = 1025;
constexpr int kIdAboutWebLink = 1023;
constexpr int kIdAboutMailLink = 1024;

const DialogTemplate* AboutBoxTemplate();

INT_PTR AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the box modally, owned by `owner`.
INT_PTR AboutBoxRun(HWND owner);

// What the web link opens: the read-me installed beside the city files when
// there is one, else the read-me of the source tree the program was built
// from (file:// addresses); "" when there is neither.
std::string AboutReadmeAddress();
// What the mail link opens: "mailto:" + the project's address +
// "?Subject=\"Nocturo 1.0\"".
std::string AboutMailAddress();

// Opens an address with the desktop's opener (xdg-open) without waiting
// and without a shell. Tests replace it.
extern void (*aboutOpenSlot)(const std::string& address);
void AboutOpenWithDesktop(const std::string& address);
