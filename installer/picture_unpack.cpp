#include "installer/picture_unpack.h"

#include <cstring>
#include <ctime>
#include <memory>

#include "installer/crc16.h"
#include "installer/picture_transform.h"
#include "installer/ppm_coding.h"
#include "installer/range_decoder.h"
#include "platform/regular_file.h"

namespace {

constexpr uint32_t kProgressStep = 8192;

bool ParseHeader(const uint8_t* pack, size_t size, PackedPictureHeader& h, std::string& error) {
    if (size <= kPackHeaderSize) {
        error = "the pack holds nothing after its bitmap header";
        return false;
    }
    if (size < kPackPrefixSize) {
        error = "the pack's header is incomplete";
        return false;
    }
    std::memcpy(h.bitmapHeader, pack, kPackHeaderSize);
    h.width = static_cast<int32_t>(ReadLe32(pack + 18));
    h.height = static_cast<int32_t>(ReadLe32(pack + 22));
    h.crc = ReadLe16(pack + 57);
    h.count = ReadLe32(pack + 59);
    if (h.width <= 0 || h.height <= 0 || h.width % 32 != 0 || h.height % 32 != 0) {
        error = "the pack's width and height are not positive multiples of 32";
        return false;
    }
    if (h.width > kPackMaxSide || h.height > kPackMaxSide) {
        error = "the pack's picture is larger than 2048 x 2048";
        return false;
    }
    const uint64_t packedSize = size - kPackHeaderSize;
    const uint64_t pixels = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height);
    if (h.count > 20 * packedSize || h.count > 2 * pixels) {
        error = "the pack's byte count does not fit its size or picture";
        return false;
    }
    return true;
}

// Decodes N bytes of the coded stream into out; returns the number decoded.
uint32_t DecodeStream(const uint8_t* stream, size_t streamSize, uint32_t count, uint8_t* out,
                      UnpackResult& result, FILE* report) {
    auto model = std::make_unique<PpmModel>();
    PpmModelInit(*model);
    RangeDecoder decoder;
    uint16_t crc = 0;
    uint32_t done = 0;
    if (count > 0) {
        int b = decoder.Start(stream, streamSize);
        PpmFirstByte(*model, static_cast<uint8_t>(b));
        for (;;) {
            PpmPushHistory(*model, static_cast<uint8_t>(b));
            out[done++] = static_cast<uint8_t>(b);
            crc = Crc16Update(crc, static_cast<uint8_t>(b));
            if (report != nullptr && done % kProgressStep == 0) {
                std::fprintf(report, "%3ld %% \b\b\b\b\b\b",
                             static_cast<long>(static_cast<uint64_t>(done) * 100 / count));
            }
            if (done == count) {
                break;
            }
            b = PpmCodeByte(*model, decoder, 0);
            if (b < 0) {
                result.stalled = true;
                break;
            }
        }
    }
    result.crc = crc;
    result.truncated = decoder.overrun > 0;
    result.streamBytesRead = decoder.position;
    result.stats = PpmModelStats(*model);
    return done;
}

void WriteReport(FILE* report, const UnpackResult& r, size_t packedSize, uint32_t count) {
    if (report == nullptr) {
        return;
    }
    std::fprintf(report, "Done   ");
    std::fprintf(report, "\nTime      : %.2f sec\n", r.seconds);
    if (r.seconds > 0) {
        std::fprintf(report, "Speed     : %ld kB/sec\n",
                     static_cast<long>(static_cast<double>(count) / (r.seconds * 1000)));
    }
    // The label stands even when the time is too short to give a speed.
    std::fprintf(report, "CRC       : %s", r.crcMatches ? "OK\n" : "ERROR\n");
    const double ratio =
        static_cast<double>(packedSize) * 100 / static_cast<double>(count == 0 ? 1 : count);
    std::fprintf(report, "Ratio     : %.2f %%\n            %.4f bpc\n", ratio, ratio * 8 * 0.01);
    std::fprintf(report, "Compressed: %ld\n", static_cast<long>(packedSize));
    std::fprintf(report, "Extracted : %ld\n", static_cast<long>(count));
}

}  // namespace

int UnpackPictureData(const uint8_t* pack, size_t size, UnpackResult& result, FILE* report) {
    result = UnpackResult{};
    PackedPictureHeader& h = result.header;
    if (pack == nullptr || !ParseHeader(pack, size, h, result.error)) {
        return 0;
    }
    const size_t packedSize = size - kPackHeaderSize;
    if (report != nullptr) {
        std::fprintf(report, "Using %ld MB memory model\n\n", PpmMemoryMegabytes());
        std::fprintf(report, "Progress  : ");
    }
    const std::clock_t started = std::clock();
    result.coefficients.assign(h.count, 0);
    const uint32_t done = DecodeStream(pack + kPackPrefixSize, size - kPackPrefixSize, h.count,
                                       result.coefficients.data(), result, report);
    result.seconds = static_cast<double>(std::clock() - started) / CLOCKS_PER_SEC;
    result.crcMatches = result.crc == h.crc && done == h.count && !result.truncated;
    WriteReport(report, result, packedSize, done);

    const size_t width = static_cast<size_t>(h.width), height = static_cast<size_t>(h.height);
    const size_t pixelBytes = 2 * width * height;
    result.bitmap.assign(kPackHeaderSize + pixelBytes, 0);
    uint8_t* header = result.bitmap.data();
    uint8_t* pixels = header + kPackHeaderSize;
    PlaceTiles(result.coefficients.data(), result.coefficients.size(), h.width, h.height, pixels);
    InverseTransform(pixels, h.width, h.height);
    // Widen every row to 2 W bytes, from the last row back so nothing is overwritten early.
    for (size_t row = height; row-- > 0;) {
        std::memmove(pixels + row * 2 * width, pixels + row * width, width);
        std::memset(pixels + row * 2 * width + width, 255, width);
    }
    std::memcpy(header, h.bitmapHeader, kPackHeaderSize);
    WriteLe32(header + 2, static_cast<uint32_t>(kPackHeaderSize + pixelBytes));
    WriteLe32(header + 10, static_cast<uint32_t>(kPackHeaderSize));
    WriteLe32(header + 18, static_cast<uint32_t>(2 * width));
    WriteLe32(header + 22, static_cast<uint32_t>(height));
    WriteLe32(header + 34, static_cast<uint32_t>(pixelBytes));
    return 1;
}

long PictureUnpackWithResult(const char* packPath, const char* bitmapPath, UnpackResult& result,
                             FILE* report) {
    result = UnpackResult{};
    std::vector<uint8_t> pack;
    const FileStatus read = ReadWholeFile(packPath, kPackMaxFileSize, &pack);
    if (read.outcome != kFileOk) {
        result.error = FileProblem(read, "the pack");
        return 0;
    }
    if (!UnpackPictureData(pack.data(), pack.size(), result, report)) {
        return 0;
    }
    // Written beside the path and renamed into place: a failed write leaves
    // what was there before.
    const FileStatus written =
        WriteFileReplacing(bitmapPath, result.bitmap.data(), result.bitmap.size());
    if (written.outcome != kFileOk) {
        result.error = FileProblem(written, "the bitmap");
        return 0;
    }
    return static_cast<long>(result.bitmap.size() - kPackHeaderSize);
}

long PictureUnpack(const char* packPath, const char* bitmapPath) {
    UnpackResult result;
    return PictureUnpackWithResult(packPath, bitmapPath, result, stdout);
}
