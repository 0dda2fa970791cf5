#pragma once

#include "platform/window_services.h"
#include "shell/saver_api.h"

// Where the pictures go in a window that covers several monitors: one
// viewport per monitor, so that no Moon and no text falls on a seam.

// The viewports of a window at (windowX, windowY) of windowWidth x
// windowHeight pixels on the screen, for the monitors given (screen
// coordinates from the top left). Each monitor is clipped to the window and
// turned into GL's coordinates (origin at the window's lower left); monitors
// that miss the window, empty ones and repeats of the same rectangle (mirrored
// outputs) are left out. Returns the count, at most `capacity`; 0 when no
// monitor is left or the one left covers the whole window: one picture over
// the whole window.
int SaverLayOutViewports(int windowX, int windowY, int windowWidth, int windowHeight,
                         const MonitorRect* monitors, int monitorCount, SaverViewport* out,
                         int capacity);
