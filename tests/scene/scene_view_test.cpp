// The rule that puts the world on a window: round on every shape, centred,
// the Moon whole, and the world itself on a 5:4 window.

#include <gtest/gtest.h>

#include <algorithm>

#include "scene/moon_pass.h"
#include "scene/scene_view.h"

namespace {

TEST(SceneView, FiveByFourShowsExactlyTheWorld) {
    const SceneView view = SceneViewFor(1280, 1024);
    EXPECT_EQ(view.left, 0.0);
    EXPECT_EQ(view.right, 125.0);
    EXPECT_EQ(view.bottom, 0.0);
    EXPECT_EQ(view.top, 100.0);
    // Stars keep their places there, bit for bit.
    for (double x : {0.0, 0.1, 17.3, 62.5, 124.875}) {
        double px = x, py = x * 0.8;
        SceneViewPlace(view, &px, &py);
        EXPECT_EQ(px, x);
        EXPECT_EQ(py, x * 0.8);
    }
}

TEST(SceneView, RoundCentredAndTheMoonWholeOnEveryShape) {
    const struct {
        int width, height;
    } windows[] = {{1280, 1024}, {1920, 1080}, {2560, 1080}, {3840, 1080}, {1080, 1920},
                   {800, 600},   {1024, 1024}, {1000, 1},    {1, 1000},    {320, 200}};
    const double glowRadius = 0.85 * 100 * 0.46;  // the outermost sphere of the Moon
    for (const auto& w : windows) {
        const SceneView view = SceneViewFor(w.width, w.height);
        const double across = view.right - view.left;
        const double high = view.top - view.bottom;
        // The same number of pixels per world unit both ways.
        EXPECT_NEAR(w.width / across, w.height / high, 1e-9 * w.width / across)
            << w.width << "x" << w.height;
        // The shorter side spans 100 units; the centre is the Moon's.
        EXPECT_NEAR(std::min(across, high), 100.0, 1e-9);
        EXPECT_NEAR((view.left + view.right) / 2, 62.5, 1e-9);
        EXPECT_NEAR((view.bottom + view.top) / 2, 50.0, 1e-9);
        EXPECT_GT(std::min(across, high) / 2, glowRadius);
        EXPECT_GT(std::min(across, high) / 2, MoonRadius());
        // The star field's corners go to the view's corners.
        double x = 0, y = 0;
        SceneViewPlace(view, &x, &y);
        EXPECT_NEAR(x, view.left, 1e-9);
        EXPECT_NEAR(y, view.bottom, 1e-9);
        x = 125, y = 100;
        SceneViewPlace(view, &x, &y);
        EXPECT_NEAR(x, view.right, 1e-9);
        EXPECT_NEAR(y, view.top, 1e-9);
    }
}

TEST(SceneView, SizesThatAreNotPositiveShowTheWorld) {
    for (const auto& size : {std::pair{0, 0}, std::pair{-5, 100}, std::pair{100, 0}}) {
        const SceneView view = SceneViewFor(size.first, size.second);
        EXPECT_EQ(view.left, 0.0);
        EXPECT_EQ(view.right, 125.0);
        EXPECT_EQ(view.bottom, 0.0);
        EXPECT_EQ(view.top, 100.0);
    }
}

}  // namespace
