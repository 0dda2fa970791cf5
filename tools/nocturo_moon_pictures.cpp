// nocturo-moon-pictures MAP.jpg [--near OUT.bmp] [--small OUT.bmp]
//
// Makes the project's moon pictures from an equirectangular map of the whole
// Moon (longitude 0 at the middle column, west to the left, north up):
//   --near   the 1024 x 1024 near side as the large picture stores it: a
//            negative, rows bottom-up with the south pole first. It is the
//            source from which the packed picture is made.
//   --small  moon_256x128.bmp: the near side in the left half as a positive,
//            the far side 255.
// The near side (longitudes -90 ... +90) is the middle half of the map's columns.

#include <getopt.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <string>
#include <vector>

#include "installer/picture_pack.h"
#include "platform/regular_file.h"

namespace {

struct JpegFailure {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

// Reads a JPEG as grey levels, row 0 at the top.
bool ReadGreyJpeg(const std::string& path, int& width, int& height, std::vector<uint8_t>& grey) {
    // Opened without waiting on a FIFO or a device, and only a regular file.
    FileHandle handle;
    if (OpenRegularFile(path.c_str(), true, &handle).outcome != kFileOk) {
        return false;
    }
    FILE* f = fdopen(handle.get(), "rb");
    if (f == nullptr) {
        return false;
    }
    handle.Release();  // the stream owns it now
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.base);
    failure.base.error_exit = OnJpegError;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    // The map's pixels are held whole: a header promising more than any
    // map of the Moon needs is refused before anything is allocated.
    if (info.image_width > 16384 || info.image_height > 8192) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return false;
    }
    info.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    grey.assign(static_cast<size_t>(width) * height, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = grey.data() + static_cast<size_t>(info.output_scanline) * width;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return true;
}

// The near side of the map scaled to side x side by box averaging; out has
// rows bottom-up (south first) and row length stride.
void NearSide(const std::vector<uint8_t>& map, int mapWidth, int mapHeight, int side, bool negative,
              uint8_t* out, int stride) {
    const int first = mapWidth / 4, span = mapWidth / 2;
    const int boxX = span / side, boxY = mapHeight / side;
    for (int row = 0; row < side; ++row) {
        const int top = (side - 1 - row) * boxY;  // map rows run north to south
        for (int column = 0; column < side; ++column) {
            const int left = first + column * boxX;
            long sum = 0;
            for (int y = 0; y < boxY; ++y) {
                const uint8_t* p = map.data() + static_cast<size_t>(top + y) * mapWidth + left;
                for (int x = 0; x < boxX; ++x) {
                    sum += p[x];
                }
            }
            const long count = static_cast<long>(boxX) * boxY;
            const int grey = static_cast<int>((sum + count / 2) / count);
            out[static_cast<size_t>(row) * stride + column] =
                static_cast<uint8_t>(negative ? 255 - grey : grey);
        }
    }
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "nocturo-moon-pictures: %s\n", message.c_str());
    return 1;
}

const char kUsage[] = "usage: nocturo-moon-pictures MAP.jpg [--near OUT.bmp] [--small OUT.bmp]";
const char kHelp[] =
    "Makes the moon pictures from an equirectangular grey map of the whole Moon (JPEG):\n"
    "\n"
    "  --near OUT.bmp   the near side as the large picture stores it (1024 x 1024),\n"
    "                   the source of the packed picture\n"
    "  --small OUT.bmp  the small picture of the preview (256 x 128)\n"
    "  -h, --help       this text\n"
    "  --version        the version\n"
    "\n"
    "At least one of --near and --small is needed.\n"
    "Example: nocturo-moon-pictures resources/moon_map_4096x2048.jpg --small moon_256x128.bmp\n"
    "Exit status: 0, or 1 on any error (one line on standard error).\n";

}  // namespace

int main(int argc, char** argv) {
    enum { kNear = 1, kSmall, kVersion };
    static const option kOptions[] = {
        {"near", required_argument, nullptr, kNear},
        {"small", required_argument, nullptr, kSmall},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    std::string mapPath, nearPath, smallPath;
    opterr = 0;
    int c;
    while ((c = getopt_long(argc, argv, ":h", kOptions, nullptr)) != -1) {
        switch (c) {
            case kNear:
                nearPath = optarg;
                break;
            case kSmall:
                smallPath = optarg;
                break;
            case 'h':
                std::printf("%s\n%s", kUsage, kHelp);
                return 0;
            case kVersion:
                std::printf("nocturo-moon-pictures (Nocturo) %s\n", NOCTURO_VERSION);
                return 0;
            default:
                return Fail(kUsage);
        }
    }
    if (optind + 1 == argc) {
        mapPath = argv[optind];
    }
    if (mapPath.empty() || (nearPath.empty() && smallPath.empty())) {
        return Fail(kUsage);
    }
    int width = 0, height = 0;
    std::vector<uint8_t> map;
    if (!ReadGreyJpeg(mapPath, width, height, map)) {
        return Fail("cannot read the JPEG map " + mapPath);
    }
    if (width != 2 * height || height % 1024 != 0) {
        return Fail("the map must be W x W/2 with a height that is a multiple of 1024");
    }
    if (!nearPath.empty()) {
        std::vector<uint8_t> near(1024 * 1024);
        NearSide(map, width, height, 1024, true, near.data(), 1024);
        if (!WriteGreyBitmap(nearPath, 1024, 1024, near.data(), true)) {
            return Fail("cannot write " + nearPath);
        }
    }
    if (!smallPath.empty()) {
        std::vector<uint8_t> small(256 * 128, 255);
        NearSide(map, width, height, 128, false, small.data(), 256);
        if (!WriteGreyBitmap(smallPath, 256, 128, small.data(), true)) {
            return Fail("cannot write " + smallPath);
        }
    }
    return 0;
}
