#include "ephemeris/new_moon.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/moon.h"
#include "ephemeris/sun.h"

namespace {

// Moon minus Sun minus the elongation, remainder by 360 (sign kept). The
// elongation is added to the Sun, so that the search finds the Moon that much
// east of the Sun (90 is the first quarter); for the new moon (0) it makes
// no difference.
double Offset(double days, double elongation) {
    return std::fmod(MoonLongitude(days) - (SunLongitude(days) + elongation), 360.0);
}

double Fold(double degrees) {
    if (degrees < -180.0) {
        degrees += 360.0;
    }
    if (degrees > 180.0) {
        degrees -= 360.0;
    }
    return degrees;
}

}  // namespace

double NewMoonBefore(CivilTime time, double elongation) {
    const double target = Reduce360(elongation);
    double t = DaysSinceJ2000(time);
    double k = 0.0833;  // days per degree

    double e = Offset(t, target);
    if (e < 0.0) {
        e += 360.0;
    }
    const double back = e * 0.083;  // estimate of the days since the event
    const double t1 = t - back;
    const double g1 = Offset(t1, target);
    double rate = std::fmod(Offset(t1 + 1.0, target) - g1, 360.0);
    if (rate < -180.0) {
        rate += 360.0;
    }
    if (rate > 180.0) {
        rate -= 360.0;
    }
    k = 1.0 / rate;
    if (k < 0.05 || k > 0.12) {
        k = 0.0833;
    }
    if (std::fabs(g1) <= 1e-05) {
        return t1;
    }
    double step = -back;
    for (int pass = 1; pass < 100; ++pass) {
        t = t + step;
        const double g = Fold(Offset(t, target));
        if (std::fabs(g) <= 1e-05) {
            break;
        }
        step = -k * g;
    }
    return t;
}

double ElongationOffset(double days, double elongation) {
    return Fold(Offset(days, Reduce360(elongation)));
}

bool NewMoonFound(double newMoon, double instant) {
    // The search stops at 1e-5 degrees; a thousandth of a degree is about
    // two seconds of the Moon's motion away from the conjunction.
    return std::isfinite(newMoon) && newMoon <= instant + 1e-6 && newMoon > instant - 30.0 &&
           std::fabs(ElongationOffset(newMoon, 0.0)) <= 1e-3;
}
