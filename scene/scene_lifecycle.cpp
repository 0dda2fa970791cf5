#include "scene/scene_lifecycle.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "ephemeris/sky_report.h"
#include "platform/timers.h"
#include "scene/bitmap_text.h"
#include "scene/moon_pass.h"
#include "scene/overlay.h"
#include "scene/scene_settings.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/scene_view.h"
#include "scene/star_field.h"
#include "scene/star_pass.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

namespace {

const SaverContext sceneContext = {1, 1};  // double buffer, 16-bit depth buffer
uintptr_t animationTimer = 0;
GLUquadric* quadric = nullptr;
// The Sun's position for the Moon's light, in the frame looking at the Moon.
double sunDirection[3] = {0.0, 0.0, 0.0};

void ClearToSky() {
    sceneState.skyColour[0] = 5.0f / 255.0f;
    sceneState.skyColour[1] = 10.0f / 255.0f;
    sceneState.skyColour[2] = 30.0f / 255.0f;
    glClearColor(sceneState.skyColour[0], sceneState.skyColour[1], sceneState.skyColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void PrepareQuadric() {
    // One quadric serves the whole run.
    if (quadric == nullptr) {
        quadric = gluNewQuadric();
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricTexture(quadric, GL_TRUE);
    }
}

// The text, star and Moon passes of one picture in the current viewport,
// seen through the projection laid out for that viewport's shape.
void DrawPicture(bool firstOfFrame) {
    SceneSetUpProjection();
    // 7. Text pass: the overlay and the caption.
    TextPass(firstOfFrame);
    // 8. Star pass.
    if (sceneState.showStars) {
        StarPass(quadric);
    }
    // 9. Moon pass.
    MoonPass(quadric, sunDirection);
}

}  // namespace

const SaverContext* SaverConfigure() {
    SaverSetInitHook(SceneInit);
    SaverSetFrameHook(SceneFrame);
    return &sceneContext;
}

int SceneInit(uint32_t) {
    // 1. Preview or not, fixed for the run.
    sceneState.preview = SaverIsPreview() != 0;
    // 2. Language and locale.
    SceneReadLanguage();
    // 3. Interface texts and the default font (which reserves display list 1).
    UiTextBuild();
    TextCreateDefaultFont();
    overlayScreenDpi = SaverGetScreenDpi();
    // 4. to 7. Texture paths, display flags, latitude and longitude.
    SceneReadSettings();
    // 8. Projection: the world on the whole window, round on any shape (each
    // frame sets it again for the shape of each of its pictures).
    SceneSetUpProjection();
    // 9. Depth test.
    glEnable(GL_DEPTH_TEST);
    // 10. Textures.
    BuildSceneTextures(sceneState.preview, sceneState.largeTexturePath,
                       sceneState.smallTexturePath);
    // 11. Light.
    SceneSetUpLight();
    // 12. Star field.
    CreateStarField();
    // 13. The animation timer; it lives as long as the process.
    animationTimer = SetTimer(0, 0, kSceneTickPeriodMs, SceneTick);
    return 1;
}

void SceneFrame(uint32_t) {
    // 1. Count the frame; the first is number 0.
    // Wraps after some two years of running instead of overflowing; the
    // counter's parity and its multiples of 4 carry on unbroken.
    sceneState.frameCounter =
        static_cast<int32_t>(static_cast<uint32_t>(sceneState.frameCounter) + 1u);
    // 2. Preview draws every other frame only.
    if (sceneState.preview && (sceneState.frameCounter & 1) != 0) {
        return;
    }
    // 3. Clear to the sky colour.
    ClearToSky();
    // 4. Sky report, every fourth frame.
    if ((sceneState.frameCounter & 3) == 0) {
        UpdateSkyReport();
    }
    // 5. The Sun's direction for the Moon's light.
    SunInMoonFrame(sunDirection[0], sunDirection[1], sunDirection[2]);
    // 6. The quadric for this frame's spheres.
    PrepareQuadric();
    // 7. to 9. The passes, once for each picture: one per monitor when the
    // shell's own window spans several, else one over the whole window. The
    // sky report and the star animation above serve them all.
    SaverViewport viewports[kSaverMaxViewports];
    const int count = SaverGetViewports(viewports, kSaverMaxViewports);
    if (count <= 0) {
        DrawPicture(true);
    } else {
        GLint window[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, window);
        for (int i = 0; i < count; ++i) {
            glViewport(viewports[i].x, viewports[i].y, viewports[i].width, viewports[i].height);
            DrawPicture(i == 0);
        }
        // The shell's viewport again: the whole window.
        glViewport(window[0], window[1], window[2], window[3]);
    }
    // 10. Done; the host presents the frame.
    glFlush();
}

void SceneTick(uint32_t, uint32_t, uintptr_t, uint32_t) {
    // The star animation step, whether or not the stars are shown.
    StarAnimationStep();
}

uintptr_t SceneTimerId() {
    return animationTimer;
}

GLUquadric* SceneQuadric() {
    return quadric;
}
