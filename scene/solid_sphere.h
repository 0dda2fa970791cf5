#pragma once

class GLUquadric;

// Spheres drawn from display lists. Mesa's immediate mode makes a sphere of
// thousands of facets far too slow for every frame in software; a compiled
// list draws the very same facets at a fraction of the cost. The lists live
// as long as the GL context.

// A lit, smooth sphere of 16 x 16 facets. The first request for a radius
// compiles it into a display list (and draws it); later requests for exactly
// the same radius call that list.
void SolidSphere(double radius);

// gluSphere(quadric, radius, slices, stacks), compiled once per quadric,
// radius, slices and stacks and called from then on. The quadric's settings
// at the first call are the ones kept.
void ListedSphere(GLUquadric* quadric, double radius, int slices, int stacks);

// How many radii SolidSphere has a display list for. For checks of the caching.
int SolidSphereListCount();

// Forgets all the lists; for a process that makes a new GL context.
void SolidSphereForget();
