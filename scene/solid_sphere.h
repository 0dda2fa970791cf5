#pragma once

// A lit, smooth sphere of 16 x 16 facets. The first request for a radius
// compiles it into a display list (and draws it); later requests for exactly
// the same radius call that list. The lists live as long as the GL context.
void SolidSphere(double radius);

// How many radii have a display list. For checks of the caching.
int SolidSphereListCount();

// Forgets the lists; for a process that makes a new GL context.
void SolidSphereForget();
