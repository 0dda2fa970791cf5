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

// Supplied by the scene: registers its hooks and returns its GL options.
const SaverContext* SaverConfigure();
