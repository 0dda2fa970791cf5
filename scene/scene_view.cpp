#include "scene/scene_view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "scene/scene_state.h"

void SceneSetUpProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, sceneState.worldWidth, 0.0, sceneState.worldHeight, -10.0 * sceneState.worldWidth,
            10.0 * sceneState.worldWidth);
    gluLookAt(0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
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
