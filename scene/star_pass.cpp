#include "scene/star_pass.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "platform/time_zone.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/scene_view.h"
#include "scene/solid_sphere.h"
#include "scene/star_field.h"

void (*starCoreDraw)(int32_t index) = nullptr;
bool (*starSkip)(int32_t index) = nullptr;

namespace {

// The star StarPass is drawing, for starCoreDraw; -1 outside it.
int32_t drawingStar = -1;

// Four rays from tips (±h, 0) and (0, ±v) to the centre; the tips take the
// sky colour so each ray fades into the sky.
void Cross(double h, double v, const GLfloat centre[4], const GLfloat tip[4]) {
    glBegin(GL_LINES);
    const double tips[4][2] = {{-h, 0}, {h, 0}, {0, v}, {0, -v}};
    for (const auto& t : tips) {
        glColor4fv(tip);
        glVertex2d(t[0], t[1]);
        glColor4fv(centre);
        glVertex2d(0, 0);
    }
    glEnd();
}

void RotatedCross(double degrees, double reach, const GLfloat centre[4], const GLfloat tip[4]) {
    glPushMatrix();
    glRotated(degrees, 0, 0, 1);
    Cross(reach, reach, centre, tip);
    glPopMatrix();
}

void BeginSprite(const GLfloat centre[4]) {
    static const GLfloat kRayAmbient[4] = {0.6f, 0.6f, 1.0f, 1.0f};
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_COLOR_MATERIAL);
    glColor4fv(centre);
    glLineWidth(1.0f);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kRayAmbient);
}

}  // namespace

double StarCoreRadius(double size) {
    const double reach = sceneState.preview ? 2 * size : size;
    return reach < 3 ? 0.1 * reach : 0.3;
}

void DrawTwinkleStar(double x, double y, double size, double angle, double brightness) {
    const bool preview = sceneState.preview;
    const GLfloat centre[4] = {1.0f, 1.0f, 1.0f, static_cast<GLfloat>(brightness)};
    const GLfloat tip[4] = {sceneState.skyColour[0], sceneState.skyColour[1],
                            sceneState.skyColour[2], static_cast<GLfloat>(brightness)};
    glPushMatrix();
    BeginSprite(centre);
    glTranslated(x, y, -200);
    glRotated(angle, 0, 0, 1);
    if (!preview) {
        glPushMatrix();
        Cross(0.8 * size, 1.0 * size, centre, tip);
        glPopMatrix();
        RotatedCross(45, 0.5 * size, centre, tip);
    }

    static const GLfloat kCoreLight[4] = {1000.0f, 1000.0f, 1000.0f, 1.0f};
    static const GLfloat kCoreAmbient[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    glPushMatrix();
    glTranslated(0, 0, 20);
    glLightfv(GL_LIGHT0, GL_POSITION, kCoreLight);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kCoreAmbient);
    glColor4fv(centre);
    // The sphere draws its near half first; its far half lies behind it at
    // every pixel and fails the depth test, so culling it spares half the
    // triangles without changing a pixel.
    if (starCoreDraw != nullptr && drawingStar >= 0) {
        starCoreDraw(drawingStar);
    } else {
        glEnable(GL_CULL_FACE);
        SolidSphere(StarCoreRadius(size));
        glDisable(GL_CULL_FACE);
    }
    glPopMatrix();

    const double side = preview ? size : 0.5 * size;
    RotatedCross(22, side, centre, tip);
    RotatedCross(-22, side, centre, tip);

    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
}

void DrawFlareStar(GLUquadric* quadric, double x, double y, double size, double alpha) {
    const GLfloat centre[4] = {1.0f, 1.0f, 1.0f, static_cast<GLfloat>(alpha)};
    const GLfloat tip[4] = {sceneState.skyColour[0], sceneState.skyColour[1],
                            sceneState.skyColour[2], static_cast<GLfloat>(alpha)};
    glPushMatrix();
    BeginSprite(centre);
    glTranslated(x, y, -190);
    Cross(0.8 * size, size, centre, tip);
    RotatedCross(45, size / 3, centre, tip);

    const double glow = 2 * size / 3;
    glPushMatrix();
    glTranslated(0, 0, 20);
    glColor4fv(centre);
    // Each sphere draws its near half first; its far half then fails the
    // depth test everywhere, so it is culled.
    glEnable(GL_CULL_FACE);
    gluSphere(quadric, 0.05 * glow, 4, 4);
    glEnable(GL_TEXTURE_2D);
    gluSphere(quadric, 0.2 * glow, 16, 16);
    gluSphere(quadric, 0.65 * glow, 32, 32);
    gluSphere(quadric, 0.75 * glow, 32, 32);
    gluSphere(quadric, 1.0 * glow, 32, 32);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glPopMatrix();

    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
}

void StarPlace(int32_t index, double* x, double* y) {
    *x = starField.x[index];
    *y = starField.y[index];
    SceneViewPlace(sceneView, x, y);
}

void StarPass(GLUquadric* quadric) {
    glPushMatrix();
    // The next flare position depends on the second in which the current
    // flare window ends.
    StarFieldNoteDrawn(PlatformTimeNow());
    glDisable(GL_TEXTURE_2D);
    const int32_t count = sceneState.preview ? kTwinkleStars / 5 : kTwinkleStars;
    for (int32_t i = 0; i < count; ++i) {
        if (starSkip != nullptr && starSkip(i)) {
            continue;
        }
        drawingStar = i;
        double x = 0, y = 0;
        StarPlace(i, &x, &y);
        DrawTwinkleStar(x, y, starField.size[i], starField.angle[i], starField.brightness[i]);
    }
    drawingStar = -1;
    glBindTexture(GL_TEXTURE_2D, sceneTextures.flareGlowTexture);
    for (int32_t j = 0; j < kFlareStars; ++j) {
        double x = 0, y = 0;
        StarPlace(kTwinkleStars + j, &x, &y);
        glDisable(GL_LIGHT0);
        DrawFlareStar(quadric, x, y, starField.flareSize, starField.flareAlpha);
        glEnable(GL_LIGHT0);
    }
    glPopMatrix();
}
