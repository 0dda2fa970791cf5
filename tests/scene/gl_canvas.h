#pragma once

// An offscreen canvas for drawing tests: the scene's projection, depth test
// and light on an EGL pbuffer, and pixel reads in world coordinates.

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/egl_offscreen.h"
#include "scene/scene_state.h"
#include "scene/scene_view.h"
#include "scene/solid_sphere.h"

struct Rgb {
    int r, g, b;
    int Grey() const { return (r + g + b) / 3; }
};

class GlCanvas : public ::testing::Test {
  protected:
    static constexpr int32_t kWidth = 250;  // two pixels per world unit
    static constexpr int32_t kHeight = 200;

    OffscreenContext offscreen;
    std::vector<uint8_t> pixels;
    GLUquadric* quadric = nullptr;

    void SetUp() override {
        sceneState = SceneState{};
        ASSERT_EQ(OffscreenContextCreate(offscreen, kWidth, kHeight), 1);
        SolidSphereForget();
        SceneSetUpProjection();
        glEnable(GL_DEPTH_TEST);
        SceneSetUpLight();
        quadric = gluNewQuadric();
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricTexture(quadric, GL_TRUE);
        ClearToSky();
    }

    void TearDown() override {
        if (quadric != nullptr) {
            gluDeleteQuadric(quadric);
        }
        SolidSphereForget();
        OffscreenContextDestroy(offscreen);
    }

    void ClearToSky() {
        glClearColor(sceneState.skyColour[0], sceneState.skyColour[1], sceneState.skyColour[2],
                     1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void Read() { ASSERT_EQ(OffscreenReadPixels(offscreen, pixels), 1); }

    // The pixel that shows world point (x, y).
    Rgb At(double x, double y) const {
        const int32_t column = static_cast<int32_t>(x / 125.0 * kWidth);
        const int32_t row = kHeight - 1 - static_cast<int32_t>(y / 100.0 * kHeight);
        const size_t i = (static_cast<size_t>(row) * kWidth + column) * 4;
        return {pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    // The brightest grey level in a square of world units about (x, y).
    int BrightestNear(double x, double y, double reach) const {
        int best = 0;
        for (double dx = -reach; dx <= reach; dx += 0.5) {
            for (double dy = -reach; dy <= reach; dy += 0.5) {
                const double px = x + dx;
                const double py = y + dy;
                if (px >= 0 && px < 125 && py >= 0 && py < 100) {
                    best = std::max(best, At(px, py).Grey());
                }
            }
        }
        return best;
    }
};

inline constexpr int kSkyGrey = (5 + 10 + 30) / 3;
