#pragma once

// How the 125 x 100 world is put on a window, and light 0 as the scene
// starts with it. The rule lives here alone: the frame driver, the drawing
// tests and the benchmark all set up their views through these functions.
//
// The picture's shorter side always spans 100 world units, so a sphere is
// drawn round on every window: on a landscape window the world's height of
// 100 is kept and the visible width follows the window's aspect ratio; on a
// portrait window the width spans 100 units, so the Moon still fits across
// it. The visible rectangle is centred on the world's centre (62.5, 50),
// where the Moon stands. On a 5:4 window it is exactly the world,
// 0 ... 125 by 0 ... 100.

// The visible part of the world, in world units.
struct SceneView {
    double left = 0.0, right = 125.0, bottom = 0.0, top = 100.0;
};

// The view of a window (or viewport) of width x height pixels. A size
// that is not positive gives the whole world, 0 ... 125 by 0 ... 100.
SceneView SceneViewFor(int width, int height);

// A point of the world's 125 x 100 rectangle moved to the same place in the
// visible rectangle, so the star field covers the whole picture (the stars
// themselves keep their size and shape).
void SceneViewPlace(const SceneView& view, double* x, double* y);

// The view the projection was last set up for (the whole world until then).
extern SceneView sceneView;

// Loads the projection of a view and records it in sceneView, seen from the front (the modelview
// matrix left at the identity). The depth range is the same on every
// window, so depths do not depend on the window's shape.
void SceneSetUpProjection(const SceneView& view);
// The same for the current GL viewport.
void SceneSetUpProjection();

// Replaces the projection matrix (the modelview matrix is left as it is) by
// the 125 x 100 world stretched over the whole viewport: the overlay is laid
// out in it, so its pixel layout follows the window alone.
void SceneSetUpOverlayProjection();

void SceneSetUpLight();
