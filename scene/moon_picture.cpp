#include "scene/moon_picture.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/regular_file.h"

namespace {

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

int32_t ReadI16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;

// Reads exactly `size` bytes at `offset`; false when the file holds fewer.
bool ReadFully(int fd, off_t offset, uint8_t* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace

int ReadPictureHeader(const char* path, PictureHeader& header) {
    header = PictureHeader{};
    // A FIFO, a device or a folder at the path is refused before any read,
    // so the saver never waits on it.
    FileHandle file;
    if (OpenRegularFile(path, true, &file).outcome != kFileOk) {
        return 0;
    }
    uint8_t bytes[kFileHeaderSize + kInfoHeaderSize];
    if (!ReadFully(file.get(), 0, bytes, sizeof bytes)) {
        return 0;
    }
    header.pixelOffset = ReadU32(bytes + 10);
    header.width = ReadI32(bytes + 18);
    header.height = ReadI32(bytes + 22);
    header.bitsPerPixel = ReadI16(bytes + 28);
    return 1;
}

int PictureHeaderUsable(const PictureHeader& header) {
    if (header.bitsPerPixel != 8) {
        return 0;
    }
    if (header.width < kPictureMinWidth || header.height <= 0) {
        return 0;
    }
    if (header.width > kPictureMaxSide || header.height > kPictureMaxSide) {
        return 0;
    }
    return int64_t{header.width} * header.height <= kPictureMaxPixels ? 1 : 0;
}

int64_t ReadPicturePixels(const char* path, uint8_t* buffer, int64_t capacity) {
    FileHandle file;
    uint64_t fileSize = 0;
    if (OpenRegularFile(path, true, &file, &fileSize).outcome != kFileOk) {
        return 0;
    }
    uint8_t fileHeader[kFileHeaderSize];
    if (!ReadFully(file.get(), 0, fileHeader, sizeof fileHeader)) {
        return 0;
    }
    const uint64_t offset = ReadU32(fileHeader + 10);
    if (offset >= fileSize) {
        return 0;
    }
    // Never more than the file holds, nor than the buffer takes.
    const uint64_t wanted = std::min<uint64_t>(
        fileSize - offset, static_cast<uint64_t>(std::max<int64_t>(capacity, 0)));
    uint64_t done = 0;
    while (done < wanted) {
        const ssize_t got = pread(file.get(), buffer + done, static_cast<size_t>(wanted - done),
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // a file cut meanwhile: what was read counts
        }
        done += static_cast<uint64_t>(got);
    }
    return static_cast<int64_t>(done);
}

void ResamplePicture(double factor, std::vector<uint8_t>& pixels, int32_t& width, int32_t& height) {
    const int32_t outWidth = static_cast<int32_t>(width * factor);
    const int32_t outHeight = static_cast<int32_t>(height * factor);
    std::vector<uint8_t> out(static_cast<size_t>(std::max(outWidth, 0)) *
                             static_cast<size_t>(std::max(outHeight, 0)));
    const int32_t lastColumn = width - 1;
    const int32_t lastRow = height - 1;
    auto at = [&](int32_t column, int32_t row) -> double {
        column = std::min(column, lastColumn);
        row = std::min(row, lastRow);
        return pixels[static_cast<size_t>(row) * static_cast<size_t>(width) +
                      static_cast<size_t>(column)];
    };
    size_t index = 0;
    for (int32_t i = 0; i < outHeight; ++i) {
        const double y = i / factor;
        const int32_t y0 = static_cast<int32_t>(y);
        const double fy = y - y0;
        for (int32_t j = 0; j < outWidth; ++j) {
            const double x = j / factor;
            const int32_t x0 = static_cast<int32_t>(x);
            const double fx = x - x0;
            const double v = at(x0, y0) * (1 - fx) * (1 - fy) + at(x0 + 1, y0) * fx * (1 - fy) +
                             at(x0, y0 + 1) * (1 - fx) * fy + at(x0 + 1, y0 + 1) * fx * fy;
            out[index++] = static_cast<uint8_t>(std::clamp(static_cast<int>(v), 0, 255));
        }
    }
    pixels.swap(out);
    width = std::max(outWidth, 0);
    height = std::max(outHeight, 0);
}

std::vector<uint8_t> LimbMask(int32_t width, int32_t height) {
    std::vector<uint8_t> mask(static_cast<size_t>(std::max(width, 0)) *
                              static_cast<size_t>(std::max(height, 0)));
    const int32_t half = width / 2;
    if (half <= 0) {
        return mask;
    }
    const double c = width / 4.0;
    const double halfHeight = height / 2.0;
    size_t index = 0;
    for (int32_t y = 0; y < height; ++y) {
        const double bb = c * c - (y - halfHeight) * (y - halfHeight);
        for (int32_t x = 0; x < width; ++x) {
            const double e = x % half;
            const double aa = c * c - (e - c) * (e - c);
            uint8_t alpha = 0;
            if (aa >= 0 && bb >= 0) {
                const double t = (std::sqrt(aa) + std::sqrt(bb)) / (2 * c);
                alpha = t > 0.8 ? 255 : static_cast<uint8_t>(255 * std::max(0.0, 2.5 * t - 1));
            }
            mask[index++] = alpha;
        }
    }
    return mask;
}

std::vector<uint8_t> LimbGlowRamp(int32_t width, int32_t height) {
    std::vector<uint8_t> ramp(static_cast<size_t>(std::max(width, 0)) *
                              static_cast<size_t>(std::max(height, 0)));
    const double halfHeight = height / 2.0;
    size_t index = 0;
    for (int32_t r = 0; r < height; ++r) {
        const double u = std::fabs(r - halfHeight) / halfHeight;
        const uint8_t alpha = u <= 0.16 ? static_cast<uint8_t>(255 * u) : 0;
        for (int32_t x = 0; x < width; ++x) {
            ramp[index++] = alpha;
        }
    }
    return ramp;
}

std::vector<uint8_t> FlareGlowRamp() {
    std::vector<uint8_t> ramp(kFlareGlowWidth * kFlareGlowHeight);
    size_t index = 0;
    for (int32_t r = 0; r < kFlareGlowHeight; ++r) {
        const uint8_t alpha = static_cast<uint8_t>(std::abs(r - 8) / 8.0 * 16);
        for (int32_t x = 0; x < kFlareGlowWidth; ++x) {
            ramp[index++] = alpha;
        }
    }
    return ramp;
}

std::vector<uint8_t> PackGreyAlpha(const std::vector<uint8_t>& grey,
                                   const std::vector<uint8_t>& alpha, bool inverted) {
    const size_t count = alpha.size();
    std::vector<uint8_t> texels(count * 4);
    for (size_t i = 0; i < count; ++i) {
        // Bytes the file did not hold read as 0.
        const uint8_t g = i < grey.size() ? grey[i] : 0;
        const uint8_t level = inverted ? static_cast<uint8_t>(255 - g) : g;
        texels[4 * i + 0] = level;
        texels[4 * i + 1] = level;
        texels[4 * i + 2] = level;
        texels[4 * i + 3] = alpha[i];
    }
    return texels;
}

std::vector<uint8_t> PackColourAlpha(uint8_t red, uint8_t green, uint8_t blue,
                                     const std::vector<uint8_t>& alpha) {
    std::vector<uint8_t> texels(alpha.size() * 4);
    for (size_t i = 0; i < alpha.size(); ++i) {
        texels[4 * i + 0] = red;
        texels[4 * i + 1] = green;
        texels[4 * i + 2] = blue;
        texels[4 * i + 3] = alpha[i];
    }
    return texels;
}
