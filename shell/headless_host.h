#pragma once

// A host for the scene without the shell: the hook slots and the preview
// flag, for programs that call the scene's hooks themselves.

#include "shell/saver_api.h"

void HeadlessSetPreview(int preview);
SaverInitHook HeadlessInitHook();
SaverFrameHook HeadlessFrameHook();
