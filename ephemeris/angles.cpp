#include "ephemeris/angles.h"

#include <cmath>

double Reduce360(double x) {
    double r = std::fmod(x, 360.0);
    if (r < 0.0) {
        r += 360.0;
    }
    // A tiny negative remainder plus 360 rounds to 360 itself.
    if (r >= 360.0) {
        r = 0.0;
    }
    return r;
}
