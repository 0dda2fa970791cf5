#include "scene/solid_sphere.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::pair<double, GLuint>> solidLists;
GLUquadric* solidQuadric = nullptr;

struct ListedKey {
    GLUquadric* quadric;
    double radius;
    int slices;
    int stacks;
    GLuint list;
};
std::vector<ListedKey> listedSpheres;

}  // namespace

void SolidSphere(double radius) {
    for (const auto& [listRadius, list] : solidLists) {
        if (listRadius == radius) {
            glCallList(list);
            return;
        }
    }
    if (solidQuadric == nullptr) {
        solidQuadric = gluNewQuadric();
        gluQuadricDrawStyle(solidQuadric, GLU_FILL);
        gluQuadricNormals(solidQuadric, GLU_SMOOTH);
    }
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    gluSphere(solidQuadric, radius, 16, 16);
    glEndList();
    solidLists.emplace_back(radius, list);
}

void ListedSphere(GLUquadric* quadric, double radius, int slices, int stacks) {
    for (const ListedKey& key : listedSpheres) {
        if (key.quadric == quadric && key.radius == radius && key.slices == slices &&
            key.stacks == stacks) {
            glCallList(key.list);
            return;
        }
    }
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluSphere(quadric, radius, slices, stacks);
    glEndList();
    listedSpheres.push_back({quadric, radius, slices, stacks, list});
    glCallList(list);
}

int SolidSphereListCount() {
    return static_cast<int>(solidLists.size());
}

void SolidSphereForget() {
    solidLists.clear();
    listedSpheres.clear();
    if (solidQuadric != nullptr) {
        gluDeleteQuadric(solidQuadric);
        solidQuadric = nullptr;
    }
}
