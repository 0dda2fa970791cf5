// Frames drawn from the caches (the Moon from its texture, the stars as
// sprites, no depth buffer) against the same frames drawn directly pass by
// pass: at most 8 levels apart in any channel and at least 40 dB PSNR.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ephemeris/observer.h"
#include "platform/egl_offscreen.h"
#include "platform/time_zone.h"
#include "scene/moon_cache.h"
#include "scene/overlay.h"
#include "scene/scene_lifecycle.h"

#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/solid_sphere.h"
#include "shell/headless_host.h"
#include "tests/scene/picture_files.h"

namespace {

// 2024-04: new Moon on the 8th, first quarter on the 15th, full on the 23rd.
constexpr int64_t kCrescent = 1712862000;  // 2024-04-11 19:00 UTC
constexpr int64_t kQuarter = 1713208380;   // 2024-04-15 19:13 UTC
constexpr int64_t kFull = 1713913200;      // 2024-04-23 23:00 UTC

struct Difference {
    int largest = 0;            // levels, any channel of any pixel
    double psnr = 1e9;          // dB over the whole frame
    int64_t pixels = 0;         // pixels that differ at all
    int column = -1, row = -1;  // where the largest lies (row from the top)
};

Difference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int32_t width) {
    Difference d;
    double squares = 0;
    int64_t samples = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c) {
            const int delta = std::abs(int(a[i + c]) - int(b[i + c]));
            squares += double(delta) * delta;
            ++samples;
            differs = differs || delta != 0;
            if (delta > d.largest) {
                d.largest = delta;
                d.column = static_cast<int>((i / 4) % width);
                d.row = static_cast<int>((i / 4) / width);
            }
        }
        d.pixels += differs;
    }
    if (squares > 0) {
        d.psnr = 10 * std::log10(255.0 * 255.0 / (squares / samples));
    }
    return d;
}

class FrameCache : public ::testing::Test {
  protected:
    static inline std::string picture;

    static void SetUpTestSuite() {
        const std::string folder = TemporaryFolder();
        picture = folder + "/moon.bmp";
        WritePicture(picture, {2048, 1024}, PatternPixels(2048, 1024));
    }

    OffscreenContext offscreen;
    std::vector<uint8_t> pixels;
    // The scene's start-up and some tests move the observer; it is put back.
    const Observer savedObserver = observer;

    void TearDown() override {
        sceneDirectDrawing = false;
        OffscreenContextDestroy(offscreen);
        observer = savedObserver;
    }

    // The saver's start-up on a fresh context at `at`, with the made-up picture.
    void Start(int64_t at, int32_t width, int32_t height, bool preview, bool stars, bool direct) {
        OffscreenContextDestroy(offscreen);
        PlatformSetFixedTime(at);
        std::srand(static_cast<unsigned>(at));
        ASSERT_EQ(OffscreenContextCreate(offscreen, width, height), 1);
        glViewport(0, 0, width, height);
        HeadlessSetPreview(preview ? 1 : 0);
        SolidSphereForget();
        sceneState = SceneState{};
        // The caption fades with the frames drawn since the process started.
        overlayState.captionFrames = 0;
        overlayState.captionAlpha = 0.0;
        sceneDirectDrawing = direct;
        SceneOptions options = SceneReadOptions();
        (preview ? options.smallPicture : options.largePicture) = picture;
        options.place.latitude = 51.5;
        options.place.longitude = 0.0;
        options.showStars = stars;
        SceneInit(options);
    }

    // A drawn frame (in preview the odd frames draw nothing).
    void DrawFrame() {
        if (sceneState.preview && (sceneState.frameCounter & 1) == 0) {
            SceneFrame(0);
        }
        SceneFrame(0);
    }

    // Draws a frame now and one every 16 ticks, then the frame after `ticks`
    // ticks, and reads it back.
    std::vector<uint8_t> Run(int ticks) {
        DrawFrame();
        for (int t = 1; t <= ticks; ++t) {
            SceneTick(0, 0, 0, 0);
            if (t % 16 == 0 && t != ticks) {
                DrawFrame();
            }
        }
        DrawFrame();
        EXPECT_EQ(OffscreenReadPixels(offscreen, pixels), 1);
        return pixels;
    }

    std::vector<uint8_t> Frame(int64_t at, int32_t width, int32_t height, bool preview, bool stars,
                               int ticks, bool direct) {
        Start(at, width, height, preview, stars, direct);
        return Run(ticks);
    }
};

void ExpectClose(const Difference& d, const std::string& what) {
    EXPECT_LE(d.largest, 8) << what << ": at column " << d.column << ", row " << d.row;
    EXPECT_GE(d.psnr, 40.0) << what;
    std::printf("%-40s largest %d (%d,%d), PSNR %.1f dB, %lld pixels differ\n", what.c_str(),
                d.largest, d.column, d.row, d.psnr, static_cast<long long>(d.pixels));
}

TEST_F(FrameCache, CachedFramesMatchDirectOnesAtFixedInstantsAndTicks) {
    struct Case {
        const char* name;
        int64_t at;
        int32_t width, height;
        bool preview, stars;
        int ticks;
    } cases[] = {
        {"full Moon, 16:9", kFull, 960, 540, false, true, 40},
        {"quarter, 5:4", kQuarter, 640, 512, false, true, 40},
        {"crescent, 16:9", kCrescent, 960, 540, false, true, 40},
        {"crescent, no stars, first frame", kCrescent, 640, 512, false, false, 0},
        {"quarter, preview", kQuarter, 200, 150, true, true, 40},
        {"full Moon, preview, no stars, first frame", kFull, 200, 150, true, false, 0},
        {"flare swelling (tick 30)", kQuarter, 640, 512, false, true, 30},
        {"flare at its largest (tick 81)", kQuarter, 640, 512, false, true, 81},
        {"flare fading (tick 130)", kQuarter, 640, 512, false, true, 130},
        {"flare at its largest, preview", kQuarter, 200, 150, true, true, 81},
    };
    for (const Case& c : cases) {
        const auto direct = Frame(c.at, c.width, c.height, c.preview, c.stars, c.ticks, true);
        const auto cached = Frame(c.at, c.width, c.height, c.preview, c.stars, c.ticks, false);
        ASSERT_EQ(direct.size(), cached.size());
        ExpectClose(Compare(direct, cached, c.width), c.name);
    }
}

TEST_F(FrameCache, MoonIsDrawnAgainOnlyWhenTheLightOrTheWindowChanged) {
    Start(kQuarter, 320, 256, false, true, false);
    auto frames = [](int count) {
        for (int i = 0; i < count; ++i) {
            SceneFrame(0);
        }
    };
    frames(40);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 1);
    EXPECT_EQ(SceneCacheDrawCounts().starCores, 1);
    // Ten seconds turn the light by some 0.04 degrees: below the threshold.
    PlatformSetFixedTime(kQuarter + 10);
    frames(40);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 1);
    // Two minutes turn it by about half a degree: drawn again, but not
    // before a second of frames has passed since the last drawing.
    PlatformSetFixedTime(kQuarter + 120);
    frames(1);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 2);
    PlatformSetFixedTime(kQuarter + 240);
    frames(kMoonCacheMinFrames - 1);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 2);
    frames(1);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 3);
    // A new window size draws both again at once.
    glViewport(0, 0, 200, 160);
    frames(1);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 4);
    EXPECT_EQ(SceneCacheDrawCounts().starCores, 2);

    // The direct drawing uses neither.
    Start(kQuarter, 320, 256, false, true, true);
    frames(3);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 0);
    EXPECT_EQ(SceneCacheDrawCounts().starCores, 0);
}

TEST_F(FrameCache, CachedMoonFollowsTheLightAndTheWindow) {
    // Drawn at the quarter, then an hour on (the light turns some 15 degrees)
    // for a second of frames and more: the cached Moon is drawn again. Both
    // ways draw the same frames (the caption fades frame by frame).
    auto hourLater = [&](bool direct) {
        Start(kQuarter, 640, 512, false, false, direct);
        Run(0);
        PlatformSetFixedTime(kQuarter + 3600);
        for (int frame = 1; frame < kMoonCacheMinFrames; ++frame) {
            SceneFrame(0);
        }
        return Run(40);
    };
    const auto later = hourLater(false);
    ExpectClose(Compare(hourLater(true), later, 640), "an hour later");

    // The window shrinks: the Moon is drawn again for the new size.
    auto shrunk = [&](bool direct) {
        Start(kQuarter, 640, 512, false, false, direct);
        Run(0);
        glViewport(0, 0, 400, 300);
        return Run(1);
    };
    const auto small = shrunk(false);
    ExpectClose(Compare(shrunk(true), small, 640), "smaller viewport");
}

// The Moon as seen from a southern place: the cached frame draws the turned,
// librated face as the direct one does, and switching the view on (the
// light unchanged) draws the cached Moon again.
TEST_F(FrameCache, SkyViewIsCachedAndTheTurnDrawsTheMoonAgain) {
    auto southern = [&](bool direct) {
        Start(kQuarter, 640, 512, false, true, direct);
        observer.latitude = -33.87;
        observer.longitude = 151.21;
        sceneState.skyView = true;
        return Run(40);
    };
    const auto cached = southern(false);
    ExpectClose(Compare(southern(true), cached, 640), "sky view, Sydney");

    Start(kQuarter, 320, 256, false, true, false);
    for (int i = 0; i < 40; ++i) {
        SceneFrame(0);
    }
    EXPECT_EQ(SceneCacheDrawCounts().moon, 1);
    sceneState.skyView = true;
    SceneFrame(0);
    EXPECT_EQ(SceneCacheDrawCounts().moon, 2);
    for (int i = 0; i < 40; ++i) {
        SceneFrame(0);
    }
    EXPECT_EQ(SceneCacheDrawCounts().moon, 2);
}

}  // namespace
