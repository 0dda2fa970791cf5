#include "scene/scene_lifecycle.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ephemeris/observer.h"
#include "ephemeris/sky_report.h"
#include "platform/timers.h"
#include "scene/bitmap_text.h"
#include "scene/moon_cache.h"
#include "scene/moon_pass.h"
#include "scene/overlay.h"
#include "scene/scene_settings.h"
#include "scene/scene_sky.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/scene_view.h"
#include "scene/star_field.h"
#include "scene/star_pass.h"
#include "scene/star_sprites.h"
#include "settings/data_files.h"
#include "settings/ui_locale.h"
#include "settings/ui_text.h"

bool sceneDirectDrawing = false;

namespace {

const SaverContext sceneContext = {1, 1};  // double buffer, 16-bit depth buffer
uintptr_t animationTimer = 0;
GLUquadric* quadric = nullptr;
// The Sun's position for the Moon's light, in the frame looking at the Moon.
double sunDirection[3] = {0.0, 0.0, 0.0};
// The Moon drawn once into a texture and laid over each frame.
MoonCache moonCache;
// The star cores drawn once and laid down as sprites.
StarSprites starSprites;

// Whether the context can hold the caches; asked once, at the first frame.
enum class CacheSupport { Unknown, Yes, No } cacheSupport = CacheSupport::Unknown;
// The drawings the hidden-star marks were taken from.
int32_t hiddenForMoonDraws = -1, hiddenForStarDraws = -1;

void DrawCoreSprite(int32_t index) {
    StarSpritesDrawCore(starSprites, index);
}

bool StarHidden(int32_t index) {
    return starSprites.hidden[index];
}

// Marks the stars that the opaque middle of the cached Moon hides whole;
// again whenever the Moon or the sprites were drawn anew.
void MarkHiddenStars() {
    if (hiddenForMoonDraws == moonCache.draws && hiddenForStarDraws == starSprites.draws) {
        return;
    }
    for (int32_t i = 0; i < kTwinkleStars; ++i) {
        const int32_t* box = starSprites.sprites[i].box;
        starSprites.hidden[i] = MoonCacheCovers(moonCache, box[0], box[1], box[2], box[3]);
    }
    hiddenForMoonDraws = moonCache.draws;
    hiddenForStarDraws = starSprites.draws;
}

void ClearToSky(GLbitfield buffers) {
    sceneState.skyColour[0] = 5.0f / 255.0f;
    sceneState.skyColour[1] = 10.0f / 255.0f;
    sceneState.skyColour[2] = 30.0f / 255.0f;
    glClearColor(sceneState.skyColour[0], sceneState.skyColour[1], sceneState.skyColour[2], 1.0f);
    glClear(buffers);
}

void PrepareQuadric() {
    // One quadric serves the whole run.
    if (quadric == nullptr) {
        quadric = gluNewQuadric();
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricTexture(quadric, GL_TRUE);
    }
}

bool UseCaches() {
    if (sceneDirectDrawing) {
        return false;
    }
    if (cacheSupport == CacheSupport::Unknown) {
        cacheSupport = MoonCacheSupported() ? CacheSupport::Yes : CacheSupport::No;
    }
    return cacheSupport == CacheSupport::Yes;
}

// Sets the depth to the far value in the pixel boxes of the stars that will
// be drawn and of the flare: the only places where anything is drawn with
// the depth test in a cached frame. Far cheaper than clearing the whole
// depth buffer in software.
void ResetDepthUnderStars() {
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    GLdouble model[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // The flare's rays reach its size from the centre, its glow two thirds of it.
    double fx = 0, fy = 0;
    StarPlace(kTwinkleStars, &fx, &fy);
    const double reach = starField.flareSize;
    GLdouble lx, ly, lz, hx, hy, hz;
    gluProject(fx - reach, fy - reach, -190, model, projection, v, &lx, &ly, &lz);
    gluProject(fx + reach, fy + reach, -190, model, projection, v, &hx, &hy, &hz);

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glDepthMask(GL_TRUE);
    glDepthRange(1.0, 1.0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, v[2], 0, v[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    auto box = [](double x0, double y0, double x1, double y1) {
        glVertex2d(x0, y0);
        glVertex2d(x1, y0);
        glVertex2d(x1, y1);
        glVertex2d(x0, y1);
    };
    const int32_t count = sceneState.preview ? kTwinkleStars / 5 : kTwinkleStars;
    for (int32_t i = 0; i < count; ++i) {
        if (!starSprites.hidden[i]) {
            const int32_t* b = starSprites.sprites[i].box;
            box(b[0], b[1], b[2], b[3]);
        }
    }
    box(std::floor(std::min(lx, hx)) - 2 - v[0], std::floor(std::min(ly, hy)) - 2 - v[1],
        std::ceil(std::max(lx, hx)) + 3 - v[0], std::ceil(std::max(ly, hy)) + 3 - v[1]);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
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
    MoonPass(quadric, sunDirection, false, MoonViewFor(skyReport, sceneState.skyView));
}

// The frame as the passes draw it directly, in the fixed order, with the
// depth test: the text in front, the stars behind, the Moon between. With
// viewports (one per monitor) the passes run once in each; the sky report,
// the light and the star animation serve them all.
void DirectFrame(const SaverViewport* viewports = nullptr, int count = 0) {
    // 3. Clear to the sky colour.
    ClearToSky(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // 4. Sky report, every fourth frame.
    if ((sceneState.frameCounter & 3) == 0) {
        SceneRefreshSky();
    }
    // 5. The Sun's direction for the Moon's light.
    SunInMoonFrame(skyReport, sunDirection[0], sunDirection[1], sunDirection[2]);
    // 6. The quadric for this frame's spheres.
    PrepareQuadric();
    // 7. to 9. The passes.
    if (count <= 0) {
        DrawPicture(true);
        return;
    }
    GLint window[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, window);
    for (int i = 0; i < count; ++i) {
        glViewport(viewports[i].x, viewports[i].y, viewports[i].width, viewports[i].height);
        DrawPicture(i == 0);
    }
    // The shell's viewport again: the whole window.
    glViewport(window[0], window[1], window[2], window[3]);
}

// The same picture from the caches, painted back to front: the stars, the
// Moon laid over them from its texture, the text on top in the colours it
// takes over the sky (where it is drawn first, its letters hide what is
// drawn after them). Only the stars use the depth test, inside their own
// boxes, so the depth buffer is not cleared. Returns false, having drawn
// nothing, when the Moon's texture cannot be made.
bool CachedFrame() {
    // The projection for the window's shape (it may have been resized).
    SceneSetUpProjection();
    // The sky report and the light come first: the Moon's texture is brought
    // up to date before anything is drawn.
    if ((sceneState.frameCounter & 3) == 0) {
        SceneRefreshSky();
    }
    SunInMoonFrame(skyReport, sunDirection[0], sunDirection[1], sunDirection[2]);
    PrepareQuadric();
    if (!MoonCacheUpdate(moonCache, quadric, sunDirection, sceneState.frameCounter,
                         MoonViewFor(skyReport, sceneState.skyView))) {
        return false;
    }
    // The text meets the blending that the frame before left.
    const bool blendAtText = glIsEnabled(GL_BLEND) == GL_TRUE;
    ClearToSky(GL_COLOR_BUFFER_BIT);
    const bool sprites = sceneState.showStars && StarSpritesPrepare(starSprites);
    if (sceneState.showStars) {
        if (sprites) {
            MarkHiddenStars();
            ResetDepthUnderStars();
        } else {
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        starCoreDraw = sprites ? DrawCoreSprite : nullptr;
        starSkip = sprites ? StarHidden : nullptr;
        StarPass(quadric);
        starCoreDraw = nullptr;
        starSkip = nullptr;
    }
    glDisable(GL_DEPTH_TEST);
    MoonCacheComposite(moonCache, sunDirection);
    glDisable(GL_BLEND);
    overlayTextColours = blendAtText ? TextColours::OverSky : TextColours::AsGiven;
    TextPass();
    overlayTextColours = TextColours::AsGiven;
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    return true;
}

}  // namespace

const SaverContext* SaverConfigure() {
    SaverSetInitHook(static_cast<SaverInitHook>(SceneInit));
    SaverSetFrameHook(SceneFrame);
    return &sceneContext;
}

SceneOptions SceneReadOptions() {
    SceneOptions options;
    options.preview = SaverIsPreview() != 0;
    SceneReadLanguage();
    SceneReadSettings(options);
    // The pictures the settings name, else the installed ones.
    options.largePicture = DataFindFile(options.largeTexturePath, kDataLargeMoonPicture);
    options.smallPicture = DataFindFile(options.smallTexturePath, kDataSmallMoonPicture);
    return options;
}

int SceneInit(const SceneOptions& options) {
    // A new context holds none of the cached pictures.
    moonCache = MoonCache{};
    starSprites = StarSprites{};
    hiddenForMoonDraws = hiddenForStarDraws = -1;
    cacheSupport = CacheSupport::Unknown;
    // What the frames draw, fixed for the run.
    sceneState.preview = options.preview;
    sceneState.showText = options.showText;
    sceneState.showStars = options.showStars;
    sceneState.skyView = options.skyView;
    sceneState.showMoonFacts = options.showMoonFacts;
    sceneState.placeDefaulted = options.place.Defaulted();
    textPassEnabled = options.textPass;
    observer.latitude = options.place.latitude;
    observer.longitude = options.place.longitude;
    // Interface texts (in the language already selected) and the default
    // font (which reserves display list 1).
    UiTextBuild();
    TextCreateDefaultFont();
    overlayScreenDpi = SaverGetScreenDpi();
    // Projection: the world on the whole window, round on any shape (each
    // frame sets it again for the shape of each of its pictures).
    SceneSetUpProjection();
    glEnable(GL_DEPTH_TEST);
    BuildSceneTextures(sceneState.preview, options.largePicture.c_str(),
                       options.smallPicture.c_str());
    SceneSetUpLight();
    CreateStarField();
    // The animation timer; it lives as long as the process.
    animationTimer = SetTimer(0, 0, kSceneTickPeriodMs, SceneTick);
    return 1;
}

int SceneInit(uint32_t) {
    return SceneInit(SceneReadOptions());
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
    // 3. to 9. With one picture per monitor the passes are drawn directly,
    // once per monitor (the caches hold the picture of one shape).
    SaverViewport viewports[kSaverMaxViewports];
    const int count = SaverGetViewports(viewports, kSaverMaxViewports);
    if (count > 0) {
        DirectFrame(viewports, count);
        glFlush();
        return;
    }
    // One picture: from the caches where the context can hold them.
    if (!UseCaches() || !CachedFrame()) {
        if (!sceneDirectDrawing) {
            cacheSupport = CacheSupport::No;
        }
        DirectFrame();
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

SceneCacheDraws SceneCacheDrawCounts() {
    return {moonCache.draws, starSprites.draws};
}
