#pragma once

#include <cstdint>
#include <vector>

// Reading and preparing the Moon map: an 8-bit grey picture in BMP layout
// (pixel offset at byte 10, width at 18, height at 22, bits per pixel at 28,
// rows of exactly W bytes without padding, first stored row at the bottom).

// The largest width or height, and the largest pixel count, accepted from a
// picture's header. Anything beyond is treated as an unreadable picture.
constexpr int32_t kPictureMaxSide = 16384;
constexpr int64_t kPictureMaxPixels = int64_t{1} << 27;
// The narrowest picture whose limb mask has any nonzero alpha at every
// height: a map 1 pixel wide has no half to mask, and one 2 or 3 pixels
// wide masks everything away at odd heights and keeps one pixel at even
// ones. Narrower pictures count as unusable: the Moon is drawn untextured
// instead of vanishing behind an all-transparent texture.
constexpr int32_t kPictureMinWidth = 4;

struct PictureHeader {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    uint32_t pixelOffset = 0;
};

// Reads the 14-byte file header and the 40-byte info header. Returns 1 when
// the file could be opened and both headers were read, 0 otherwise (also for
// anything but a regular file: a FIFO or a device is never waited on). The
// header's values are not judged here (see PictureHeaderUsable).
int ReadPictureHeader(const char* path, PictureHeader& header);

// 1 when the header describes a picture the scene can use: 8 bits per
// pixel, width at least kPictureMinWidth, height positive, both within the
// limits above.
int PictureHeaderUsable(const PictureHeader& header);

// Reads the pixel bytes from the header's pixel offset to the end of the
// file, at most `capacity` bytes, into `buffer`. Returns the number of bytes
// read (0 when the file cannot be opened or the offset lies past its end).
int64_t ReadPicturePixels(const char* path, uint8_t* buffer, int64_t capacity);

// Rescales a width x height grey picture by `factor` with bilinear
// interpolation (no half-pixel offset; columns and rows past the last read
// as the last). The output replaces `pixels`, `width` and `height`.
// `pixels` must hold at least width x height bytes.
void ResamplePicture(double factor, std::vector<uint8_t>& pixels, int32_t& width, int32_t& height);

// The alpha that softens the Moon's edge: 255 over the middle of each half
// of the map, falling to 0 toward the limb meridians and the poles.
// Returns w x h bytes in row order.
std::vector<uint8_t> LimbMask(int32_t width, int32_t height);

// Alpha of the limb-glow texture: a thin band about the middle row.
std::vector<uint8_t> LimbGlowRamp(int32_t width, int32_t height);

// Alpha of the flare-glow texture, 32 x 16: largest at the first and last
// rows, 0 on row 8.
constexpr int32_t kFlareGlowWidth = 32;
constexpr int32_t kFlareGlowHeight = 16;
std::vector<uint8_t> FlareGlowRamp();

// RGBA texels from grey levels and an alpha per pixel. `inverted` turns a
// negative picture into a positive one (255 - g).
std::vector<uint8_t> PackGreyAlpha(const std::vector<uint8_t>& grey,
                                   const std::vector<uint8_t>& alpha, bool inverted);

// RGBA texels of one colour with an alpha per pixel.
std::vector<uint8_t> PackColourAlpha(uint8_t red, uint8_t green, uint8_t blue,
                                     const std::vector<uint8_t>& alpha);
