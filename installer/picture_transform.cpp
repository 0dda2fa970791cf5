#include "installer/picture_transform.h"

#include <algorithm>
#include <vector>

void PlaceTiles(const uint8_t* bytes, size_t count, int width, int height, uint8_t* picture) {
    const size_t tileWidth = static_cast<size_t>(width / kPictureTiles);
    const size_t tileHeight = static_cast<size_t>(height / kPictureTiles);
    const size_t tileSize = tileWidth * tileHeight;
    count = std::min(count, static_cast<size_t>(width) * static_cast<size_t>(height));
    if (tileSize == 0) {
        return;
    }
    for (size_t n = 0; n < count; ++n) {
        const size_t tile = n / tileSize, inside = n % tileSize;
        const size_t row = (tile / kPictureTiles) * tileHeight + inside / tileWidth;
        const size_t column = (tile % kPictureTiles) * tileWidth + inside % tileWidth;
        picture[row * static_cast<size_t>(width) + column] = bytes[n];
    }
}

void ExtractTiles(const uint8_t* picture, int width, int height, uint8_t* bytes) {
    const size_t tileWidth = static_cast<size_t>(width / kPictureTiles);
    const size_t tileHeight = static_cast<size_t>(height / kPictureTiles);
    const size_t tileSize = tileWidth * tileHeight;
    const size_t count = tileSize * kPictureTiles * kPictureTiles;
    for (size_t n = 0; n < count; ++n) {
        const size_t tile = n / tileSize, inside = n % tileSize;
        const size_t row = (tile / kPictureTiles) * tileHeight + inside / tileWidth;
        const size_t column = (tile % kPictureTiles) * tileWidth + inside % tileWidth;
        bytes[n] = picture[row * static_cast<size_t>(width) + column];
    }
}

namespace {

uint8_t Clamp(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

void InverseStep(uint8_t* picture, int width, int w, int h, uint8_t* scratch) {
    const int hw = w / 2, hh = h / 2;
    const size_t stride = static_cast<size_t>(width);
    const size_t out = static_cast<size_t>(2 * hw);
    for (int i = 0; i < hh; ++i) {
        const uint8_t* rowE = picture + static_cast<size_t>(i) * stride;
        const uint8_t* rowF = picture + static_cast<size_t>(i + hh) * stride;
        uint8_t* top = scratch + static_cast<size_t>(2 * i) * out;
        uint8_t* bottom = top + out;
        for (int j = 0; j < hw; ++j) {
            const int e = rowE[j];
            const int f = rowF[j] - 128;
            const int g = rowE[j + hw] - 128;
            const int k = rowF[j + hw] - 128;
            top[2 * j] = Clamp(e + f + g + k);
            bottom[2 * j] = Clamp(e + f - g - k);
            top[2 * j + 1] = Clamp(e - f + g - k);
            bottom[2 * j + 1] = Clamp(e - f - g + k);
        }
    }
    for (int row = 0; row < 2 * hh; ++row) {
        std::copy_n(scratch + static_cast<size_t>(row) * out, out,
                    picture + static_cast<size_t>(row) * stride);
    }
}

void InverseTransform(uint8_t* picture, int width, int height) {
    std::vector<uint8_t> scratch(static_cast<size_t>(width) * static_cast<size_t>(height) + 1);
    InverseStep(picture, width, width / 32, height / 32, scratch.data());
    InverseStep(picture, width, width / 16, height / 16, scratch.data());
    for (int pass = 0; pass < 4; ++pass) {
        InverseStep(picture, width, width, height, scratch.data());
    }
}
