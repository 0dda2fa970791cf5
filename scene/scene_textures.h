#pragma once

#include <cstdint>
#include <vector>

// The scene's three textures: the Moon map with its softened edge, the
// limb-glow band and the flare glow. Built once at start-up.
struct SceneTextures {
    unsigned int moonTexture = 0;
    unsigned int limbGlowTexture = 0;
    unsigned int flareGlowTexture = 0;
    int32_t pictureWidth = 0;   // W from the picture's header, or the fallback 2048
    int32_t pictureHeight = 0;  // H from the picture's header, or the fallback 1024
    int32_t moonWidth = 0;      // Moon texture size after resampling
    int32_t moonHeight = 0;
    int32_t pixelCount = 0;  // Moon-map pixels available; 0 draws the Moon untextured
};

extern SceneTextures sceneTextures;

// The texels before upload, all RGBA rows from the bottom.
struct SceneTextureImages {
    SceneTextures sizes;        // texture names left at 0
    std::vector<uint8_t> moon;  // moonWidth x moonHeight, empty when pixelCount is 0
    int32_t limbGlowWidth = 0;
    int32_t limbGlowHeight = 0;
    std::vector<uint8_t> limbGlow;
    std::vector<uint8_t> flareGlow;  // kFlareGlowWidth x kFlareGlowHeight
};

// Reads the picture (the small one in preview, else the large one),
// resamples it and makes the texels of all three textures. A picture that
// cannot be opened, is too short for its headers, or whose header is not
// usable is treated as missing: sizes 2048 x 1024, pixelCount 0.
SceneTextureImages PrepareSceneTextures(bool preview, const char* largePath, const char* smallPath);

// Prepares and uploads the textures into `sceneTextures` with the current GL
// context; the limb glow is not uploaded in preview. Leaves GL_TEXTURE_2D on.
void BuildSceneTextures(bool preview, const char* largePath, const char* smallPath);

// Makes an empty RGBA texture of width x height to draw into off screen,
// sampled nearest so that texel centres copy onto pixel centres, clamped at
// its edges. The texture bound before the call stays bound. Returns its name.
unsigned int MakeOffscreenTexture(int32_t width, int32_t height);
