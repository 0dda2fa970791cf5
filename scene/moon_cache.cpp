#include "scene/moon_cache.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "scene/moon_pass.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"

namespace {

// Pixels added round the projected glow sphere: the glow's linear filtering
// and the rasteriser's rounding reach at most a pixel past it.
constexpr int32_t kMargin = 3;

bool HasExtension(const char* name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (all == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(all, name); at != nullptr; at = std::strstr(at + 1, name)) {
        if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

int GlMajorVersion() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return version != nullptr ? std::atoi(version) : 0;
}

double Angle(const double a[3], const double b[3]) {
    const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    const double cross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                             a[0] * b[1] - a[1] * b[0]};
    return std::atan2(std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]),
                      dot);
}

// Whether the Moon drawn with view `a` differs visibly from one drawn with
// `b`: a turn of the face or of the sphere by more than kMoonCacheTurn (a
// point on the limb moves by under a pixel below it), or a night side half
// a grey level brighter or darker.
bool ViewMoved(const MoonView& a, const MoonView& b) {
    constexpr double kDegrees = 0.017453292519943295;
    auto turned = [](double x, double y) {
        return std::fabs(std::remainder(x - y, 360.0)) * kDegrees > kMoonCacheTurn;
    };
    return turned(a.faceTurn, b.faceTurn) || turned(a.librationLongitude, b.librationLongitude) ||
           turned(a.librationLatitude, b.librationLatitude) ||
           std::fabs(a.nightLevel - b.nightLevel) * 255.0f > 0.5f;
}

// The pixel box (clipped to the viewport) that holds the glow sphere, through
// the scene's current projection.
void MoonBox(const GLint viewport[4], int32_t box[4]) {
    GLdouble model[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    double centre[3];
    MoonCentre(centre);
    const double r = MoonGlowRadius();
    double low[2] = {1e30, 1e30}, high[2] = {-1e30, -1e30};
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dz = -1; dz <= 1; ++dz) {
                GLdouble wx = 0, wy = 0, wz = 0;
                gluProject(centre[0] + dx * r, centre[1] + dy * r, centre[2] + dz * r, model,
                           projection, viewport, &wx, &wy, &wz);
                low[0] = std::min(low[0], wx);
                low[1] = std::min(low[1], wy);
                high[0] = std::max(high[0], wx);
                high[1] = std::max(high[1], wy);
            }
        }
    }
    const int32_t x0 =
        std::max<int32_t>(viewport[0], static_cast<int32_t>(std::floor(low[0])) - kMargin);
    const int32_t y0 =
        std::max<int32_t>(viewport[1], static_cast<int32_t>(std::floor(low[1])) - kMargin);
    const int32_t x1 = std::min<int32_t>(viewport[0] + viewport[2],
                                         static_cast<int32_t>(std::ceil(high[0])) + kMargin);
    const int32_t y1 = std::min<int32_t>(viewport[1] + viewport[3],
                                         static_cast<int32_t>(std::ceil(high[1])) + kMargin);
    box[0] = x0 - viewport[0];
    box[1] = y0 - viewport[1];
    box[2] = std::max(0, x1 - x0);
    box[3] = std::max(0, y1 - y0);
}

bool MakeTarget(MoonCache& cache, int32_t width, int32_t height) {
    if (cache.framebuffer != 0 && cache.width == width && cache.height == height) {
        return true;
    }
    const int32_t draws = cache.draws;
    MoonCacheForget(cache);
    cache.draws = draws;
    cache.texture = MakeOffscreenTexture(width, height);

    glGenRenderbuffers(1, &cache.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, cache.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &cache.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, cache.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, cache.texture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, cache.depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        MoonCacheForget(cache);
        return false;
    }
    cache.width = width;
    cache.height = height;
    return true;
}

// Draws the Moon into the cache texture, pixel for pixel as it lies in the
// window: the viewport is shifted by the box's whole-pixel offset.
void Render(MoonCache& cache, GLUquadric* quadric, const double sunDirection[3],
            const GLint viewport[4]) {
    const MoonView view = cache.view;
    glBindFramebuffer(GL_FRAMEBUFFER, cache.framebuffer);
    glViewport(-cache.x, -cache.y, viewport[2], viewport[3]);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    MoonPass(quadric, sunDirection, true, view);
    glGetFloatv(GL_CURRENT_NORMAL, cache.normal);
    glPopAttrib();
    // The layer's coverage: what it hides completely needs no drawing.
    cache.coverage.resize(static_cast<size_t>(cache.width) * cache.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, cache.width, cache.height, GL_ALPHA, GL_UNSIGNED_BYTE,
                 cache.coverage.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

// The window depth of a world point in front of the Moon (whose near surface
// lies at z = 40) and behind the text (z = 100).
double LayerDepth() {
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    double centre[3];
    MoonCentre(centre);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(centre[0], centre[1], 70.0, model, projection, viewport, &wx, &wy, &wz);
    return wz;
}

// Lays the cached layer over the frame: premultiplied "over", at a depth
// between the Moon and the text, so the letters drawn before stay in front.
void Composite(const MoonCache& cache) {
    const int32_t* v = cache.viewport;
    const double depth = LayerDepth();
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT |
                 GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, cache.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, v[2], 0, v[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const double x0 = cache.x, y0 = cache.y;
    const double x1 = x0 + cache.width, y1 = y0 + cache.height;
    const double z = 1.0 - 2.0 * depth;  // glOrtho(-1, 1) maps z to the depth (1 - z) / 2
    glBegin(GL_QUADS);
    glTexCoord2d(0, 0);
    glVertex3d(x0, y0, z);
    glTexCoord2d(1, 0);
    glVertex3d(x1, y0, z);
    glTexCoord2d(1, 1);
    glVertex3d(x1, y1, z);
    glTexCoord2d(0, 1);
    glVertex3d(x0, y1, z);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopAttrib();
}

}  // namespace

bool MoonCacheSupported() {
    return GlMajorVersion() >= 3 ||
           (HasExtension("GL_ARB_framebuffer_object") &&
            HasExtension("GL_ARB_texture_non_power_of_two") && GlMajorVersion() >= 2);
}

bool MoonCacheUpdate(MoonCache& cache, GLUquadric* quadric, const double sunDirection[3],
                     int32_t frame, const MoonView& view) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    int32_t box[4];
    MoonBox(viewport, box);
    const bool sameView =
        cache.valid && std::equal(viewport, viewport + 4, cache.viewport) && cache.x == box[0] &&
        cache.y == box[1] && cache.width == box[2] && cache.height == box[3] &&
        cache.moonTexture == sceneTextures.moonTexture && cache.preview == sceneState.preview;
    const uint32_t age = static_cast<uint32_t>(frame) - static_cast<uint32_t>(cache.drawnFrame);
    const bool lightMoved =
        (Angle(cache.sun, sunDirection) > kMoonCacheTurn || ViewMoved(cache.view, view)) &&
        age >= static_cast<uint32_t>(kMoonCacheMinFrames);
    if (sameView && !lightMoved) {
        return true;
    }
    if (box[2] <= 0 || box[3] <= 0) {
        // The Moon lies outside the window: nothing to draw or to lay over.
        MoonCacheForget(cache);
    } else if (!MakeTarget(cache, box[2], box[3])) {
        return false;
    }
    std::copy(viewport, viewport + 4, cache.viewport);
    cache.x = box[0];
    cache.y = box[1];
    cache.width = box[2];
    cache.height = box[3];
    cache.moonTexture = sceneTextures.moonTexture;
    cache.preview = sceneState.preview;
    cache.drawnFrame = frame;
    std::copy(sunDirection, sunDirection + 3, cache.sun);
    cache.view = view;
    cache.valid = true;
    if (cache.framebuffer == 0) {
        return true;
    }
    ++cache.draws;
    // The frame's own state is left as it was.
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT |
                 GL_TEXTURE_BIT);
    Render(cache, quadric, sunDirection, viewport);
    glPopAttrib();
    return true;
}

void MoonCacheComposite(const MoonCache& cache, const double sunDirection[3]) {
    if (cache.framebuffer != 0) {
        Composite(cache);
    }
    // What MoonPass leaves behind: the Sun's light, its ambient, blending on.
    const float night = cache.view.nightLevel;
    const GLfloat ambient[4] = {night, night, night, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat sun[4] = {static_cast<GLfloat>(sunDirection[0]),
                            static_cast<GLfloat>(sunDirection[1]),
                            static_cast<GLfloat>(sunDirection[2]), 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glColor4f(0.9978f, 0.9978f, 0.9978f, 1.0f);
    glNormal3fv(cache.normal);
}

bool MoonCacheDraw(MoonCache& cache, GLUquadric* quadric, const double sunDirection[3],
                   int32_t frame, const MoonView& view) {
    if (!MoonCacheUpdate(cache, quadric, sunDirection, frame, view)) {
        return false;
    }
    MoonCacheComposite(cache, sunDirection);
    return true;
}

bool MoonCacheCovers(const MoonCache& cache, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    if (cache.framebuffer == 0 || cache.coverage.empty()) {
        return false;
    }
    x0 -= cache.x;
    x1 -= cache.x;
    y0 -= cache.y;
    y1 -= cache.y;
    if (x0 < 0 || y0 < 0 || x1 > cache.width || y1 > cache.height || x0 >= x1 || y0 >= y1) {
        return false;
    }
    for (int32_t row = y0; row < y1; ++row) {
        const uint8_t* at = &cache.coverage[static_cast<size_t>(row) * cache.width];
        for (int32_t column = x0; column < x1; ++column) {
            if (at[column] != 255) {
                return false;
            }
        }
    }
    return true;
}

void MoonCacheForget(MoonCache& cache) {
    if (cache.framebuffer != 0) {
        glDeleteFramebuffers(1, &cache.framebuffer);
    }
    if (cache.depth != 0) {
        glDeleteRenderbuffers(1, &cache.depth);
    }
    if (cache.texture != 0) {
        glDeleteTextures(1, &cache.texture);
    }
    cache = MoonCache{};
}
