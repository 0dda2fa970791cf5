#include "platform/glx_context.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include "platform/x11_window.h"

namespace {

GLXFBConfig* configs = nullptr;
int configCount = -1;

int Configs() {
    if (configCount < 0) {
        Display* dpy = X11Display();
        configCount = 0;
        if (dpy != nullptr) {
            int n = 0;
            configs = glXGetFBConfigs(dpy, DefaultScreen(dpy), &n);
            configCount = configs != nullptr ? n : 0;
        }
    }
    return configCount;
}

int Attribute(GLXFBConfig config, int attribute) {
    int value = 0;
    if (glXGetFBConfigAttrib(X11Display(), config, attribute, &value) != Success) {
        return 0;
    }
    return value;
}

int LowestBit(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1ul) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Where each component sits in a pixel. A visual with channel masks says
// so itself; a colour-mapped visual has none, and its pixels are taken as
// red in the low bits, then green, then blue, the layout the palette of the
// window's colormap is built for.
void DescribeLayout(GLXFBConfig config, PixelFormatDescription* d) {
    XVisualInfo* vi = glXGetVisualFromFBConfig(X11Display(), config);
    if (vi != nullptr && vi->red_mask != 0 && vi->green_mask != 0 && vi->blue_mask != 0) {
        d->cRedShift = LowestBit(vi->red_mask);
        d->cGreenShift = LowestBit(vi->green_mask);
        d->cBlueShift = LowestBit(vi->blue_mask);
    } else {
        d->cRedShift = 0;
        d->cGreenShift = d->cRedBits;
        d->cBlueShift = d->cRedBits + d->cGreenBits;
    }
    if (vi != nullptr) {
        XFree(vi);
    }
}

void Describe(GLXFBConfig config, VisualID windowVisual, PixelFormatDescription* d) {
    int drawable = Attribute(config, GLX_DRAWABLE_TYPE);
    int visual = Attribute(config, GLX_VISUAL_ID);
    int visualType = Attribute(config, GLX_X_VISUAL_TYPE);
    d->dwFlags = PFD_SUPPORT_OPENGL;
    // A window can only take a configuration of its own visual.
    if ((drawable & GLX_WINDOW_BIT) && visual != 0 &&
        static_cast<VisualID>(visual) == windowVisual) {
        d->dwFlags |= PFD_DRAW_TO_WINDOW;
    }
    if (drawable & GLX_PIXMAP_BIT) {
        d->dwFlags |= PFD_DRAW_TO_BITMAP;
    }
    if (Attribute(config, GLX_DOUBLEBUFFER)) {
        d->dwFlags |= PFD_DOUBLEBUFFER;
    }
    // Only a writable colormap can take the saver's palette; the colours of
    // a static one are fixed, as on a display without palettes.
    if (visualType == GLX_PSEUDO_COLOR || visualType == GLX_GRAY_SCALE) {
        d->dwFlags |= PFD_NEED_PALETTE;
    }
    d->iPixelType =
        (Attribute(config, GLX_RENDER_TYPE) & GLX_RGBA_BIT) ? PFD_TYPE_RGBA : PFD_TYPE_COLORINDEX;
    d->cRedBits = Attribute(config, GLX_RED_SIZE);
    d->cGreenBits = Attribute(config, GLX_GREEN_SIZE);
    d->cBlueBits = Attribute(config, GLX_BLUE_SIZE);
    d->cColorBits = d->cRedBits + d->cGreenBits + d->cBlueBits;
    d->cDepthBits = Attribute(config, GLX_DEPTH_SIZE);
    DescribeLayout(config, d);
}

bool Info(DeviceContext dc, X11WindowInfo* info) {
    return dc != 0 && X11GetWindowInfo(static_cast<HWND>(dc), info);
}

}  // namespace

int GlxDescribePixelFormat(DeviceContext dc, int index, PixelFormatDescription* out) {
    X11WindowInfo info;
    if (!Info(dc, &info) || index < 1 || index > Configs()) {
        return 0;
    }
    Describe(configs[index - 1], info.visual, out);
    return configCount;
}

int GlxChoosePixelFormat(DeviceContext dc, const PixelFormatDescription* request) {
    X11WindowInfo info;
    if (!Info(dc, &info) || Configs() == 0) {
        return 0;
    }
    int drawable = GLX_WINDOW_BIT;
    if (request->dwFlags & PFD_DRAW_TO_BITMAP) {
        drawable |= GLX_PIXMAP_BIT;
    }
    int attributes[] = {
        GLX_X_RENDERABLE,
        True,
        GLX_DRAWABLE_TYPE,
        drawable,
        GLX_RENDER_TYPE,
        GLX_RGBA_BIT,
        GLX_DOUBLEBUFFER,
        (request->dwFlags & PFD_DOUBLEBUFFER) ? True : False,
        GLX_DEPTH_SIZE,
        request->cDepthBits,
        None,
    };
    int n = 0;
    Display* dpy = X11Display();
    GLXFBConfig* chosen = glXChooseFBConfig(dpy, DefaultScreen(dpy), attributes, &n);
    int result = 0;
    // The system's best match that can draw to this window.
    for (int i = 0; chosen != nullptr && i < n && result == 0; ++i) {
        if (static_cast<VisualID>(Attribute(chosen[i], GLX_VISUAL_ID)) != info.visual) {
            continue;
        }
        for (int j = 0; j < configCount; ++j) {
            if (configs[j] == chosen[i]) {
                result = j + 1;
                break;
            }
        }
    }
    if (chosen != nullptr) {
        XFree(chosen);
    }
    return result;
}

int GlxSetPixelFormat(DeviceContext dc, int index) {
    X11WindowInfo info;
    if (!Info(dc, &info) || index < 1 || index > Configs()) {
        return 0;
    }
    if (static_cast<VisualID>(Attribute(configs[index - 1], GLX_VISUAL_ID)) != info.visual) {
        return 0;
    }
    X11SetWindowFormat(static_cast<HWND>(dc), index);
    return 1;
}

int GlxDeviceColourDepth(DeviceContext dc) {
    X11WindowInfo info;
    return Info(dc, &info) ? info.depth : 0;
}

GlContext GlxCreateContext(DeviceContext dc) {
    X11WindowInfo info;
    int format = dc != 0 ? X11GetWindowFormat(static_cast<HWND>(dc)) : 0;
    if (!Info(dc, &info) || format < 1 || format > Configs()) {
        return 0;
    }
    X11BeginTrap();
    GLXContext context =
        glXCreateNewContext(X11Display(), configs[format - 1], GLX_RGBA_TYPE, nullptr, True);
    if (X11EndTrap() && context != nullptr) {
        glXDestroyContext(X11Display(), context);
        context = nullptr;
    }
    return reinterpret_cast<GlContext>(context);
}

int GlxMakeCurrent(DeviceContext dc, GlContext context) {
    Display* dpy = X11Display();
    if (dc == 0 || context == 0) {
        return glXMakeCurrent(dpy, None, nullptr) ? 1 : 0;
    }
    X11WindowInfo info;
    if (!Info(dc, &info) || info.gone) {
        return 0;
    }
    X11BeginTrap();
    Bool made = glXMakeCurrent(dpy, info.window, reinterpret_cast<GLXContext>(context));
    return X11EndTrap() == 0 && made ? 1 : 0;
}

void GlxDeleteContext(GlContext context) {
    if (context != 0) {
        glXDestroyContext(X11Display(), reinterpret_cast<GLXContext>(context));
    }
}

void GlxSwapBuffers(DeviceContext dc) {
    X11WindowInfo info;
    if (Info(dc, &info) && !info.gone) {
        glXSwapBuffers(X11Display(), info.window);
    }
}

void GlxSetViewport(int width, int height) {
    glViewport(0, 0, width, height);
}
