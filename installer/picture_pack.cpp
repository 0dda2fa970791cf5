#include "installer/picture_pack.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "installer/crc16.h"
#include "installer/picture_transform.h"
#include "installer/picture_unpack.h"
#include "installer/ppm_coding.h"
#include "installer/range_encoder.h"
#include "platform/regular_file.h"

namespace {

// The file and information headers of an 8-bit bitmap whose pixels follow
// `paletteBytes` of colour table (2834 pixels per metre, as the packs carry).
void WriteGreyBitmapHeaders(uint8_t* p, int width, int height, uint32_t paletteBytes) {
    const uint32_t pixels = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    p[0] = 'B';
    p[1] = 'M';
    WriteLe32(p + 2, static_cast<uint32_t>(kPackHeaderSize) + paletteBytes + pixels);
    WriteLe32(p + 10, static_cast<uint32_t>(kPackHeaderSize) + paletteBytes);
    WriteLe32(p + 14, 40);
    WriteLe32(p + 18, static_cast<uint32_t>(width));
    WriteLe32(p + 22, static_cast<uint32_t>(height));
    WriteLe16(p + 26, 1);
    WriteLe16(p + 28, 8);
    WriteLe32(p + 34, pixels);
    WriteLe32(p + 38, 2834);
    WriteLe32(p + 42, 2834);
}

// The forward step on the top-left w x h region: each 2 x 2 block becomes its
// average in the first quadrant and three differences, offset by 128, in the
// other three, exactly (no rounding between steps).
void ForwardStep(std::vector<double>& picture, int width, int w, int h) {
    const int hw = w / 2, hh = h / 2;
    std::vector<double> region(static_cast<size_t>(w) * h);
    const size_t stride = static_cast<size_t>(width);
    for (int i = 0; i < hh; ++i) {
        for (int j = 0; j < hw; ++j) {
            // a = (2i, 2j), b = (2i + 1, 2j), c = (2i, 2j + 1), d = (2i + 1, 2j + 1)
            const double a = picture[2 * i * stride + 2 * j];
            const double b = picture[(2 * i + 1) * stride + 2 * j];
            const double c = picture[2 * i * stride + 2 * j + 1];
            const double d = picture[(2 * i + 1) * stride + 2 * j + 1];
            region[static_cast<size_t>(i) * w + j] = (a + b + c + d) / 4;
            region[static_cast<size_t>(i + hh) * w + j] = (a + b - c - d) / 4 + 128;
            region[static_cast<size_t>(i) * w + j + hw] = (a - b + c - d) / 4 + 128;
            region[static_cast<size_t>(i + hh) * w + j + hw] = (a - b - c + d) / 4 + 128;
        }
    }
    for (int row = 0; row < 2 * hh; ++row) {
        std::copy_n(region.begin() + static_cast<size_t>(row) * w, 2 * hw,
                    picture.begin() + static_cast<size_t>(row) * stride);
    }
}

void PutHeader(std::vector<uint8_t>& pack, int width, int height, uint16_t crc, uint32_t count) {
    pack.assign(kPackPrefixSize, 0);
    uint8_t* p = pack.data();
    WriteGreyBitmapHeaders(p, width, height, 0);
    std::memcpy(p + 54, "PPM", 3);
    WriteLe16(p + 57, crc);
    WriteLe32(p + 59, count);
}

}  // namespace

std::vector<uint8_t> ForwardTransform(const uint8_t* picture, int width, int height) {
    const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<double> values(picture, picture + size);
    // The decoder's steps in reverse order.
    for (int pass = 0; pass < 4; ++pass) {
        ForwardStep(values, width, width, height);
    }
    ForwardStep(values, width, width / 16, height / 16);
    ForwardStep(values, width, width / 32, height / 32);
    std::vector<uint8_t> coefficients(size);
    for (size_t i = 0; i < size; ++i) {
        coefficients[i] = static_cast<uint8_t>(std::clamp(std::lround(values[i]), 0L, 255L));
    }
    return coefficients;
}

int PackBytes(const uint8_t* bytes, uint32_t count, int width, int height,
              std::vector<uint8_t>& pack, PpmStats* stats) {
    if (width <= 0 || height <= 0 || width % 32 != 0 || height % 32 != 0) {
        return 0;
    }
    PutHeader(pack, width, height, Crc16(bytes, count), count);
    if (count == 0) {
        return 1;
    }
    auto model = std::make_unique<PpmModel>();
    PpmModelInit(*model);
    std::vector<uint8_t> stream;
    stream.reserve(count / 2 + 16);
    RangeEncoder encoder;
    encoder.Start(bytes[0], stream);
    PpmFirstByte(*model, bytes[0]);
    for (uint32_t i = 1; i < count; ++i) {
        PpmPushHistory(*model, bytes[i - 1]);
        if (PpmCodeByte(*model, encoder, bytes[i]) < 0) {
            return 0;
        }
    }
    encoder.Finish(count - 1);
    pack.insert(pack.end(), stream.begin(), stream.end());
    // Decoders refuse N above 20 x the packed size (their output buffer); a
    // very regular picture gets trailing bytes the decoder never reads.
    const size_t least = (static_cast<size_t>(count) + 19) / 20 + kPackHeaderSize;
    if (pack.size() < least) {
        pack.resize(least, 0);
    }
    if (stats != nullptr) {
        *stats = PpmModelStats(*model);
    }
    return 1;
}

int PackPicture(const uint8_t* picture, int width, int height, std::vector<uint8_t>& pack) {
    if (width <= 0 || height <= 0 || width % 32 != 0 || height % 32 != 0) {
        return 0;
    }
    const std::vector<uint8_t> coefficients = ForwardTransform(picture, width, height);
    std::vector<uint8_t> tiles(coefficients.size());
    ExtractTiles(coefficients.data(), width, height, tiles.data());
    return PackBytes(tiles.data(), static_cast<uint32_t>(tiles.size()), width, height, pack);
}

int ReadGreyBitmap(const std::string& path, int& width, int& height, std::vector<uint8_t>& pixels,
                   std::string& error) {
    std::vector<uint8_t> file;
    const FileStatus read = ReadWholeFile(path.c_str(), kGreyBitmapMaxFileSize, &file);
    if (read.outcome != kFileOk) {
        error = FileProblem(read, path);
        return 0;
    }
    if (file.size() < kPackHeaderSize) {
        error = path + " is too short for a bitmap";
        return 0;
    }
    const uint32_t offset = ReadLe32(&file[10]);
    const int32_t w = static_cast<int32_t>(ReadLe32(&file[18]));
    const int32_t h = static_cast<int32_t>(ReadLe32(&file[22]));
    const uint16_t bits = ReadLe16(&file[28]);
    if (bits != 8 || w <= 0 || h <= 0 || w > 65536 || h > 65536) {
        error = path + " is not an 8-bit bitmap of positive size";
        return 0;
    }
    const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (offset > file.size() || file.size() - offset < size) {
        error = path + " is shorter than its header says";
        return 0;
    }
    width = w;
    height = h;
    pixels.assign(file.begin() + offset, file.begin() + offset + size);
    return 1;
}

int WriteGreyBitmap(const std::string& path, int width, int height, const uint8_t* pixels,
                    bool withPalette) {
    const uint32_t size = static_cast<uint32_t>(width) * static_cast<uint32_t>(height);
    const uint32_t paletteBytes = withPalette ? 1024 : 0;
    std::vector<uint8_t> file(kPackHeaderSize + paletteBytes, 0);
    uint8_t* p = file.data();
    WriteGreyBitmapHeaders(p, width, height, paletteBytes);
    if (withPalette) {
        WriteLe32(p + 46, 256);
        for (int i = 0; i < 256; ++i) {
            uint8_t* entry = p + kPackHeaderSize + 4 * i;
            entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
        }
    }
    file.insert(file.end(), pixels, pixels + size);
    return WriteFileReplacing(path.c_str(), file.data(), file.size()).outcome == kFileOk ? 1 : 0;
}

double PeakSignalToNoise(const uint8_t* a, const uint8_t* b, size_t count) {
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0 || count == 0) {
        return std::numeric_limits<double>::infinity();
    }
    return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(count)));
}
