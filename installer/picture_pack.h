#pragma once
// The encoder of the packed moon picture (a tool's library, not part of the
// saver): the forward averaging-and-differencing transform that the decoder's
// inverse steps undo, the tiling, and the context-model coding that mirrors
// the decoder step by step.

#include <cstdint>
#include <string>
#include <vector>

#include "installer/ppm_model.h"

// Coefficients of a width x height picture (row 0 first), laid out as the
// picture the decoder's inverse steps start from. Each coefficient is the
// rounded value of the exact transform, so rounding happens once.
std::vector<uint8_t> ForwardTransform(const uint8_t* picture, int width, int height);

// Codes count bytes into a complete pack (bitmap headers, "PPM", CRC-16, N
// and the coded stream) for a width x height picture. Returns 1, or 0 when the
// sizes are unusable (not positive multiples of 32). A pack is never smaller
// than N / 20 bytes after its bitmap header: the stream of a very regular
// picture is padded up to that.
int PackBytes(const uint8_t* bytes, uint32_t count, int width, int height,
              std::vector<uint8_t>& pack, PpmStats* stats = nullptr);

// Transform, tiling and coding of a whole picture.
int PackPicture(const uint8_t* picture, int width, int height, std::vector<uint8_t>& pack);

// The largest bitmap file the tools read: a picture of 8192 x 8192 pixels
// with its headers and a palette.
inline constexpr size_t kGreyBitmapMaxFileSize = 54 + 1024 + size_t{8192} * 8192;

// Reads an 8-bit grey bitmap in the moon picture layout (pixel offset at 10,
// width at 18, height at 22, 8 bits per pixel, rows of exactly W bytes, first
// stored row at the bottom). Returns 1, or 0 with error set.
int ReadGreyBitmap(const std::string& path, int& width, int& height, std::vector<uint8_t>& pixels,
                   std::string& error);

// Writes pixels (rows bottom-up) in that layout; with a grey palette the
// picture also shows right in ordinary viewers.
int WriteGreyBitmap(const std::string& path, int width, int height, const uint8_t* pixels,
                    bool withPalette);

// Peak signal-to-noise ratio of b against a in dB (infinity when equal).
double PeakSignalToNoise(const uint8_t* a, const uint8_t* b, size_t count);
