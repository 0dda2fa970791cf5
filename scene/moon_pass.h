#pragma once

class GLUquadric;

// Draws the Moon lit from `sunDirection` (the Sun in the frame whose -z axis
// points at the Moon, x right, y up; a far point, about 1e19 away), with the
// Moon map when there is one and, in full screen, the limb glow.
void MoonPass(GLUquadric* quadric, const double sunDirection[3]);

// Radius of the Moon sphere, world units.
double MoonRadius();
