#pragma once

#include <cstdint>

class GLUquadric;

// Draws the twinkling stars (all of them in full screen, the first fifth in
// preview) and the flare star, spread over the view of the projection
// (StarPlace). Entered with lighting and light 0 on and
// texturing on.
void StarPass(GLUquadric* quadric);

// Where star `index` of the star field (the flare star included) stands in
// the view the projection was set up for (sceneView): the field's places
// spread over the whole visible world.
void StarPlace(int32_t index, double* x, double* y);

// One twinkling star at depth -200: crosses of rays that fade into the sky
// colour, and a small lit core.
void DrawTwinkleStar(double x, double y, double size, double angle, double brightness);

// Radius of a twinkling star's core (world units) for a star of `size`.
double StarCoreRadius(double size);

// Draws the core of twinkling star `index` in place of its sphere, under the
// core's matrix and light (the frame driver's sprites); null draws the
// sphere. StarPass passes each star's index; DrawTwinkleStar called on its
// own always draws the sphere.
extern void (*starCoreDraw)(int32_t index);

// True leaves twinkling star `index` out of StarPass (the frame driver's
// stars wholly hidden behind the Moon); null draws every star.
extern bool (*starSkip)(int32_t index);

// The flare star at depth -190: a cross of rays and nested glow spheres.
// Light 0 must be off.
void DrawFlareStar(GLUquadric* quadric, double x, double y, double size, double alpha);
