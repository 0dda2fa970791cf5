#include "scene/scene_textures.h"

#include <GL/gl.h>

#include <algorithm>

#include "scene/moon_picture.h"

SceneTextures sceneTextures;

namespace {

constexpr int32_t kFallbackWidth = 2048;
constexpr int32_t kFallbackHeight = 1024;

void Upload(unsigned int name, int32_t width, int32_t height, const std::vector<uint8_t>& texels) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.empty() ? nullptr : texels.data());
}

}  // namespace

SceneTextureImages PrepareSceneTextures(bool preview, const char* largePath,
                                        const char* smallPath) {
    SceneTextureImages images;
    SceneTextures& sizes = images.sizes;
    const char* path = preview ? smallPath : largePath;

    PictureHeader header;
    const bool usable = ReadPictureHeader(path, header) == 1 && PictureHeaderUsable(header) == 1;
    if (!usable) {
        header.width = kFallbackWidth;
        header.height = kFallbackHeight;
    }
    sizes.pictureWidth = header.width;
    sizes.pictureHeight = header.height;
    sizes.moonWidth = header.width;
    sizes.moonHeight = header.height;

    std::vector<uint8_t> pixels;
    if (usable) {
        // Zero-filled: bytes a short file does not hold read as 0.
        pixels.assign(static_cast<size_t>(header.width) * static_cast<size_t>(header.height), 0);
        sizes.pixelCount = static_cast<int32_t>(
            ReadPicturePixels(path, pixels.data(), static_cast<int64_t>(pixels.size())));
    }

    if (sizes.pixelCount > 0) {
        double factor = 0;
        if (header.width == 2048) {
            factor = 1024.0 / header.width;
        } else if (header.width > 2048) {
            factor = 2048.0 / header.width;
        }
        if (factor > 0) {
            ResamplePicture(factor, pixels, sizes.moonWidth, sizes.moonHeight);
            sizes.pixelCount = sizes.moonWidth * sizes.moonHeight;
        }
    }

    images.limbGlowWidth = header.width / 8;
    images.limbGlowHeight = header.height / 8;
    images.limbGlow =
        PackColourAlpha(255, 255, 215, LimbGlowRamp(images.limbGlowWidth, images.limbGlowHeight));
    images.flareGlow = PackColourAlpha(255, 255, 255, FlareGlowRamp());
    if (sizes.pixelCount > 0) {
        // The large picture holds the near side as a negative.
        images.moon = PackGreyAlpha(pixels, LimbMask(sizes.moonWidth, sizes.moonHeight), !preview);
    }
    return images;
}

void BuildSceneTextures(bool preview, const char* largePath, const char* smallPath) {
    SceneTextureImages images = PrepareSceneTextures(preview, largePath, smallPath);
    sceneTextures = images.sizes;
    unsigned int names[3];
    glGenTextures(3, names);
    sceneTextures.moonTexture = names[0];
    sceneTextures.limbGlowTexture = names[1];
    sceneTextures.flareGlowTexture = names[2];
    if (sceneTextures.pixelCount > 0) {
        Upload(sceneTextures.moonTexture, sceneTextures.moonWidth, sceneTextures.moonHeight,
               images.moon);
    }
    if (!preview) {
        Upload(sceneTextures.limbGlowTexture, images.limbGlowWidth, images.limbGlowHeight,
               images.limbGlow);
    }
    Upload(sceneTextures.flareGlowTexture, kFlareGlowWidth, kFlareGlowHeight, images.flareGlow);
    glEnable(GL_TEXTURE_2D);
}

unsigned int MakeOffscreenTexture(int32_t width, int32_t height) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return texture;
}
