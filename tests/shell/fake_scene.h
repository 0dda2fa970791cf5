#pragma once

#include <cstdint>

#include "shell/saver_api.h"

// The scene side for the shell's tests: hooks that count their calls.
struct FakeScene {
    int configures = 0;
    int inits = 0;
    int frames = 0;
    uint32_t initArgument = 0;
    uint32_t frameArgument = 0;
    uint32_t glWindowDuringConfigure = 1;
    uint32_t glWindowDuringInit = 0;
    bool returnNull = false;
    // Called from the frame hook, e.g. to end the run.
    void (*onFrame)(int frame) = nullptr;
    SaverContext context = {1, 1};
};

extern FakeScene scene;
void ResetFakeScene();
