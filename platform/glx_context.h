#pragma once

#include "platform/window_services.h"

// Pixel formats, GL contexts and buffer swaps through GLX. A device context
// is the window itself; its formats are the display's GLX framebuffer
// configurations, of which those with the window's visual can draw to it.

int GlxDescribePixelFormat(DeviceContext dc, int index, PixelFormatDescription* out);
int GlxChoosePixelFormat(DeviceContext dc, const PixelFormatDescription* request);
int GlxSetPixelFormat(DeviceContext dc, int index);
int GlxDeviceColourDepth(DeviceContext dc);
GlContext GlxCreateContext(DeviceContext dc);
int GlxMakeCurrent(DeviceContext dc, GlContext context);
void GlxDeleteContext(GlContext context);
void GlxSwapBuffers(DeviceContext dc);
void GlxSetViewport(int width, int height);
