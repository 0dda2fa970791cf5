#include "scene/moon_picture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "scene/scene_textures.h"
#include "tests/scene/picture_files.h"

namespace {

uint8_t At(const std::vector<uint8_t>& pixels, int32_t width, int32_t column, int32_t row) {
    return pixels[static_cast<size_t>(row) * width + column];
}

TEST(ResamplePicture, HalfTakesEverySecondPixelOfEverySecondRow) {
    const std::vector<uint8_t> original = PatternPixels(16, 8);
    std::vector<uint8_t> pixels = original;
    int32_t width = 16;
    int32_t height = 8;
    ResamplePicture(0.5, pixels, width, height);
    ASSERT_EQ(width, 8);
    ASSERT_EQ(height, 4);
    ASSERT_EQ(pixels.size(), 32u);
    for (int32_t i = 0; i < height; ++i) {
        for (int32_t j = 0; j < width; ++j) {
            EXPECT_EQ(At(pixels, width, j, i), At(original, 16, 2 * j, 2 * i)) << j << "," << i;
        }
    }
}

TEST(ResamplePicture, InterpolatesAndReadsPastTheLastColumnAsTheLast) {
    // A ramp 0, 40, 80, 120 along each row: bilinear sampling reproduces the
    // line between samples, and stays at the last value past the end.
    std::vector<uint8_t> pixels;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            pixels.push_back(static_cast<uint8_t>(40 * c));
        }
    }
    int32_t width = 4;
    int32_t height = 4;
    ResamplePicture(1.5, pixels, width, height);
    ASSERT_EQ(width, 6);
    ASSERT_EQ(height, 6);
    // 40 * j / 1.5 truncated, and 120 past the end (the weights of the two
    // equal samples may sum to just below 1, so 119 is as good).
    const int expected[6] = {0, 26, 53, 80, 106, 120};
    for (int32_t i = 0; i < height; ++i) {
        for (int32_t j = 0; j < width; ++j) {
            EXPECT_NEAR(At(pixels, width, j, i), expected[j], j == 5 ? 1 : 0) << j << "," << i;
        }
    }
}

TEST(LimbMask, CentreLimbAndPole) {
    const std::vector<uint8_t> mask = LimbMask(1024, 512);
    ASSERT_EQ(mask.size(), 1024u * 512u);
    EXPECT_EQ(At(mask, 1024, 256, 256), 255);  // centre of the near side
    EXPECT_EQ(At(mask, 1024, 0, 256), 63);     // limb meridian on the equator: t = 0.5
    EXPECT_EQ(At(mask, 1024, 0, 0), 0);        // pole
    EXPECT_EQ(At(mask, 1024, 256, 0), 63);     // pole on the central meridian: t = 0.5
    for (int32_t x = 0; x < 512; x += 17) {
        for (int32_t y = 0; y < 512; y += 31) {
            EXPECT_EQ(At(mask, 1024, x, y), At(mask, 1024, x + 512, y));  // both halves alike
        }
    }
}

TEST(LimbMask, TallerThanHalfTheWidthIsZeroWhereTheDiscEnds) {
    const std::vector<uint8_t> mask = LimbMask(8, 8);
    ASSERT_EQ(mask.size(), 64u);
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(At(mask, 8, x, 0), 0);  // |y - 4| > c = 2
        EXPECT_EQ(At(mask, 8, x, 7), 0);
    }
    EXPECT_EQ(At(mask, 8, 2, 4), 255);
    EXPECT_TRUE(LimbMask(1, 4) == std::vector<uint8_t>(4, 0));
    EXPECT_TRUE(LimbMask(0, 0).empty());
}

TEST(GlowRamps, LimbGlowIsAThinBandAboutTheMiddleRow) {
    const std::vector<uint8_t> ramp = LimbGlowRamp(256, 128);
    ASSERT_EQ(ramp.size(), 256u * 128u);
    for (int32_t r = 0; r < 128; ++r) {
        const uint8_t row = At(ramp, 256, 0, r);
        for (int32_t x = 1; x < 256; ++x) {
            ASSERT_EQ(At(ramp, 256, x, r), row) << "row " << r << " is not constant";
        }
        if (r < 54 || r > 74 || r == 64) {
            EXPECT_EQ(row, 0) << r;
        } else {
            EXPECT_GT(row, 0) << r;
            EXPECT_LE(row, 40) << r;
        }
    }
    EXPECT_EQ(At(ramp, 256, 0, 54), 39);
    EXPECT_EQ(At(ramp, 256, 0, 74), 39);
    EXPECT_LT(At(ramp, 256, 0, 63), At(ramp, 256, 0, 60));  // rises away from the middle
}

TEST(GlowRamps, FlareGlowFallsByTwoPerRowToTheMiddle) {
    const std::vector<uint8_t> ramp = FlareGlowRamp();
    ASSERT_EQ(ramp.size(), 32u * 16u);
    const int expected[16] = {16, 14, 12, 10, 8, 6, 4, 2, 0, 2, 4, 6, 8, 10, 12, 14};
    for (int32_t r = 0; r < 16; ++r) {
        for (int32_t x = 0; x < 32; ++x) {
            EXPECT_EQ(At(ramp, 32, x, r), expected[r]) << x << "," << r;
        }
    }
}

class SceneTexturePictures : public ::testing::Test {
  protected:
    std::string folder = TemporaryFolder();
    std::string Path(const char* name) const { return folder + "/" + name; }
};

void ExpectGlowTextures(const SceneTextureImages& images) {
    EXPECT_EQ(images.limbGlow.size(),
              static_cast<size_t>(images.limbGlowWidth) * images.limbGlowHeight * 4);
    EXPECT_EQ(images.flareGlow.size(), 32u * 16u * 4u);
    EXPECT_EQ(images.flareGlow[3], 16);   // alpha of row 0
    EXPECT_EQ(images.flareGlow[0], 255);  // white
}

TEST_F(SceneTexturePictures, LargePictureIsHalvedAndInverted) {
    const std::vector<uint8_t> pixels = PatternPixels(2048, 1024);
    WritePicture(Path("large.bmp"), {2048, 1024}, pixels);
    const SceneTextureImages images =
        PrepareSceneTextures(false, Path("large.bmp").c_str(), "null");
    EXPECT_EQ(images.sizes.pictureWidth, 2048);
    EXPECT_EQ(images.sizes.pictureHeight, 1024);
    ASSERT_EQ(images.sizes.moonWidth, 1024);
    ASSERT_EQ(images.sizes.moonHeight, 512);
    EXPECT_EQ(images.sizes.pixelCount, 1024 * 512);
    ASSERT_EQ(images.moon.size(), 1024u * 512u * 4u);
    const std::vector<uint8_t> mask = LimbMask(1024, 512);
    for (int32_t i = 0; i < 512; i += 7) {
        for (int32_t j = 0; j < 1024; j += 5) {
            const size_t texel = (static_cast<size_t>(i) * 1024 + j) * 4;
            const int expected = 255 - At(pixels, 2048, 2 * j, 2 * i);
            ASSERT_EQ(images.moon[texel], expected) << j << "," << i;
            ASSERT_EQ(images.moon[texel + 1], expected);
            ASSERT_EQ(images.moon[texel + 2], expected);
            ASSERT_EQ(images.moon[texel + 3], mask[static_cast<size_t>(i) * 1024 + j]);
        }
    }
    EXPECT_EQ(images.limbGlowWidth, 256);
    EXPECT_EQ(images.limbGlowHeight, 128);
    EXPECT_EQ(images.limbGlow[0], 255);
    EXPECT_EQ(images.limbGlow[2], 215);
    ExpectGlowTextures(images);
}

TEST_F(SceneTexturePictures, SmallPictureInPreviewIsTakenAsItIs) {
    std::vector<uint8_t> pixels = PatternPixels(256, 128);
    pixels.push_back(1);  // two trailing bytes past the picture
    pixels.push_back(2);
    WritePicture(Path("small.bmp"), {256, 128}, pixels);
    const SceneTextureImages images = PrepareSceneTextures(true, "null", Path("small.bmp").c_str());
    ASSERT_EQ(images.sizes.moonWidth, 256);
    ASSERT_EQ(images.sizes.moonHeight, 128);
    EXPECT_EQ(images.sizes.pixelCount, 256 * 128);
    ASSERT_EQ(images.moon.size(), 256u * 128u * 4u);
    for (size_t i = 0; i < 256u * 128u; ++i) {
        ASSERT_EQ(images.moon[4 * i], pixels[i]) << i;
    }
    ExpectGlowTextures(images);
}

TEST_F(SceneTexturePictures, WideAndNarrowPicturesScaleOnlyAbove2048) {
    const struct {
        int32_t width, height, moonWidth, moonHeight;
    } cases[] = {{4096, 2048, 2048, 1024}, {1024, 512, 1024, 512}, {2048, 1024, 1024, 512}};
    for (const auto& c : cases) {
        WritePicture(Path("picture.bmp"), {c.width, c.height},
                     std::vector<uint8_t>(static_cast<size_t>(c.width) * c.height, 100));
        const SceneTextureImages images =
            PrepareSceneTextures(false, Path("picture.bmp").c_str(), "null");
        EXPECT_EQ(images.sizes.moonWidth, c.moonWidth) << c.width;
        EXPECT_EQ(images.sizes.moonHeight, c.moonHeight) << c.width;
        EXPECT_EQ(images.sizes.pixelCount, c.moonWidth * c.moonHeight) << c.width;
        EXPECT_EQ(images.limbGlowWidth, c.width / 8);
        ASSERT_EQ(images.moon.size(), static_cast<size_t>(c.moonWidth) * c.moonHeight * 4);
        EXPECT_EQ(images.moon[4 * (c.moonWidth / 4 + c.moonWidth * (c.moonHeight / 2))], 155);
    }
}

TEST_F(SceneTexturePictures, UnusablePicturesLeaveTheMoonUntextured) {
    const std::vector<uint8_t> some(64 * 32, 9);
    const struct {
        const char* what;
        PictureLayout layout;
    } cases[] = {
        {"cut inside the headers", {64, 32, 8, 1078, 30}},
        {"zero width", {0, 32}},
        {"negative width", {-64, 32}},
        {"negative height (rows top-down)", {64, -32}},
        {"huge width", {1 << 30, 2}},
        {"huge area", {16384, 16384}},
        {"24 bits per pixel", {64, 32, 24}},
        {"1 bit per pixel", {64, 32, 1}},
        // Too narrow for the limb mask to keep any pixel: the Moon would vanish.
        {"1 pixel wide", {1, 32}},
        {"3 pixels wide, odd height", {3, 1}},
        {"3 pixels wide, even height", {3, 2}},
    };
    for (const auto& c : cases) {
        WritePicture(Path("bad.bmp"), c.layout, some);
        const SceneTextureImages images = PrepareSceneTextures(false, Path("bad.bmp").c_str(), "");
        EXPECT_EQ(images.sizes.pixelCount, 0) << c.what;
        EXPECT_TRUE(images.moon.empty()) << c.what;
        EXPECT_EQ(images.sizes.pictureWidth, 2048) << c.what;
        EXPECT_EQ(images.sizes.pictureHeight, 1024) << c.what;
        EXPECT_EQ(images.limbGlowWidth, 256) << c.what;
        ExpectGlowTextures(images);
    }
    for (const char* path : {"null", "", "/nonexistent/moon.bmp"}) {
        const SceneTextureImages images = PrepareSceneTextures(false, path, path);
        EXPECT_EQ(images.sizes.pixelCount, 0) << path;
        EXPECT_EQ(images.sizes.pictureWidth, 2048) << path;
        EXPECT_EQ(images.limbGlowHeight, 128) << path;
        ExpectGlowTextures(images);
    }
    // Special files are refused before any read: the folder, a FIFO that
    // no one writes (a read would wait for ever) and an endless device.
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    alarm(10);  // ends the test instead of hanging it
    for (const std::string& path : {folder, Path("fifo"), std::string("/dev/zero")}) {
        PictureHeader header;
        EXPECT_EQ(ReadPictureHeader(path.c_str(), header), 0) << path;
        uint8_t buffer[16];
        EXPECT_EQ(ReadPicturePixels(path.c_str(), buffer, sizeof buffer), 0) << path;
        EXPECT_EQ(PrepareSceneTextures(false, path.c_str(), "").sizes.pixelCount, 0) << path;
    }
    alarm(0);
}

TEST_F(SceneTexturePictures, TheNarrowestUsablePictureHasAVisibleMask) {
    // Four pixels wide is the first width whose mask keeps some alpha at
    // every height, so such a picture is drawn.
    for (int32_t height : {1, 2, 3}) {
        WritePicture(Path("narrow.bmp"), {kPictureMinWidth, height},
                     std::vector<uint8_t>(static_cast<size_t>(kPictureMinWidth) * height, 9));
        const SceneTextureImages images =
            PrepareSceneTextures(false, Path("narrow.bmp").c_str(), "");
        ASSERT_EQ(images.sizes.pixelCount, kPictureMinWidth * height) << height;
        bool visible = false;
        for (size_t i = 3; i < images.moon.size(); i += 4) {
            visible = visible || images.moon[i] != 0;
        }
        EXPECT_TRUE(visible) << height;
    }
}

TEST_F(SceneTexturePictures, PixelOffsetPastTheEndReadsNothing) {
    PictureLayout layout{64, 32};
    layout.pixelOffset = 1 << 20;
    WritePicture(Path("far.bmp"), layout, {});
    const SceneTextureImages images = PrepareSceneTextures(false, Path("far.bmp").c_str(), "");
    EXPECT_EQ(images.sizes.pixelCount, 0);
    EXPECT_TRUE(images.moon.empty());
}

TEST_F(SceneTexturePictures, ShortFileFillsTheRestAsZeroBytes) {
    std::vector<uint8_t> pixels(100);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>(i + 1);
    }
    WritePicture(Path("short.bmp"), {64, 32}, pixels);
    const SceneTextureImages images = PrepareSceneTextures(false, Path("short.bmp").c_str(), "");
    EXPECT_EQ(images.sizes.pixelCount, 100);
    ASSERT_EQ(images.moon.size(), 64u * 32u * 4u);
    for (size_t i = 0; i < 64u * 32u; ++i) {
        ASSERT_EQ(images.moon[4 * i], i < 100 ? 255 - pixels[i] : 255) << i;
    }
    uint8_t buffer[256];
    EXPECT_EQ(ReadPicturePixels(Path("short.bmp").c_str(), buffer, 40), 40);
    EXPECT_EQ(buffer[39], 40);
    EXPECT_EQ(ReadPicturePixels("/nonexistent", buffer, 40), 0);
}

}  // namespace
