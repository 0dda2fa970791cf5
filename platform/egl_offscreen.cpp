#include "platform/egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace {

EGLDisplay SurfacelessDisplay() {
    const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (extensions == nullptr ||
        std::strstr(extensions, "EGL_MESA_platform_surfaceless") == nullptr) {
        return EGL_NO_DISPLAY;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

int OffscreenContextCreate(OffscreenContext& offscreen, int32_t width, int32_t height) {
    offscreen = OffscreenContext{};
    if (width <= 0 || height <= 0 || width > kOffscreenMaxSide || height > kOffscreenMaxSide) {
        return 0;
    }
    EGLDisplay display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        return 0;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        return 0;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
        configCount < 1 || eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        eglTerminate(display);
        return 0;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        eglTerminate(display);
        return 0;
    }
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        eglDestroySurface(display, surface);
        eglTerminate(display);
        return 0;
    }
    if (eglMakeCurrent(display, surface, surface, context) != EGL_TRUE) {
        eglDestroyContext(display, context);
        eglDestroySurface(display, surface);
        eglTerminate(display);
        return 0;
    }
    offscreen.display = display;
    offscreen.surface = surface;
    offscreen.context = context;
    offscreen.width = width;
    offscreen.height = height;
    glViewport(0, 0, width, height);
    return 1;
}

void OffscreenContextDestroy(OffscreenContext& offscreen) {
    if (offscreen.display != nullptr) {
        EGLDisplay display = offscreen.display;
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, offscreen.context);
        eglDestroySurface(display, offscreen.surface);
        eglTerminate(display);
    }
    offscreen = OffscreenContext{};
}

int OffscreenReadPixels(const OffscreenContext& offscreen, std::vector<uint8_t>& rgba) {
    if (offscreen.context == nullptr) {
        return 0;
    }
    const size_t rowBytes = static_cast<size_t>(offscreen.width) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(offscreen.height));
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, offscreen.width, offscreen.height, GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    rgba.resize(bottomUp.size());
    for (int32_t row = 0; row < offscreen.height; ++row) {
        std::memcpy(rgba.data() + static_cast<size_t>(row) * rowBytes,
                    bottomUp.data() + static_cast<size_t>(offscreen.height - 1 - row) * rowBytes,
                    rowBytes);
    }
    return 1;
}
