#pragma once

#include <X11/Xlib.h>

#include "platform/messages.h"
#include "platform/window_services.h"

// The X11 stand-in for the saver's windows: the connection, windows created
// or adopted, their X events as messages, the cursor and the screen.

// Opens the display named by DISPLAY; 1 on success. Installs an error
// handler that records errors instead of ending the program.
int X11Open();
Display* X11Display();

// The window, cursor, screen and GL services over X11 and GLX.
const WindowServices* X11WindowServices();
// The message source that turns X events into messages.
const MessageSource* X11MessageSource();

// Errors between the two calls are caught; X11EndTrap returns 1 if one came.
void X11BeginTrap();
int X11EndTrap();

// What the GLX part needs to know about a window of the saver.
struct X11WindowInfo {
    Window window = 0;
    VisualID visual = 0;
    int depth = 0;
    bool gone = false;  // destroyed by someone else
};
// 1 when hwnd is a window of the saver (created or adopted).
int X11GetWindowInfo(HWND hwnd, X11WindowInfo* info);
// The pixel format set on the window (0: none) and setting it.
int X11GetWindowFormat(HWND hwnd);
void X11SetWindowFormat(HWND hwnd, int format);

// The saver's own top-level windows (full screen and test window; not a
// preview child nor an adopted window), which system-wide notices reach.
int X11TopLevelWindows(HWND* out, int max);
