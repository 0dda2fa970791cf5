#pragma once

#include "ephemeris/sky_report.h"

class GLUquadric;

// How the Moon's sphere lies under the view and how bright its night side
// is. Together with the Sun's direction, the mode and the textures, these
// are all the Moon's picture depends on (a cache of the picture keys on
// them). The defaults draw lunar north up, the near side's centre facing
// the viewer and the night side at 8 %.
struct MoonView {
    double faceTurn = 0.0;            // degrees about the line of sight, counterclockwise
    double librationLongitude = 0.0;  // selenographic point facing the viewer, degrees
    double librationLatitude = 0.0;
    float nightLevel = 0.08f;  // ambient light of the night side

    bool operator==(const MoonView&) const = default;
};

// The night side's light at full moon (the fixed level of the north-up
// picture) and at new moon, when the full Earth lights it most; the level
// between follows the Earth's lit fraction seen from the Moon.
inline constexpr float kNightLevelFullMoon = 0.08f;
inline constexpr float kNightLevelNewMoon = 0.20f;

// The view for the report: the defaults when skyView is off; otherwise the
// face turned for the observer's sky, the sphere turned by the libration,
// and the earthshine.
MoonView MoonViewFor(const SkyReport& report, bool skyView);

// Draws the Moon lit from `sunDirection` (the Sun in the frame whose -z axis
// points at the Moon, x right, y up; a far point, about 1e19 away), with the
// Moon map when there is one and, in full screen, the limb glow.
// With `intoLayer` the pass draws onto a transparent target and keeps there
// premultiplied colour and coverage (the blend of the alpha channel is
// "over"), so that the target laid over a scene gives what drawing the Moon
// over that scene gives. `view` turns the sphere and sets the night side.
void MoonPass(GLUquadric* quadric, const double sunDirection[3], bool intoLayer = false,
              const MoonView& view = MoonView{});

// Radius of the Moon sphere and of the limb-glow sphere, world units.
double MoonRadius();
double MoonGlowRadius();
// Centre of both spheres, world units.
void MoonCentre(double centre[3]);
