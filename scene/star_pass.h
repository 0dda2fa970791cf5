#pragma once

#include "scene/scene_view.h"

class GLUquadric;

// Draws the twinkling stars (all of them in full screen, the first fifth in
// preview) and the flare star, the star field spread over the whole view.
// Entered with lighting and light 0 on and texturing on.
void StarPass(GLUquadric* quadric, const SceneView& view);
// The same over the view of the current GL viewport.
void StarPass(GLUquadric* quadric);

// One twinkling star at depth -200: crosses of rays that fade into the sky
// colour, and a small lit core.
void DrawTwinkleStar(double x, double y, double size, double angle, double brightness);

// The flare star at depth -190: a cross of rays and nested glow spheres.
// Light 0 must be off.
void DrawFlareStar(GLUquadric* quadric, double x, double y, double size, double alpha);
