#include "scene/moon_pass.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include "ephemeris/moon_face.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/solid_sphere.h"

namespace {

// Half the thickness of the limb glow's band, as a fraction of its radius:
// the texture rows with a nonzero alpha (54 ... 74 of 128, a little more
// with linear filtering) lie on stacks 13 ... 18 of 32, whose corners reach
// cos(13/32 pi) = 0.2903 of the radius from the equator.
constexpr double kGlowSlab = 0.30;

}  // namespace

MoonView MoonViewFor(const SkyReport& report, bool skyView) {
    MoonView view;
    if (!skyView) {
        return view;
    }
    view.faceTurn = MoonFaceTurn(report.axisPositionAngle, report.parallacticAngle);
    view.librationLongitude = report.librationLongitude;
    view.librationLatitude = report.librationLatitude;
    const double earth = EarthLitFraction(report.illuminatedFraction);
    view.nightLevel = static_cast<float>(kNightLevelFullMoon +
                                         (kNightLevelNewMoon - kNightLevelFullMoon) * earth);
    return view;
}

double MoonRadius() {
    return 0.85 * sceneState.worldHeight * 0.45;
}

double MoonGlowRadius() {
    return 0.85 * sceneState.worldHeight * 0.46;
}

void MoonCentre(double centre[3]) {
    centre[0] = sceneState.worldWidth / 2;
    centre[1] = sceneState.worldHeight / 2;
    centre[2] = 2;
}

void MoonPass(GLUquadric* quadric, const double sunDirection[3], bool intoLayer,
              const MoonView& view) {
    const bool preview = sceneState.preview;
    const bool textured = sceneTextures.pixelCount > 0;

    glPushMatrix();
    glEnable(GL_BLEND);
    if (intoLayer) {
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glEnable(GL_COLOR_MATERIAL);

    // The night side shows at the view's level (8 % unless the earthshine
    // follows the Earth's phase); the light is a far point, in effect
    // directional, and stays where the Sun is whatever turns the face.
    const GLfloat ambient[4] = {view.nightLevel, view.nightLevel, view.nightLevel, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat sun[4] = {static_cast<GLfloat>(sunDirection[0]),
                            static_cast<GLfloat>(sunDirection[1]),
                            static_cast<GLfloat>(sunDirection[2]), 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);
    glColor4f(0.9978f, 0.9978f, 0.9978f, 1.0f);

    // Puts the centre of the near side toward the viewer and north up.
    double centre[3];
    MoonCentre(centre);
    glTranslated(centre[0], centre[1], centre[2]);
    // In the observer's sky the face is turned about the line of sight, and
    // the point of the libration is brought to the centre of the disc (its
    // longitude about the lunar axis, its latitude about the horizontal);
    // the limb glow, a ring about the line of sight, keeps its place. Each
    // turn is skipped when zero so the north-up picture is drawn with
    // exactly its own matrices.
    if (view.faceTurn != 0.0) {
        glRotated(view.faceTurn, 0, 0, 1);
    }
    const bool librated = view.librationLatitude != 0.0 || view.librationLongitude != 0.0;
    if (librated) {
        glPushMatrix();
        glRotated(view.librationLatitude, 1, 0, 0);
        glRotated(-view.librationLongitude, 0, 1, 0);
    }
    glRotated(-90, 1, 0, 0);
    glRotated(90, 0, 0, 1);

    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, sceneTextures.moonTexture);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    // The far hemisphere is never seen; culling it halves the cost of the
    // largest surface in software and keeps its dark texels from tinting
    // the soft rim in the slices drawn before the near side.
    glEnable(GL_CULL_FACE);
    if (preview) {
        ListedSphere(quadric, MoonRadius(), 64, 32);
    } else if (textured) {
        ListedSphere(quadric, MoonRadius(), 128, 64);
    } else {
        ListedSphere(quadric, MoonRadius(), 256, 128);
    }
    glDisable(GL_CULL_FACE);
    if (librated) {
        glPopMatrix();
        glRotated(-90, 1, 0, 0);
        glRotated(90, 0, 0, 1);
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sceneTextures.limbGlowTexture);
    if (!preview) {
        // Turns the glow texture's equator into the circle of the limb.
        glPushMatrix();
        glRotated(90, 0, 1, 0);
        // Only the stacks about the equator carry the band; everywhere else
        // the texture's alpha is 0 and blending leaves the picture as it is.
        // Clipping the sphere to that slab draws the same picture at a small
        // part of the cost (nothing drawn later depends on the depth).
        const double glowRadius = MoonGlowRadius();
        const GLdouble below[4] = {0, 0, -1, kGlowSlab * glowRadius};
        const GLdouble above[4] = {0, 0, 1, kGlowSlab * glowRadius};
        glClipPlane(GL_CLIP_PLANE0, below);
        glClipPlane(GL_CLIP_PLANE1, above);
        glEnable(GL_CLIP_PLANE0);
        glEnable(GL_CLIP_PLANE1);
        ListedSphere(quadric, glowRadius, 128, 32);
        glDisable(GL_CLIP_PLANE0);
        glDisable(GL_CLIP_PLANE1);
        glPopMatrix();
    }

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    if (intoLayer) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glPopMatrix();
}
