// Cost of one full-screen frame at 1920 x 1080 drawn offscreen with Mesa:
// the star pass and the Moon pass with a 2048 x 1024 Moon picture, and each
// pass alone (passes: 3 both, 0 only the clear, 1 stars, 2 Moon).
//   scene_frame_benchmark [--benchmark_min_time=2]
// Set NOCTURO_MOON_PICTURE to use a real picture instead of a made-up one.

#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/egl_offscreen.h"
#include "scene/moon_pass.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/star_field.h"
#include "scene/star_pass.h"

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

void SetUpScene() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 125, 0, 100, -1250, 1250);
    gluLookAt(0, 0, 5, 0, 0, 0, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    const GLfloat diffuse[4] = {0.99f, 0.99f, 0.99f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

constexpr int kStars = 1;
constexpr int kMoon = 2;

// range(0): which passes to draw besides the clear.
void FullScreenFrame(benchmark::State& state) {
    const int passes = static_cast<int>(state.range(0));
    OffscreenContext offscreen;
    if (OffscreenContextCreate(offscreen, 1920, 1080) != 1) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    const char* picture = std::getenv("NOCTURO_MOON_PICTURE");
    const std::string path = picture != nullptr ? picture : MadeUpPicture();
    SetUpScene();
    BuildSceneTextures(false, path.c_str(), "null");
    CreateStarField();
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricTexture(quadric, GL_TRUE);
    const double sun[3] = {0.7e19, 0.2e19, 0.6e19};
    for (auto _ : state) {
        glClearColor(sceneState.skyColour[0], sceneState.skyColour[1], sceneState.skyColour[2],
                     1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (passes & kStars) {
            StarPass(quadric);
        }
        if (passes & kMoon) {
            MoonPass(quadric, sun);
        }
        StarAnimationStep();
        glFinish();
    }
    gluDeleteQuadric(quadric);
    OffscreenContextDestroy(offscreen);
}

// Process CPU time counts Mesa's rasteriser threads too.
BENCHMARK(FullScreenFrame)
    ->ArgName("passes")
    ->Arg(kStars | kMoon)
    ->Arg(0)
    ->Arg(kStars)
    ->Arg(kMoon)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
