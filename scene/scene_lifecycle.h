#pragma once

#include <cstdint>

#include "scene/scene_options.h"
#include "shell/saver_api.h"

// The scene's start-up and frame driver: the hooks the shell calls, and the
// scene's own 32 ms animation timer.

// The saver's options: the preview flag from the shell, the language
// selected (SceneReadLanguage), the settings read (SceneReadSettings) and the
// pictures they name looked up among the installed ones.
SceneOptions SceneReadOptions();

// Starts the scene for a run with the GL context current: the interface
// texts and font, the projection, the textures of the pictures the options
// name, the light, the star field and the animation timer.
int SceneInit(const SceneOptions& options);
// The initialisation hook: SceneInit with the saver's options
// (SceneReadOptions).
int SceneInit(uint32_t window);
// The frame hook: draws one whole frame; the host presents it afterwards.
void SceneFrame(uint32_t window);
// The animation timer's procedure (a thread timer; no window).
void SceneTick(uint32_t window, uint32_t message, uintptr_t id, uint32_t tickCount);

constexpr uint32_t kSceneTickPeriodMs = 32;

// The id of the animation timer once SceneInit has started it, else 0.
uintptr_t SceneTimerId();

struct GLUquadric;
// The quadric object the passes draw their spheres with (made by SceneFrame).
GLUquadric* SceneQuadric();

// Draws every frame directly, pass by pass with the depth test, instead of
// reusing the cached Moon and star sprites. The reference that tests and
// benchmarks compare the cached frames with; the saver never sets it.
extern bool sceneDirectDrawing;

// How often the Moon and the star cores were drawn into their textures since
// SceneInit; for checks of the caching.
struct SceneCacheDraws {
    int32_t moon = 0;
    int32_t starCores = 0;
};
SceneCacheDraws SceneCacheDrawCounts();
