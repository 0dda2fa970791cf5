#pragma once

#include <X11/Xlib.h>

#include "platform/window_services.h"

// The screen's monitors and the desktop's font resolution, read from the X
// server.

// The monitors of the default screen: RandR's monitor list (RandR 1.5), or
// Xinerama's screens when those are more (RandR gives none, or sees only the
// first of several screens joined by Xinerama). Returns the count (at most
// `capacity`), 0 when the server knows neither.
int X11GetMonitors(Display* dpy, MonitorRect* out, int capacity);

// Xft.dpi from the server's resource database, rounded to a whole number;
// 0 when it is absent or not a positive number.
int X11ScreenDpi(Display* dpy);
