#include "tests/shell/fake_scene.h"

#include "tests/shell/fake_platform.h"

FakeScene scene;

namespace {

int Init(uint32_t window) {
    ++scene.inits;
    scene.initArgument = window;
    scene.glWindowDuringInit = SaverGetGlWindow();
    fake.priorityDuringInit = fake.priority;
    return 0;
}

void Frame(uint32_t window) {
    ++scene.frames;
    scene.frameArgument = window;
    if (scene.onFrame != nullptr) {
        scene.onFrame(scene.frames);
    }
}

}  // namespace

void ResetFakeScene() {
    scene = FakeScene{};
}

const SaverContext* SaverConfigure() {
    ++scene.configures;
    scene.glWindowDuringConfigure = SaverGetGlWindow();
    SaverSetInitHook(Init);
    SaverSetFrameHook(Frame);
    return scene.returnNull ? nullptr : &scene.context;
}
