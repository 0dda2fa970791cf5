// Cost of one full-screen frame at 1920 x 1080 drawn offscreen with Mesa:
// the text pass, the star pass and the Moon pass with a 2048 x 1024 Moon
// picture, and each pass alone (passes: 7 all three, 3 stars and Moon, 0 only
// the clear, 1 stars, 2 Moon, 4 text: the overlay's 35 or so strings; plus 8:
// the Moon laid over from its cached texture and the star cores as sprites,
// as the saver draws them).
//   scene_frame_benchmark [--benchmark_min_time=2]
// SaverFrame draws the saver's own frame (SceneInit, then SceneFrame and one
// tick per frame), from the caches (direct:0) and directly (direct:1), at
// 1920 x 1080 and 3840 x 2160. The Moon picture is NOCTURO_MOON_PICTURE, else the built
// build/resources/moon_2048x1024.bmp, else a made-up one.

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ephemeris/observer.h"
#include "platform/egl_offscreen.h"
#include "platform/time_zone.h"
#include "scene/bitmap_text.h"
#include "scene/moon_cache.h"
#include "scene/moon_pass.h"
#include "scene/overlay.h"
#include "scene/scene_lifecycle.h"

#include "scene/scene_sky.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/scene_view.h"
#include "scene/solid_sphere.h"
#include "scene/star_field.h"
#include "scene/star_pass.h"
#include "scene/star_sprites.h"
#include "settings/ui_text.h"
#include "shell/headless_host.h"

namespace {

std::string MadeUpPicture() {
    const std::string path = "/tmp/nocturo-benchmark-moon.bmp";
    std::vector<uint8_t> bytes(54 + 2048 * 1024);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(10, 54);
    put(18, 2048);
    put(22, 1024);
    bytes[28] = 8;
    for (size_t i = 54; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

std::string MoonPicture() {
    const char* chosen = std::getenv("NOCTURO_MOON_PICTURE");
    if (chosen != nullptr) {
        return chosen;
    }
    const std::string built = std::string(NOCTURO_BINARY_DIR) + "/resources/moon_2048x1024.bmp";
    if (FILE* file = std::fopen(built.c_str(), "rb")) {
        std::fclose(file);
        return built;
    }
    return MadeUpPicture();
}

void SetUpScene() {
    SceneSetUpProjection();
    glEnable(GL_DEPTH_TEST);
    SceneSetUpLight();
}

constexpr int kStars = 1;
constexpr int kMoon = 2;
constexpr int kText = 4;
constexpr int kCached = 8;  // the Moon from its texture, as the saver draws it

// A report with every row filled, so that every string of the overlay is drawn.
void FillReport() {
    skyReport.sunRise = 8.9;
    skyReport.sunSet = 16.1;
    skyReport.sunAltitude = -23.4;
    skyReport.sunAzimuth = 131.2;
    skyReport.moonRise = 3.2;
    skyReport.moonSet = 13.7;
    skyReport.moonAltitude = 12.3;
    skyReport.moonAzimuth = -40.5;
    skyReport.lunarDay = 22;
    std::snprintf(skyReport.lunarDayText, sizeof skyReport.lunarDayText, "22");
}

// range(0): which passes to draw besides the clear.
void FullScreenFrame(benchmark::State& state) {
    const int passes = static_cast<int>(state.range(0));
    OffscreenContext offscreen;
    if (OffscreenContextCreate(offscreen, 1920, 1080) != 1) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    const std::string path = MoonPicture();
    SolidSphereForget();
    SetUpScene();
    UiTextBuild();
    TextCreateDefaultFont();
    FillReport();
    BuildSceneTextures(false, path.c_str(), "null");
    CreateStarField();
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricTexture(quadric, GL_TRUE);
    const double sun[3] = {0.7e19, 0.2e19, 0.6e19};
    glViewport(0, 0, 1920, 1080);
    MoonCache cache;
    int32_t frame = 0;
    static StarSprites sprites;
    sprites = StarSprites{};
    for (auto _ : state) {
        glClearColor(sceneState.skyColour[0], sceneState.skyColour[1], sceneState.skyColour[2],
                     1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (passes & kText) {
            TextPass();
        }
        if (passes & kStars) {
            if ((passes & kCached) && StarSpritesPrepare(sprites)) {
                starCoreDraw = [](int32_t i) { StarSpritesDrawCore(sprites, i); };
            }
            StarPass(quadric);
            starCoreDraw = nullptr;
        }
        if ((passes & kMoon) && (passes & kCached)) {
            MoonCacheDraw(cache, quadric, sun, frame++);
        } else if (passes & kMoon) {
            MoonPass(quadric, sun);
        }
        StarAnimationStep();
        glFinish();
    }
    MoonCacheForget(cache);
    StarSpritesForget(sprites);
    gluDeleteQuadric(quadric);
    OffscreenContextDestroy(offscreen);
}

// The saver's own frame: SceneInit once, then SceneFrame and one animation
// tick per frame, the clock at a fixed moment. range(0): 1 draws directly
// (the reference), 0 as the saver does, from the caches.
void SaverFrame(benchmark::State& state) {
    sceneDirectDrawing = state.range(0) != 0;
    const int32_t width = static_cast<int32_t>(state.range(1));
    const int32_t height = width * 9 / 16;
    OffscreenContext offscreen;
    if (OffscreenContextCreate(offscreen, width, height) != 1) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    PlatformSetFixedTime(1713387600);  // 2024-04-17 21:00 UTC, a waxing gibbous Moon
    HeadlessSetPreview(0);
    SolidSphereForget();
    SceneOptions options = SceneReadOptions();
    options.place.latitude = 51.5;
    options.place.longitude = 0.0;
    options.largePicture = MoonPicture();
    SceneInit(options);
    for (auto _ : state) {
        SceneFrame(0);
        SceneTick(0, 0, 0, 0);
        glFinish();
    }
    sceneDirectDrawing = false;
    OffscreenContextDestroy(offscreen);
}

// Process CPU time counts Mesa's rasteriser threads too.
BENCHMARK(SaverFrame)
    ->ArgNames({"direct", "width"})
    ->Args({0, 1920})
    ->Args({1, 1920})
    ->Args({0, 3840})
    ->Args({1, 3840})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Process CPU time counts Mesa's rasteriser threads too.
BENCHMARK(FullScreenFrame)
    ->ArgName("passes")
    ->Arg(kText | kStars | kMoon)
    ->Arg(kText | kStars | kMoon | kCached)
    ->Arg(kStars | kMoon)
    ->Arg(kStars | kMoon | kCached)
    ->Arg(0)
    ->Arg(kStars)
    ->Arg(kStars | kCached)
    ->Arg(kMoon)
    ->Arg(kMoon | kCached)
    ->Arg(kText)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
