#pragma once

class GLUquadric;

// Draws the Moon lit from `sunDirection` (the Sun in the frame whose -z axis
// points at the Moon, x right, y up; a far point, about 1e19 away), with the
// Moon map when there is one and, in full screen, the limb glow.
// With `intoLayer` the pass draws onto a transparent target and keeps there
// premultiplied colour and coverage (the blend of the alpha channel is
// "over"), so that the target laid over a scene gives what drawing the Moon
// over that scene gives.
void MoonPass(GLUquadric* quadric, const double sunDirection[3], bool intoLayer = false);

// Radius of the Moon sphere and of the limb-glow sphere, world units.
double MoonRadius();
double MoonGlowRadius();
// Centre of both spheres, world units.
void MoonCentre(double centre[3]);
