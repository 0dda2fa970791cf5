#pragma once

// A host for the scene without the shell: the hook slots and the preview
// flag, for programs that call the scene's hooks themselves.

#include "shell/saver_api.h"

void HeadlessSetPreview(int preview);
SaverInitHook HeadlessInitHook();
SaverFrameHook HeadlessFrameHook();
// The pictures the scene is to draw per frame (SaverGetViewports); none
// (the default) is one picture over the whole window.
void HeadlessSetViewports(const SaverViewport* viewports, int count);
