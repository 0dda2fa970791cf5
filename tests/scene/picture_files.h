#pragma once

// Made-up moon pictures for the tests, written into a temporary folder.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

struct PictureLayout {
    int32_t width = 0;
    int32_t height = 0;
    int16_t bitsPerPixel = 8;
    uint32_t pixelOffset = 54 + 1024;  // headers and a 256-entry palette
    int64_t headerBytes = -1;          // cut the file inside its headers when >= 0
};

inline void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Writes the headers, a grey palette and `pixels` (any length).
inline void WritePicture(const std::string& path, const PictureLayout& layout,
                         const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> bytes(layout.pixelOffset > 54 ? layout.pixelOffset : 54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, 2, static_cast<uint32_t>(bytes.size() + pixels.size()));
    PutU32(bytes, 10, layout.pixelOffset);
    PutU32(bytes, 14, 40);
    PutU32(bytes, 18, static_cast<uint32_t>(layout.width));
    PutU32(bytes, 22, static_cast<uint32_t>(layout.height));
    bytes[26] = 1;
    bytes[28] = static_cast<uint8_t>(layout.bitsPerPixel);
    bytes[29] = static_cast<uint8_t>(static_cast<uint16_t>(layout.bitsPerPixel) >> 8);
    for (size_t i = 0; i < 256 && 54 + 4 * i + 3 < bytes.size(); ++i) {
        bytes[54 + 4 * i] = bytes[55 + 4 * i] = bytes[56 + 4 * i] = static_cast<uint8_t>(i);
    }
    if (layout.headerBytes >= 0) {
        bytes.resize(static_cast<size_t>(layout.headerBytes));
    } else {
        bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// A grey pattern where neighbouring pixels differ.
inline std::vector<uint8_t> PatternPixels(int32_t width, int32_t height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t c = 0; c < width; ++c) {
            pixels[static_cast<size_t>(r) * width + c] =
                static_cast<uint8_t>((c * 7 + r * 13) % 251);
        }
    }
    return pixels;
}

// A fresh folder that lives as long as the test process.
inline std::string TemporaryFolder() {
    char name[] = "/tmp/nocturo-scene-XXXXXX";
    const char* made = mkdtemp(name);
    return made != nullptr ? std::string(made) : std::string("/tmp");
}
