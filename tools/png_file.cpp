#include "tools/png_file.h"

#include <png.h>

#include <cstring>

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
    const int written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return written != 0 ? 1 : 0;
}

int ReadPngFile(const std::string& path, int32_t& width, int32_t& height,
                std::vector<uint8_t>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
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
