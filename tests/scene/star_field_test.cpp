#include "scene/star_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "scene/scene_state.h"

namespace {

constexpr int32_t kFlare = kTwinkleStars;  // index of the flare star

TEST(CreateStarField, ValuesLieInTheirRanges) {
    std::srand(12345);
    CreateStarField();
    const StarField& f = starField;
    std::set<double> angles;
    std::set<double> xs;
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        EXPECT_GE(f.x[i], 0);
        EXPECT_LT(f.x[i], sceneState.worldWidth);
        EXPECT_GE(f.y[i], 0);
        EXPECT_LT(f.y[i], sceneState.worldHeight);
        EXPECT_GE(f.size[i], 0.2);
        EXPECT_LE(f.size[i], 0.9992 + 1e-12);
        EXPECT_GE(f.base[i], 0);
        EXPECT_LE(f.base[i], 0.3996 + 1e-12);
        EXPECT_GE(f.phase[i], 0);
        EXPECT_LE(f.phase[i], 9.99 + 1e-12);
        EXPECT_EQ(f.brightness[i], 1.0);
        angles.insert(f.angle[i]);
        xs.insert(f.x[i]);
    }
    EXPECT_EQ(angles, (std::set<double>{-90, -45, 0, 45}));
    EXPECT_GT(xs.size(), 50u);  // positions are spread, not repeated
    EXPECT_EQ(f.x[kFlare], 20);
    EXPECT_EQ(f.y[kFlare], 30);
    EXPECT_EQ(f.animationClock, -0.2);
    EXPECT_EQ(f.flareSize, 0);
    EXPECT_EQ(f.flareAlpha, 0);
    EXPECT_TRUE(f.flareRepositioned);
}

TEST(Twinkle, SwingsBetweenBaseAndOneWithPeriodPointFour) {
    const struct {
        double base, phase, clock, brightness;
    } cases[] = {
        {0.3, 0, 0, 1.0}, {0.3, 0, 0.2, 0.3}, {0.3, 0, 0.1, 0.65},
        {0.0, 2, 0, 0.0}, {0.2, 1, 0, 0.6},   {0.3996, 9.99, 0.3, 0.7045},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(TwinkleBrightness(c.base, c.phase, c.clock), c.brightness, 1e-3)
            << c.base << " " << c.phase << " " << c.clock;
    }
    for (double t = -0.2; t < 3; t += 0.037) {
        const double b = TwinkleBrightness(0.25, 3.3, t);
        EXPECT_GE(b, 0.25 - 1e-12);
        EXPECT_LE(b, 1 + 1e-12);
        EXPECT_NEAR(b, TwinkleBrightness(0.25, 3.3, t + 0.4), 1e-9);
    }
}

TEST(StarAnimationStep, UpdatesEveryStarFromTheClock) {
    std::srand(7);
    CreateStarField();
    StarAnimationStep();
    EXPECT_NEAR(starField.animationClock, -0.185, 1e-12);
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        EXPECT_DOUBLE_EQ(starField.brightness[i],
                         TwinkleBrightness(starField.base[i], starField.phase[i], -0.185));
    }
}

TEST(StarAnimationStep, FirstFlareStartsOnTheFourteenthTickAtTheStartPlace) {
    std::srand(7);
    CreateStarField();
    for (int tick = 1; tick <= 13; ++tick) {
        StarAnimationStep();
        ASSERT_EQ(starField.flareSize, 0) << tick;
        ASSERT_EQ(starField.flareAlpha, 0) << tick;
        ASSERT_TRUE(starField.flareRepositioned) << tick;
    }
    StarAnimationStep();
    EXPECT_GT(starField.flareSize, 0);
    EXPECT_GT(starField.flareAlpha, 0);
    EXPECT_FALSE(starField.flareRepositioned);
    EXPECT_EQ(starField.x[kFlare], 20);
    EXPECT_EQ(starField.y[kFlare], 30);
}

TEST(StarAnimationStep, FlareCycleSwellsMovesOnceAndRecurs) {
    std::srand(99);
    CreateStarField();
    double largest = 0;
    double brightest = 0;
    int tick = 0;
    // First window, 0 <= T <= 2: size and opacity follow the cosine.
    while (starField.animationClock < 2.0 - 1e-9 || !starField.flareRepositioned) {
        StarAnimationStep();
        ++tick;
        ASSERT_LT(tick, 1000);
        if (!starField.flareRepositioned) {
            const double c = std::cos(M_PI * std::fmod(starField.animationClock, 8.0));
            ASSERT_NEAR(starField.flareSize, 6 - 6 * c, 1e-9);
            ASSERT_NEAR(starField.flareAlpha, 0.5 - 0.5 * c, 1e-9);
            ASSERT_EQ(starField.x[kFlare], 20);
            largest = std::max(largest, starField.flareSize);
            brightest = std::max(brightest, starField.flareAlpha);
        }
    }
    EXPECT_NEAR(largest, 12, 0.01);
    EXPECT_NEAR(brightest, 1, 0.001);
    // The first tick past the window moved the flare to a new place in the scene.
    EXPECT_GT(starField.animationClock, 2.0);
    EXPECT_LT(starField.animationClock, 2.0 + 0.015 + 1e-9);
    EXPECT_LT(starField.flareSize, 0.01);  // keeps the window's last, near-zero values
    EXPECT_GE(starField.x[kFlare], 0);
    EXPECT_LT(starField.x[kFlare], sceneState.worldWidth);
    EXPECT_GE(starField.y[kFlare], 0);
    EXPECT_LT(starField.y[kFlare], sceneState.worldHeight);

    // While waiting the flare stays put; the next window opens at T = 8.
    starField.x[kFlare] = -1;
    while (starField.flareRepositioned) {
        StarAnimationStep();
        ASSERT_EQ(starField.x[kFlare], -1);
        ASSERT_LT(starField.animationClock, 8.02);
    }
    EXPECT_GE(starField.animationClock, 8.0);
    while (!starField.flareRepositioned) {
        StarAnimationStep();
    }
    EXPECT_GT(starField.animationClock, 10.0);
    EXPECT_LT(starField.animationClock, 10.0 + 0.015 + 1e-9);
    EXPECT_GE(starField.x[kFlare], 0);
}

}  // namespace
