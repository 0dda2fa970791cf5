#include "scene/solid_sphere.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<double, GLuint>> sphereLists;
GLUquadric* sphereQuadric = nullptr;

}  // namespace

void SolidSphere(double radius) {
    for (const auto& [listRadius, list] : sphereLists) {
        if (listRadius == radius) {
            glCallList(list);
            return;
        }
    }
    if (sphereQuadric == nullptr) {
        sphereQuadric = gluNewQuadric();
        gluQuadricDrawStyle(sphereQuadric, GLU_FILL);
        gluQuadricNormals(sphereQuadric, GLU_SMOOTH);
    }
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    gluSphere(sphereQuadric, radius, 16, 16);
    glEndList();
    sphereLists.emplace_back(radius, list);
}

int SolidSphereListCount() {
    return static_cast<int>(sphereLists.size());
}

void SolidSphereForget() {
    sphereLists.clear();
    if (sphereQuadric != nullptr) {
        gluDeleteQuadric(sphereQuadric);
        sphereQuadric = nullptr;
    }
}
