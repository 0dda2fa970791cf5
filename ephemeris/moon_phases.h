#pragma once

// The Moon's age and the next principal phases, from the new-moon search
// run for the elongations of the four phases.

// Elongations of the Moon from the Sun, degrees, in the order of the
// phases: new moon, first quarter, full moon, last quarter.
inline constexpr double kMoonPhaseElongations[4] = {0.0, 90.0, 180.0, 270.0};

// The first instant after a day count at which the Moon's longitude minus
// the Sun's equals the elongation (degrees), as a day count.
double NextMoonPhase(double days, double elongation);

struct MoonFacts {
    double lastNewMoon = 0.0;  // day count of the new moon at or before the instant
    double ageDays = 0.0;      // days since that new moon
    double nextPhase[4] = {};  // day counts of the next phases, in the order above
};

// Computed afresh for a day count.
MoonFacts MoonFactsAt(double days);

// The same values, with the searches kept from the previous call while the
// instant lies between the last new moon and the earliest of the next
// phases (nothing in them can change there); the age is always recomputed.
MoonFacts MoonFactsKept(double days);
