#pragma once

#include "ephemeris/time_base.h"

// The new moon (or another elongation of the Moon from the Sun) before an
// instant, from the geometric longitudes of the Moon and the Sun.

// The day count of the instant at or before the record at which the Moon's
// longitude minus the Sun's equals the elongation (degrees; 0 = new moon).
double NewMoonBefore(CivilTime time, double elongation);

// The Moon's longitude minus the Sun's minus the elongation at a day count,
// folded into [-180, 180] degrees: 0 at the instant NewMoonBefore looks for.
double ElongationOffset(double days, double elongation);

// Whether a NewMoonBefore result for an instant (day count) is a new moon
// that precedes it by less than a lunation: the search settled on the
// conjunction rather than stopping on its bound or on a value that is not
// finite.
bool NewMoonFound(double newMoon, double instant);
