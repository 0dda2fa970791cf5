// nocturo-pack INPUT.bmp OUTPUT.pack
// Packs a 1024 x 1024 (or any multiple of 32) 8-bit grey bitmap, the near side
// as the large moon picture stores it, into the packed picture format, then
// decodes the result again to check it and prints the figures.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "installer/picture_pack.h"
#include "installer/picture_transform.h"
#include "installer/picture_unpack.h"
#include "platform/regular_file.h"
#include "tools/file_arguments.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "nocturo-pack: %s\n", message.c_str());
    return 1;
}

const char kUsage[] = "usage: nocturo-pack INPUT.bmp OUTPUT.pack";
const char kHelp[] =
    "Packs an 8-bit grey bitmap whose sides are multiples of 32 (the near side as\n"
    "the large moon picture stores it, 1024 x 1024) into the packed picture format,\n"
    "decodes the pack again to check it, and prints its size and its PSNR.\n"
    "\n"
    "  -h, --help    this text\n"
    "  --version     the version\n"
    "\n"
    "Example: nocturo-pack build/resources/moon_near_1024x1024.bmp moon_1024x1024.pack\n"
    "Exit status: 0, or 1 on any error (one line on standard error).\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    int status = ParseFileArguments(argc, argv, "nocturo-pack", kUsage, kHelp, 1, &files);
    if (status >= 0) {
        return status;
    }
    if (files.size() != 2) {
        return Fail(kUsage);
    }
    const char* input = files[0].c_str();
    const char* output = files[1].c_str();
    int width = 0, height = 0;
    std::vector<uint8_t> picture;
    std::string error;
    if (!ReadGreyBitmap(input, width, height, picture, error)) {
        return Fail(error);
    }
    std::vector<uint8_t> pack;
    if (!PackPicture(picture.data(), width, height, pack)) {
        return Fail("the picture's width and height must be positive multiples of 32");
    }
    UnpackResult check;
    if (!UnpackPictureData(pack.data(), pack.size(), check, nullptr) || !check.crcMatches) {
        return Fail("the pack does not decode back (internal error)");
    }
    // Written beside the output and renamed into place: a failed write
    // leaves what was there before.
    const FileStatus written = WriteFileReplacing(output, pack.data(), pack.size());
    if (written.outcome != kFileOk) {
        return Fail(FileProblem(written, output));
    }
    // The decoded left half against the source picture.
    std::vector<uint8_t> decoded(picture.size());
    const uint8_t* pixels = check.bitmap.data() + kPackHeaderSize;
    for (int row = 0; row < height; ++row) {
        std::copy_n(pixels + static_cast<size_t>(row) * 2 * width, width,
                    decoded.begin() + static_cast<size_t>(row) * width);
    }
    std::printf("Packed    : %zu bytes (%.4f bpc)\n", pack.size(),
                8.0 * static_cast<double>(pack.size()) / static_cast<double>(picture.size()));
    std::printf("PSNR      : %.2f dB\n",
                PeakSignalToNoise(picture.data(), decoded.data(), picture.size()));
    return 0;
}
