#pragma once
// PictureUnpack: decodes the packed moon picture (moon_1024x1024.pack) into
// the large moon picture, the near side in the left half and white on the
// right, in the layout the scene reads.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "installer/ppm_model.h"

inline constexpr size_t kPackHeaderSize = 54;  // bitmap file and information headers
inline constexpr size_t kPackPrefixSize = 63;  // ... then "PPM", CRC-16 and N
inline constexpr int kPackMaxSide = 2048;      // larger pictures are refused
// The largest pack file read: the prefix and a coded stream of twice the
// largest N (2 x 2048 x 2048 bytes); a range coder never doubles its input.
inline constexpr size_t kPackMaxFileSize =
    kPackPrefixSize + 4 * size_t{kPackMaxSide} * kPackMaxSide;

struct PackedPictureHeader {
    uint8_t bitmapHeader[kPackHeaderSize];
    int32_t width;
    int32_t height;
    uint16_t crc;
    uint32_t count;  // N, the number of decoded bytes
};

struct UnpackResult {
    PackedPictureHeader header{};
    std::vector<uint8_t> coefficients;  // the decoded bytes, in tile order
    std::vector<uint8_t> bitmap;        // the whole bitmap file
    uint16_t crc = 0;                   // of the decoded bytes
    bool crcMatches = false;
    // The stream ended before the decoding did (the missing bytes read as 0),
    // or the model could not follow it (decoding stopped, the rest is 0).
    bool truncated = false;
    bool stalled = false;
    size_t streamBytesRead = 0;  // of the coded stream, from offset 63
    PpmStats stats{};
    std::string error;   // why the pack was refused
    double seconds = 0;  // processor time of the decoding
};

// Decodes a pack held in memory. Returns 1 and fills result.bitmap, or 0 when
// the pack is refused (result.error says why). A pack whose stream is damaged
// still decodes; the CRC comparison (and result.truncated / stalled) tells.
// The report lines go to report unless it is null.
int UnpackPictureData(const uint8_t* pack, size_t size, UnpackResult& result, FILE* report);

// Reads the pack file, decodes it and writes the bitmap file, reporting on
// standard output. Returns the number of pixel bytes written (2 x W x H), or 0
// when the pack cannot be read or is refused, or the bitmap cannot be written.
long PictureUnpack(const char* packPath, const char* bitmapPath);

// Like PictureUnpack, keeping the decoding's outcome for the caller.
long PictureUnpackWithResult(const char* packPath, const char* bitmapPath, UnpackResult& result,
                             FILE* report);

// Helpers for little-endian fields.

inline uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t ReadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
inline void WriteLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
