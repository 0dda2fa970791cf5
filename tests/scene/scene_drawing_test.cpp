#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "scene/moon_pass.h"
#include "scene/moon_picture.h"
#include "scene/scene_textures.h"
#include "scene/solid_sphere.h"
#include "scene/star_field.h"
#include "scene/star_pass.h"
#include "tests/scene/gl_canvas.h"
#include "tests/scene/picture_files.h"

namespace {

constexpr double kFar = 1e19;
constexpr double kCentreX = 62.5;
constexpr double kCentreY = 50;
// The night side: 8 % ambient of the Moon's colour.
constexpr int kAmbientGrey = static_cast<int>(0.08 * 0.9978 * 255);

TEST(OffscreenContext, DrawsAndReadsWithoutADisplay) {
    OffscreenContext offscreen;
    ASSERT_EQ(OffscreenContextCreate(offscreen, 64, 32), 1);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, 64, 1);  // only the bottom row turns green
    glEnable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<uint8_t> rgba;
    ASSERT_EQ(OffscreenReadPixels(offscreen, rgba), 1);
    ASSERT_EQ(rgba.size(), 64u * 32u * 4u);
    EXPECT_EQ(rgba[0], 255);                  // top row: red
    EXPECT_EQ(rgba[(31 * 64) * 4 + 1], 255);  // bottom row: green
    EXPECT_EQ(rgba[(31 * 64) * 4 + 0], 0);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    OffscreenContextDestroy(offscreen);
    EXPECT_EQ(OffscreenReadPixels(offscreen, rgba), 0);

    for (const auto& size : {std::pair{0, 10}, {10, -1}, {kOffscreenMaxSide + 1, 10}}) {
        EXPECT_EQ(OffscreenContextCreate(offscreen, size.first, size.second), 0);
        EXPECT_EQ(offscreen.context, nullptr);
    }
}

class SceneTextureUpload : public GlCanvas {
  protected:
    std::string folder = TemporaryFolder();

    static GLint Width(unsigned int texture) {
        GLint width = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        return width;
    }
};

TEST_F(SceneTextureUpload, LargePictureMakesAllThreeTextures) {
    const std::string path = folder + "/large.bmp";
    WritePicture(path, {2048, 1024}, PatternPixels(2048, 1024));
    BuildSceneTextures(false, path.c_str(), "null");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Width(sceneTextures.moonTexture), 1024);
    EXPECT_EQ(Width(sceneTextures.limbGlowTexture), 256);
    EXPECT_EQ(Width(sceneTextures.flareGlowTexture), 32);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, sceneTextures.moonTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);

    const SceneTextureImages images = PrepareSceneTextures(false, path.c_str(), "null");
    std::vector<uint8_t> uploaded(images.moon.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_TRUE(uploaded == images.moon);
}

TEST_F(SceneTextureUpload, PreviewHasNoLimbGlowAndAMissingPictureNoMoonTexture) {
    const std::string path = folder + "/small.bmp";
    WritePicture(path, {256, 128}, PatternPixels(256, 128));
    BuildSceneTextures(true, "null", path.c_str());
    EXPECT_EQ(Width(sceneTextures.moonTexture), 256);
    EXPECT_EQ(Width(sceneTextures.limbGlowTexture), 0);
    EXPECT_EQ(Width(sceneTextures.flareGlowTexture), 32);

    BuildSceneTextures(false, (folder + "/absent.bmp").c_str(), path.c_str());
    EXPECT_EQ(sceneTextures.pixelCount, 0);
    EXPECT_EQ(Width(sceneTextures.moonTexture), 0);
    EXPECT_EQ(Width(sceneTextures.limbGlowTexture), 256);
    EXPECT_EQ(Width(sceneTextures.flareGlowTexture), 32);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

class MoonLighting : public GlCanvas {
  protected:
    void DrawMoon(double sx, double sy, double sz) {
        const double sun[3] = {sx, sy, sz};
        MoonPass(quadric, sun);
        Read();
    }
};

TEST_F(MoonLighting, SunBehindTheViewerLightsTheWholeDisc) {
    BuildSceneTextures(false, "null", "null");
    DrawMoon(0, 0, kFar);
    for (const auto& p : {std::pair{0.0, 0.0},
                          {-30.0, 0.0},
                          {30.0, 0.0},
                          {0.0, 30.0},
                          {0.0, -30.0},
                          {20.0, 20.0},
                          {-20.0, -20.0}}) {
        EXPECT_GT(At(kCentreX + p.first, kCentreY + p.second).Grey(), 100)
            << p.first << "," << p.second;
    }
    EXPECT_GT(At(kCentreX, kCentreY).Grey(), 240);
    EXPECT_EQ(At(5, 5).Grey(), kSkyGrey);  // the sky outside the disc
}

TEST_F(MoonLighting, SunBehindTheMoonLeavesOnlyTheAmbient) {
    BuildSceneTextures(false, "null", "null");
    DrawMoon(0, 0, -kFar);
    for (const auto& p : {std::pair{0.0, 0.0}, {-30.0, 0.0}, {30.0, 0.0}, {0.0, 30.0}}) {
        const Rgb c = At(kCentreX + p.first, kCentreY + p.second);
        EXPECT_NEAR(c.r, kAmbientGrey, 2) << p.first << "," << p.second;
        EXPECT_NEAR(c.b, kAmbientGrey, 2) << p.first << "," << p.second;
    }
}

TEST_F(MoonLighting, QuarterIsLitOnTheSideOfTheSun) {
    BuildSceneTextures(false, "null", "null");
    for (const double side : {1.0, -1.0}) {
        ClearToSky();
        DrawMoon(side * kFar, 0, 0);
        const int sunward = At(kCentreX + side * 25, kCentreY).Grey();
        const int away = At(kCentreX - side * 25, kCentreY).Grey();
        EXPECT_GT(sunward, 150) << side;
        EXPECT_NEAR(away, kAmbientGrey, 2) << side;
    }
}

TEST_F(MoonLighting, TextureShowsTheNearSideAndSoftensTheEdge) {
    // The large picture is a negative: byte 0 shows white, 255 black. The
    // left quarter of the near side (columns 0 ... W/8) is dark.
    const std::string path = TemporaryFolder() + "/moon.bmp";
    std::vector<uint8_t> picture(2048 * 1024, 0);
    for (int32_t row = 0; row < 1024; ++row) {
        for (int32_t column = 0; column < 2048; ++column) {
            if (column >= 1024 || column < 256) {
                picture[static_cast<size_t>(row) * 2048 + column] = 255;
            }
        }
    }
    WritePicture(path, {2048, 1024}, picture);
    BuildSceneTextures(false, path.c_str(), "null");
    ASSERT_GT(sceneTextures.pixelCount, 0);
    DrawMoon(0, 0, kFar);
    EXPECT_GT(At(kCentreX + 10, kCentreY).Grey(), 200);  // west of the centre: white
    EXPECT_LT(At(kCentreX - 30, kCentreY).Grey(), 40);   // map columns < W/8: dark, left
    // Near the rim the mask lets the sky through more and more.
    const int inner = At(kCentreX + 20, kCentreY).Grey();
    const int rim = At(kCentreX + 37.5, kCentreY).Grey();
    EXPECT_LT(rim, inner - 50);
    EXPECT_GT(rim, kSkyGrey);
}

class StarDrawing : public GlCanvas {
  protected:
    void SetUp() override {
        GlCanvas::SetUp();
        BuildSceneTextures(false, "null", "null");
        std::srand(5);
        CreateStarField();
    }

    // Puts star i on a grid away from the flare's start and the Moon.
    static void PlaceOnGrid() {
        for (int32_t i = 0; i < kTwinkleStars; ++i) {
            starField.x[i] = 5 + (i % 10) * 2.5;
            starField.y[i] = 55 + (i / 10) * 4.5;
            starField.size[i] = 0.9;
        }
    }
};

TEST_F(StarDrawing, EveryStarShowsInFullScreenAndTheFirstFifthInPreview) {
    PlaceOnGrid();
    for (const bool preview : {false, true}) {
        sceneState.preview = preview;
        ClearToSky();
        StarPass(quadric);
        Read();
        for (int32_t i = 0; i < kTwinkleStars; ++i) {
            const int grey = BrightestNear(starField.x[i], starField.y[i], 0.5);
            if (!preview || i < kTwinkleStars / 5) {
                EXPECT_GT(grey, kSkyGrey + 40) << "star " << i << " preview " << preview;
            } else {
                EXPECT_EQ(grey, kSkyGrey) << "star " << i << " preview " << preview;
            }
        }
    }
    // One display list per distinct core radius: 0.1 s in full screen, 0.2 s in preview.
    EXPECT_EQ(SolidSphereListCount(), 2);
}

TEST_F(StarDrawing, FlareAppearsOnTheFourteenthTickAtItsStartPlace) {
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        starField.x[i] = 120;  // out of the way
        starField.y[i] = 95;
    }
    // Nothing there until the 14th tick opens the window; from then on the
    // flare swells at (20, 30).
    int previous = 0;
    for (int tick = 1; tick <= 40; ++tick) {
        StarAnimationStep();
        ClearToSky();
        StarPass(quadric);
        Read();
        const int grey = BrightestNear(20, 30, 1.0);
        if (tick < 14) {
            EXPECT_EQ(grey, kSkyGrey) << tick;
        } else {
            EXPECT_GE(grey, previous) << tick;
        }
        previous = grey;
    }
    EXPECT_GT(previous, kSkyGrey + 20);
    // At the height of the flare the glow is wide and bright.
    while (starField.animationClock < 1.0) {
        StarAnimationStep();
    }
    ClearToSky();
    StarPass(quadric);
    Read();
    EXPECT_GT(BrightestNear(20, 30, 0.5), 150);
    EXPECT_GT(At(20 + 4, 30).Grey(), kSkyGrey + 10);  // inside the glow sphere of radius 8
    EXPECT_EQ(At(20 + 10, 30 + 10).Grey(), kSkyGrey);
}

TEST_F(StarDrawing, MoonHidesTheStarsBehindIt) {
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        starField.x[i] = kCentreX;
        starField.y[i] = kCentreY;
        starField.size[i] = 0.9;
    }
    StarPass(quadric);
    const double sun[3] = {0, 0, -kFar};
    MoonPass(quadric, sun);
    Read();
    EXPECT_NEAR(BrightestNear(kCentreX, kCentreY, 1.0), kAmbientGrey, 2);
}

// The star pass culls the far half of its spheres; that must leave every
// pixel as it is, since each far half lies behind its own near half and
// fails the depth test. Spheres from a fraction of a pixel to 80 pixels
// across, lit like the star cores and textured like the nested flare glow.
TEST_F(StarDrawing, CullingTheFarHalfOfASphereChangesNoPixel) {
    const GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 0.6f};
    const GLfloat coreLight[4] = {1000.0f, 1000.0f, 1000.0f, 1.0f};
    const GLfloat coreAmbient[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    auto draw = [&](bool cull) {
        ClearToSky();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_COLOR_MATERIAL);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, coreAmbient);
        glColor4fv(colour);
        if (cull) {
            glEnable(GL_CULL_FACE);
        }
        glDisable(GL_TEXTURE_2D);
        const double radii[] = {0.05, 0.1, 0.3, 0.7, 1.3, 2.9, 5.3};
        for (int i = 0; i < 7; ++i) {
            glPushMatrix();
            glTranslated(6 + 16 * i, 88, -180);
            glRotated(45.0 * (i % 4 - 2), 0, 0, 1);
            glLightfv(GL_LIGHT0, GL_POSITION, coreLight);
            SolidSphere(radii[i]);
            glPopMatrix();
        }
        glDisable(GL_LIGHT0);
        glBindTexture(GL_TEXTURE_2D, sceneTextures.flareGlowTexture);
        for (const double glow : {0.4, 3.0, 20.0}) {
            glPushMatrix();
            glTranslated(glow < 10 ? 20 + 40 * glow : 80, 45, -170);
            gluSphere(quadric, 0.05 * glow, 4, 4);
            glEnable(GL_TEXTURE_2D);
            for (const double part : {0.2, 0.65, 0.75, 1.0}) {
                gluSphere(quadric, part * glow, part < 0.5 ? 16 : 32, part < 0.5 ? 16 : 32);
            }
            glDisable(GL_TEXTURE_2D);
            glPopMatrix();
        }
        glEnable(GL_LIGHT0);
        glDisable(GL_CULL_FACE);
        Read();
        return pixels;
    };
    const std::vector<uint8_t> whole = draw(false);
    const std::vector<uint8_t> culled = draw(true);
    EXPECT_TRUE(whole == culled);
    int drawn = 0;
    for (size_t i = 0; i < whole.size(); i += 4) {
        drawn += whole[i] != 5 ? 1 : 0;
    }
    EXPECT_GT(drawn, 3000);  // the spheres did draw
}

TEST_F(StarDrawing, SolidSphereCompilesOneListPerRadius) {
    SolidSphere(0.5);
    SolidSphere(0.5);
    EXPECT_EQ(SolidSphereListCount(), 1);
    SolidSphere(0.25);
    EXPECT_EQ(SolidSphereListCount(), 2);
    // A called list draws like the first, compiled one.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslated(30, 30, 0);
    SolidSphere(0.5 * 20);
    glPopMatrix();
    glPushMatrix();
    glTranslated(90, 30, 0);
    SolidSphere(0.5 * 20);
    glPopMatrix();
    Read();
    EXPECT_EQ(SolidSphereListCount(), 3);
    EXPECT_EQ(At(30, 30).Grey(), At(90, 30).Grey());
    EXPECT_GT(At(90, 30).Grey(), 0);
}

}  // namespace
