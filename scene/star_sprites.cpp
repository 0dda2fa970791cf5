#include "scene/star_sprites.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/solid_sphere.h"
#include "scene/star_pass.h"

namespace {

constexpr int32_t kColumns = 10;  // cells per row of the sprite texture

int32_t StarCount() {
    return sceneState.preview ? kTwinkleStars / 5 : kTwinkleStars;
}

// The core's matrix as DrawTwinkleStar sets it up.
void CoreMatrix(int32_t i) {
    double x = 0, y = 0;
    StarPlace(i, &x, &y);
    glTranslated(x, y, -200);
    glRotated(starField.angle[i], 0, 0, 1);
    glTranslated(0, 0, 20);
}

struct Matrices {
    GLdouble model[16], projection[16];
    GLint viewport[4];
};

// The side of a cell: the largest core's width in pixels with room to spare.
int32_t CellSide(const Matrices& m) {
    double largest = 0;
    for (int32_t i = 0; i < StarCount(); ++i) {
        largest = std::max(largest, StarCoreRadius(starField.size[i]));
    }
    GLdouble x0, y0, z0, x1, y1, z1;
    gluProject(0, 0, 0, m.model, m.projection, m.viewport, &x0, &y0, &z0);
    gluProject(largest, largest, 0, m.model, m.projection, m.viewport, &x1, &y1, &z1);
    const double pixels = 2 * std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    return static_cast<int32_t>(std::ceil(pixels)) + 6;
}

bool MakeTarget(StarSprites& sprites, int32_t width, int32_t height) {
    StarSpritesForget(sprites);
    sprites.texture = MakeOffscreenTexture(width, height);
    glGenFramebuffers(1, &sprites.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, sprites.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sprites.texture, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        StarSpritesForget(sprites);
    }
    return complete;
}

}  // namespace

bool StarSpritesPrepare(StarSprites& sprites) {
    Matrices m;
    glGetIntegerv(GL_VIEWPORT, m.viewport);
    if (sprites.valid && std::equal(m.viewport, m.viewport + 4, sprites.viewport) &&
        sprites.preview == sceneState.preview) {
        return true;
    }
    glGetDoublev(GL_MODELVIEW_MATRIX, m.model);
    glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
    const int32_t cell = CellSide(m);
    const int32_t rows = (kTwinkleStars + kColumns - 1) / kColumns;
    const int32_t draws = sprites.draws;
    if (!MakeTarget(sprites, kColumns * cell, rows * cell)) {
        return false;
    }
    sprites.draws = draws + 1;

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LIGHTING_BIT | GL_SCISSOR_BIT |
                 GL_CURRENT_BIT | GL_VIEWPORT_BIT | GL_POLYGON_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, sprites.framebuffer);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);
    static const GLfloat kCoreLight[4] = {1000.0f, 1000.0f, 1000.0f, 1.0f};
    static const GLfloat kCoreAmbient[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kCoreAmbient);
    const double width = kColumns * cell, height = rows * cell;
    for (int32_t i = 0; i < StarCount(); ++i) {
        // The cell's lower-left corner in the window, whole pixels about the core.
        double sx = 0, sy = 0;
        StarPlace(i, &sx, &sy);
        GLdouble px, py, pz;
        gluProject(sx, sy, -180, m.model, m.projection, m.viewport, &px, &py, &pz);
        const int32_t ox = static_cast<int32_t>(std::floor(px)) - cell / 2;
        const int32_t oy = static_cast<int32_t>(std::floor(py)) - cell / 2;
        const int32_t cx = (i % kColumns) * cell, cy = (i / kColumns) * cell;
        // Shifting the viewport by whole pixels moves the picture without
        // changing how the sphere's facets fall on the pixels.
        glViewport(m.viewport[0] - ox + cx, m.viewport[1] - oy + cy, m.viewport[2], m.viewport[3]);
        glScissor(cx, cy, cell, cell);
        glPushMatrix();
        CoreMatrix(i);
        glLightfv(GL_LIGHT0, GL_POSITION, kCoreLight);
        glColor4f(1, 1, 1, 1);
        SolidSphere(StarCoreRadius(starField.size[i]));
        glPopMatrix();

        StarSprite& sprite = sprites.sprites[i];
        const double corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k) {
            gluUnProject(ox + corners[k][0] * cell, oy + corners[k][1] * cell, pz, m.model,
                         m.projection, m.viewport, &sprite.corners[k][0], &sprite.corners[k][1],
                         &sprite.corners[k][2]);
        }
        // The rays reach `size` from the centre at most (a pixel more for
        // the lines' rounding).
        GLdouble lx, ly, lz, hx, hy, hz;
        const double reach = starField.size[i];
        gluProject(sx - reach, sy - reach, -200, m.model, m.projection, m.viewport, &lx, &ly, &lz);
        gluProject(sx + reach, sy + reach, -200, m.model, m.projection, m.viewport, &hx, &hy, &hz);
        sprite.box[0] = static_cast<int32_t>(std::floor(std::min(lx, hx))) - 2 - m.viewport[0];
        sprite.box[1] = static_cast<int32_t>(std::floor(std::min(ly, hy))) - 2 - m.viewport[1];
        sprite.box[2] = static_cast<int32_t>(std::ceil(std::max(lx, hx))) + 3 - m.viewport[0];
        sprite.box[3] = static_cast<int32_t>(std::ceil(std::max(ly, hy))) + 3 - m.viewport[1];
        sprite.texture[0][0] = cx / width;
        sprite.texture[0][1] = cy / height;
        sprite.texture[1][0] = (cx + cell) / width;
        sprite.texture[1][1] = (cy + cell) / height;
    }
    glGetFloatv(GL_CURRENT_NORMAL, sprites.normal);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glPopAttrib();
    std::copy(m.viewport, m.viewport + 4, sprites.viewport);
    sprites.preview = sceneState.preview;
    sprites.valid = true;
    return true;
}

void StarSpritesDrawCore(const StarSprites& sprites, int32_t index) {
    const StarSprite& sprite = sprites.sprites[index];
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sprites.texture);
    // Only the core's own pixels are drawn and hide what lies behind them.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    const double(*t)[2] = sprite.texture;
    const double texture[4][2] = {
        {t[0][0], t[0][1]}, {t[1][0], t[0][1]}, {t[1][0], t[1][1]}, {t[0][0], t[1][1]}};
    glBegin(GL_QUADS);
    for (int k = 0; k < 4; ++k) {
        glTexCoord2dv(texture[k]);
        glVertex3dv(sprite.corners[k]);
    }
    glEnd();
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glPopMatrix();
    // The rays of the next star are lit with the normal the sphere left.
    glNormal3fv(sprites.normal);
}

void StarSpritesForget(StarSprites& sprites) {
    if (sprites.framebuffer != 0) {
        glDeleteFramebuffers(1, &sprites.framebuffer);
    }
    if (sprites.texture != 0) {
        glDeleteTextures(1, &sprites.texture);
    }
    sprites = StarSprites{};
}
