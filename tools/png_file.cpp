#include "tools/png_file.h"

#include <png.h>

#include <cstring>

#include "platform/regular_file.h"

namespace {

// The largest PNG read back (the tests' reference pictures are far smaller).
constexpr size_t kPngMaxFileSize = 256u << 20;

}  // namespace

int WritePngFile(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
        return 0;
    }
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (size_t i = 0, n = rgb.size() / 3; i < n; ++i) {
        std::memcpy(&rgb[3 * i], &rgba[4 * i], 3);
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Made in memory and then written beside the path and renamed into
    // place: a failed write leaves what was there (libpng's own file writer
    // removes the path when it fails, even a device node).
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return 0;
    }
    std::vector<uint8_t> file(size);
    const int made =
        png_image_write_to_memory(&image, file.data(), &size, 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    if (made == 0) {
        return 0;
    }
    return WriteFileReplacing(path.c_str(), file.data(), size).outcome == kFileOk ? 1 : 0;
}

int ReadPngFile(const std::string& path, int32_t& width, int32_t& height,
                std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> file;
    if (ReadWholeFile(path.c_str(), kPngMaxFileSize, &file).outcome != kFileOk) {
        return 0;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, file.data(), file.size()) == 0) {
        return 0;
    }
    if (image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        return 0;
    }
    image.format = PNG_FORMAT_RGBA;
    rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) == 0) {
        png_image_free(&image);
        return 0;
    }
    width = static_cast<int32_t>(image.width);
    height = static_cast<int32_t>(image.height);
    return 1;
}
