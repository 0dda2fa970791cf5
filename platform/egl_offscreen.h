#pragma once

#include <cstdint>
#include <vector>

// An offscreen OpenGL context without any display: EGL on Mesa's surfaceless
// platform, drawing into a pbuffer with 8-bit RGBA and a 16-bit depth buffer.
struct OffscreenContext {
    void* display = nullptr;
    void* surface = nullptr;
    void* context = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

// The largest side accepted for an offscreen picture.
constexpr int32_t kOffscreenMaxSide = 8192;

// Creates the context and makes it current. Returns 1 on success, 0 when no
// such context can be had (the record is then left empty).
int OffscreenContextCreate(OffscreenContext& offscreen, int32_t width, int32_t height);

// Releases the context; the record becomes empty.
void OffscreenContextDestroy(OffscreenContext& offscreen);

// Finishes drawing and reads the picture as RGBA rows from the top.
// Returns 1 on success.
int OffscreenReadPixels(const OffscreenContext& offscreen, std::vector<uint8_t>& rgba);
