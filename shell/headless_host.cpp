#include "shell/headless_host.h"

namespace {
SaverInitHook initHook = nullptr;
SaverFrameHook frameHook = nullptr;
int preview = 0;
SaverViewport viewportList[kSaverMaxViewports];
int viewportCount = 0;
}  // namespace

void SaverSetInitHook(SaverInitHook hook) {
    initHook = hook;
}
void SaverSetFrameHook(SaverFrameHook hook) {
    frameHook = hook;
}
uint32_t SaverGetGlWindow() {
    return 0;
}
int SaverIsPreview() {
    return preview;
}
int SaverGetViewports(SaverViewport* out, int capacity) {
    int n = 0;
    for (; out != nullptr && n < viewportCount && n < capacity; ++n) {
        out[n] = viewportList[n];
    }
    return n;
}

void HeadlessSetViewports(const SaverViewport* viewports, int count) {
    viewportCount = 0;
    for (int i = 0; viewports != nullptr && i < count && i < kSaverMaxViewports; ++i) {
        viewportList[viewportCount++] = viewports[i];
    }
}
int SaverGetScreenDpi() {
    return 0;
}

void HeadlessSetPreview(int p) {
    preview = p != 0;
}
SaverInitHook HeadlessInitHook() {
    return initHook;
}
SaverFrameHook HeadlessFrameHook() {
    return frameHook;
}
