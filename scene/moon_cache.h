#pragma once

#include <cstdint>
#include <vector>

class GLUquadric;

// The Moon with its limb glow drawn once into an off-screen texture and laid
// over each frame, instead of drawing the lit, textured sphere every 32 ms.
// The texture holds the Moon as a layer: premultiplied colour and coverage,
// so laying it over the stars gives the pixels that drawing the Moon over
// them gives.

// The largest turn of the Sun's direction that keeps the cached Moon: the
// lit part of a pixel is 255 x 0.99 x cos(angle of incidence), which changes
// by at most 252 levels per radian the light turns, so below this angle no
// pixel moves by half a level.
constexpr double kMoonCacheTurn = 0.5 / (0.99 * 255.0);  // radians, about 0.11 degrees

// The Moon is drawn again at most once in this many frames (one second of
// 32 ms frames), however far the light moved.
constexpr int32_t kMoonCacheMinFrames = 31;

struct MoonCache {
    unsigned int framebuffer = 0;
    unsigned int texture = 0;
    unsigned int depth = 0;
    int32_t x = 0, y = 0;                  // lower-left pixel of the Moon's box in the viewport
    int32_t width = 0, height = 0;         // size of the box and of the texture
    int32_t viewport[4] = {0, 0, 0, 0};    // the viewport it was drawn for
    double sun[3] = {0.0, 0.0, 0.0};       // the light direction it was drawn with
    float normal[3] = {0.0f, 0.0f, 1.0f};  // the current normal the Moon's spheres leave
    unsigned int moonTexture = 0;          // the Moon map it was drawn with
    bool preview = false;
    int32_t drawnFrame = 0;         // frame counter when it was drawn
    int32_t draws = 0;              // how often it was drawn (for checks)
    std::vector<uint8_t> coverage;  // the layer's alpha, rows from the bottom
    bool valid = false;
};

// True when the GL context can draw into a texture (framebuffer objects,
// separate blend factors and textures of any size).
bool MoonCacheSupported();

// Lays the Moon over the frame, drawing it again first when the window, the
// Moon map or the mode changed, or when the light turned by more than
// kMoonCacheTurn and the last drawing is at least kMoonCacheMinFrames old.
// Returns false (nothing drawn) when the off-screen texture cannot be made.
// Leaves the GL state as MoonPass leaves it.
bool MoonCacheDraw(MoonCache& cache, GLUquadric* quadric, const double sunDirection[3],
                   int32_t frame);

// The two halves of MoonCacheDraw: drawing the Moon into the texture when
// needed (before the frame is cleared; the frame's GL state is kept), and
// laying it over the frame.
bool MoonCacheUpdate(MoonCache& cache, GLUquadric* quadric, const double sunDirection[3],
                     int32_t frame);
void MoonCacheComposite(const MoonCache& cache, const double sunDirection[3]);

// True when the cached Moon covers the pixel box [x0, x1) x [y0, y1) of the
// viewport completely (opaque everywhere): nothing drawn behind it shows.
bool MoonCacheCovers(const MoonCache& cache, int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// Releases the texture and the buffers; for a process that makes a new GL context.
void MoonCacheForget(MoonCache& cache);
