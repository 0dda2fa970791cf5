#pragma once

#include <cstdint>

// The hook interface between the saver shell and the scene it hosts. The
// shell defines the Saver* operations; a host without the shell (the
// offscreen snapshot tool, tests) links nocturo_shell_headless instead.

// The scene's GL options.
struct SaverContext {
    int32_t bDoubleBuffer;  // nonzero: a double-buffered pixel format
    int32_t iDepthType;     // 1: depth buffer of at least 16 bits, 2: at least 32, else none
};

// Both hooks take the GL window's handle.
using SaverInitHook = int (*)(uint32_t window);
using SaverFrameHook = void (*)(uint32_t window);

void SaverSetInitHook(SaverInitHook hook);
void SaverSetFrameHook(SaverFrameHook hook);
// The GL window's handle, or 0 before it exists.
uint32_t SaverGetGlWindow();
// 1 in preview mode.
int SaverIsPreview();

// A part of the GL window, in GL's window coordinates (pixels, origin at the
// lower left), as glViewport takes them.
struct SaverViewport {
    int32_t x = 0, y = 0, width = 0, height = 0;
};
constexpr int kSaverMaxViewports = 16;
// The parts of the GL window that each show a whole picture: one per monitor
// when the shell covers the screen with a window of its own. Fills at most
// `capacity` entries and returns their count; 0 means one picture over the
// whole window (a daemon's window, the preview, the test window, a host
// without monitors).
int SaverGetViewports(SaverViewport* out, int capacity);
// The desktop's font resolution in dots per inch, or 0 when it sets none.
int SaverGetScreenDpi();

// Supplied by the scene: registers its hooks and returns its GL options.
const SaverContext* SaverConfigure();
