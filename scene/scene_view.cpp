#include "scene/scene_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/scene_state.h"

SceneView sceneView;

SceneView SceneViewFor(int width, int height) {
    const double w = sceneState.worldWidth;
    const double h = sceneState.worldHeight;
    SceneView view;
    view.right = w;
    view.top = h;
    if (width <= 0 || height <= 0) {
        return view;
    }
    // The shorter side spans the world's height; the other side follows the
    // window's aspect ratio. Computed as half sizes about the centre so that
    // a 5:4 window gives exactly 0 ... 125 by 0 ... 100.
    double halfWidth = 0.5 * h * width / height;
    double halfHeight = 0.5 * h;
    if (width < height) {
        halfWidth = 0.5 * h;
        halfHeight = 0.5 * h * height / width;
    }
    view.left = 0.5 * w - halfWidth;
    view.right = 0.5 * w + halfWidth;
    view.bottom = 0.5 * h - halfHeight;
    view.top = 0.5 * h + halfHeight;
    return view;
}

void SceneViewPlace(const SceneView& view, double* x, double* y) {
    // Each factor is exactly 1 and each offset exactly 0 on a 5:4 window.
    *x = view.left + *x * ((view.right - view.left) / sceneState.worldWidth);
    *y = view.bottom + *y * ((view.top - view.bottom) / sceneState.worldHeight);
}

namespace {

// Leaves the projection matrix selected.
void LoadOrtho(double left, double right, double bottom, double top) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -10.0 * sceneState.worldWidth, 10.0 * sceneState.worldWidth);
    gluLookAt(0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

}  // namespace

void SceneSetUpProjection(const SceneView& view) {
    sceneView = view;
    LoadOrtho(view.left, view.right, view.bottom, view.top);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SceneSetUpProjection() {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    SceneSetUpProjection(SceneViewFor(viewport[2], viewport[3]));
}

void SceneSetUpOverlayProjection() {
    LoadOrtho(0.0, sceneState.worldWidth, 0.0, sceneState.worldHeight);
    glMatrixMode(GL_MODELVIEW);
}

void SceneSetUpLight() {
    const GLfloat diffuse[4] = {0.99f, 0.99f, 0.99f, 1.0f};
    const GLfloat specular[4] = {0.0099f, 0.0099f, 0.00099f, 1.0f};
    const GLfloat position[4] = {-1.0e9f, 1.0e9f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}
