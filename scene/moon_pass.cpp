#include "scene/moon_pass.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/scene_state.h"
#include "scene/scene_textures.h"

double MoonRadius() {
    return 0.85 * sceneState.worldHeight * 0.45;
}

void MoonPass(GLUquadric* quadric, const double sunDirection[3]) {
    const bool preview = sceneState.preview;
    const bool textured = sceneTextures.pixelCount > 0;

    glPushMatrix();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_COLOR_MATERIAL);

    // The night side shows at 8 %; the light is a far point, in effect directional.
    static const GLfloat kAmbient[4] = {0.08f, 0.08f, 0.08f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbient);
    const GLfloat sun[4] = {static_cast<GLfloat>(sunDirection[0]),
                            static_cast<GLfloat>(sunDirection[1]),
                            static_cast<GLfloat>(sunDirection[2]), 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glColor4f(0.9978f, 0.9978f, 0.9978f, 1.0f);

    // Puts the centre of the near side toward the viewer and north up.
    glTranslated(sceneState.worldWidth / 2, sceneState.worldHeight / 2, 2);
    glRotated(-90, 1, 0, 0);
    glRotated(90, 0, 0, 1);

    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, sceneTextures.moonTexture);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (preview) {
        gluSphere(quadric, MoonRadius(), 64, 32);
    } else if (textured) {
        gluSphere(quadric, MoonRadius(), 128, 64);
    } else {
        gluSphere(quadric, MoonRadius(), 256, 128);
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sceneTextures.limbGlowTexture);
    if (!preview) {
        // Turns the glow texture's equator into the circle of the limb.
        glPushMatrix();
        glRotated(90, 0, 1, 0);
        gluSphere(quadric, 0.85 * sceneState.worldHeight * 0.46, 128, 32);
        glPopMatrix();
    }

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glPopMatrix();
}
