#include "shell/headless_host.h"

namespace {
SaverInitHook initHook = nullptr;
SaverFrameHook frameHook = nullptr;
int preview = 0;
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
int SaverGetViewports(SaverViewport*, int) {
    return 0;
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
