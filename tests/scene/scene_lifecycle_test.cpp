#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ephemeris/observer.h"
#include "platform/egl_offscreen.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "scene/overlay.h"
#include "scene/scene_lifecycle.h"
#include "scene/scene_state.h"
#include "scene/solid_sphere.h"
#include "shell/headless_host.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 128;

class SceneLifecycleTest : public ::testing::Test {
  protected:
    OffscreenContext offscreen;
    std::vector<uint8_t> pixels;
    // SceneInit moves the observer to the stored place; it is put back.
    const Observer savedObserver = observer;

    void SetUp() override {
        sceneState = SceneState{};
        MessageReset();
        HeadlessSetPreview(0);
        ASSERT_EQ(OffscreenContextCreate(offscreen, kWidth, kHeight), 1);
        glViewport(0, 0, kWidth, kHeight);
    }
    void TearDown() override {
        HeadlessSetViewports(nullptr, 0);
        OffscreenContextDestroy(offscreen);
        MessageReset();
        observer = savedObserver;
    }
    void PaintRed() {
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Pixels still red, and pixels in the sky colour.
    void Count(int* red, int* sky) {
        ASSERT_EQ(OffscreenReadPixels(offscreen, pixels), 1);
        *red = *sky = 0;
        for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
            *red += pixels[i] == 255 && pixels[i + 1] == 0 && pixels[i + 2] == 0;
            *sky += pixels[i] == 5 && pixels[i + 1] == 10 && pixels[i + 2] == 30;
        }
    }
    // World point -> normalised device coordinates through the current projection.
    void Project(double x, double y, double* nx, double* ny) {
        double m[16];
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        double cx = m[0] * x + m[4] * y + m[12];
        double cy = m[1] * x + m[5] * y + m[13];
        double cw = m[3] * x + m[7] * y + m[15];
        *nx = cx / cw;
        *ny = cy / cw;
    }
};

TEST_F(SceneLifecycleTest, ConfigureRegistersTheHooksAndAsksForDoubleBufferAndDepth) {
    const SaverContext* context = SaverConfigure();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->bDoubleBuffer, 1);
    EXPECT_EQ(context->iDepthType, 1);
    EXPECT_EQ(HeadlessInitHook(), static_cast<SaverInitHook>(&SceneInit));
    EXPECT_EQ(HeadlessFrameHook(), &SceneFrame);
}

TEST_F(SceneLifecycleTest, InitSetsTheWorldProjectionDepthTestLightAndTimer) {
    HeadlessSetPreview(1);
    SceneInit(0);
    EXPECT_TRUE(sceneState.preview);

    struct Corner {
        double x, y, nx, ny;
    } corners[] = {{0, 0, -1, -1}, {125, 100, 1, 1}, {62.5, 50, 0, 0}, {125, 0, 1, -1}};
    for (const Corner& c : corners) {
        double nx = 0, ny = 0;
        Project(c.x, c.y, &nx, &ny);
        EXPECT_NEAR(nx, c.nx, 1e-6) << c.x << "," << c.y;
        EXPECT_NEAR(ny, c.ny, 1e-6) << c.x << "," << c.y;
    }
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0 : 0.0);
    }
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    GLfloat diffuse[4], specular[4], ambient[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(diffuse[0], 0.99f);
    EXPECT_FLOAT_EQ(specular[2], 0.00099f);
    EXPECT_FLOAT_EQ(ambient[0], 0.0f);

    // The animation timer is a thread timer of 32 ms, served by the queue.
    ASSERT_NE(SceneTimerId(), 0u);
    int dueIn = TimerNextDueIn(GetTickCount());
    EXPECT_GE(dueIn, 0);
    EXPECT_LE(dueIn, 32);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.hwnd, 0u);
    EXPECT_EQ(msg.wParam, SceneTimerId());
    DispatchMessageA(&msg);
}

TEST_F(SceneLifecycleTest, EveryFrameStartsFromTheSkyColour) {
    SceneInit(0);
    // The test store holds no place; without the red warning that brings,
    // any red left is paint the frame failed to clear.
    sceneState.placeDefaulted = false;
    int red = 0, sky = 0;
    for (int frame = 0; frame < 3; ++frame) {
        PaintRed();
        SceneFrame(0);
        EXPECT_EQ(sceneState.frameCounter, frame);
        Count(&red, &sky);
        EXPECT_EQ(red, 0) << frame;
        EXPECT_GT(sky, 0) << frame;
    }
    EXPECT_NE(SceneQuadric(), nullptr);
}

TEST_F(SceneLifecycleTest, PreviewDrawsNothingOnOddFrames) {
    HeadlessSetPreview(1);
    SceneInit(0);
    int red = 0, sky = 0;
    for (int frame = 0; frame < 4; ++frame) {
        PaintRed();
        SceneFrame(0);
        EXPECT_EQ(sceneState.frameCounter, frame);
        Count(&red, &sky);
        if (frame % 2 == 1) {
            EXPECT_EQ(red, kWidth * kHeight) << frame;
        } else {
            EXPECT_EQ(red, 0) << frame;
        }
    }
}

TEST_F(SceneLifecycleTest, PreviewKeepsItsRhythmWhenTheCounterWraps) {
    HeadlessSetPreview(1);
    SceneInit(0);
    sceneState.frameCounter = INT32_MAX - 1;  // the next frame is odd
    int red = 0, sky = 0;
    const int32_t expected[3] = {INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int step = 0; step < 3; ++step) {
        PaintRed();
        SceneFrame(0);
        EXPECT_EQ(sceneState.frameCounter, expected[step]);
        Count(&red, &sky);
        // Odd, even, odd: only the even frame draws.
        EXPECT_EQ(red == 0, step == 1) << step;
    }
}

}  // namespace

namespace {

TEST_F(SceneLifecycleTest, OnePicturePerViewportWithTheCaptionAdvancedOncePerFrame) {
    // Two portrait monitors side by side, 80 x 128 each.
    const SaverViewport halves[2] = {{0, 0, 80, 128}, {80, 0, 80, 128}};
    HeadlessSetViewports(halves, 2);
    SolidSphereForget();  // the display lists of the earlier tests' contexts are gone
    SceneInit(0);
    sceneState.showStars = false;
    sceneState.showText = false;  // the caption alone, not drawn before frame 4
    overlayState = OverlayState{};
    auto isSky = [&](int x, int y) {
        const uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
        return p[0] == 5 && p[1] == 10 && p[2] == 30;
    };
    for (int frame = 0; frame < 2; ++frame) {
        SceneFrame(0);
        EXPECT_EQ(overlayState.captionFrames, frame + 1);
    }
    ASSERT_EQ(OffscreenReadPixels(offscreen, pixels), 1);
    // A Moon in the middle of each half, 0.765 of its width across, and
    // the sky on the seam between them.
    for (int centre : {40, 120}) {
        EXPECT_FALSE(isSky(centre, 64)) << centre;
        EXPECT_FALSE(isSky(centre - 28, 64)) << centre;
        EXPECT_FALSE(isSky(centre + 28, 64)) << centre;
        EXPECT_TRUE(isSky(centre - 34, 64)) << centre;
        EXPECT_TRUE(isSky(centre + 34, 64)) << centre;
        EXPECT_FALSE(isSky(centre, 64 + 28)) << centre;
        EXPECT_TRUE(isSky(centre, 64 + 34)) << centre;
    }
    // The whole window's viewport is back for the host.
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);
}

}  // namespace
