#include "ephemeris/rise_set.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/moon.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sun.h"
#include "ephemeris/transforms.h"

namespace {

// One loop of the search: rising (true) or setting (false).
double SearchLoop(bool rising, double& result, double d0, char body, double cosA0, double phi,
                  double longitude, int maxIterations, int& iterations) {
    double t = d0 + 0.5;
    double previous = 0.0;
    double change = 10.0;
    int i = 0;
    int forward = 0;
    int backward = 0;
    while ((change > 1e-05 || change < -1e-05) && i < maxIterations) {
        ++i;
        double alpha, delta;
        ApparentEquatorial(body, t, alpha, delta);
        double theta = GreenwichSiderealTimeAt(t) * 15.0 + longitude;
        if (rising && theta < 0.0) {
            theta += 360.0;
        }
        theta = std::fmod(theta, 360.0);

        const double delta_r = delta * kDegToRad;
        const double cosH0 =
            (cosA0 - std::sin(delta_r) * std::sin(phi)) / (std::cos(delta_r) * std::cos(phi));
        if (cosH0 > 1.0) {
            result = kNeverRises;
            break;
        }
        if (cosH0 < -1.0) {
            result = kNeverSets;
            break;
        }
        double x;
        if (rising) {
            x = alpha - std::acos(cosH0) * kRadToDeg;
            if (x < 0.0) {
                x += 360.0;
            }
            x = x - theta;
        } else {
            x = alpha + std::acos(cosH0) * kRadToDeg - theta;
        }
        if (i >= 2) {
            if (x > 180.0) {
                x -= 360.0;
            }
            if (x < -180.0) {
                x += 360.0;
            }
        }
        const double h = x * 0.9972695664 * 0.06666666666666667;
        change = h - previous;
        previous = h;
        t = t + h * 0.041666666666666664;
        // Keep the estimate inside the day, a few times at most.
        if (forward < 3 && backward < 3) {
            if (t < d0) {
                t = t + 1.0;
                ++forward;
            }
            if (t > d0 + 1.0) {
                t = t - 1.0;
                ++backward;
            }
        }
    }
    iterations = i;
    return t;
}

}  // namespace

double HorizonDepression(char body, double days) {
    if (body == kBodyMoon) {
        const double parallax = MoonParallax(days);
        const double semidiameter =
            std::asin(0.272493 * std::sin(parallax * kDegToRad)) * 57.29577791868204;
        return 0.575 + semidiameter - parallax;
    }
    const double distance = SunDistance(days);
    return 0.575 + (961.18 / distance) / 3600.0 - (8.794 / distance) / 3600.0;
}

void HorizonSearch(const Observer& place, double& rise, double& set, const CivilTime& day,
                   char body, double depression, HorizonSearchTrace* trace) {
    HorizonSearchBounded(place, rise, set, day, body, depression, kHorizonSearchMaxIterations,
                         trace);
}

void HorizonSearchBounded(const Observer& place, double& rise, double& set, const CivilTime& day,
                          char body, double depression, int maxIterations,
                          HorizonSearchTrace* trace) {
    CivilTime start = day;
    NormalizeCivilTime(start, 0);
    const double d0 = DaysSinceJ2000(start);
    const double phi = place.latitude * kDegToRad;
    const double cosA0 = std::cos((depression + 90.0) * kDegToRad);

    rise = 0.0;
    set = 0.0;
    int riseIterations = 0;
    int setIterations = 0;
    const double riseFound = SearchLoop(true, rise, d0, body, cosA0, phi, place.longitude,
                                        maxIterations, riseIterations);
    const double setFound =
        SearchLoop(false, set, d0, body, cosA0, phi, place.longitude, maxIterations, setIterations);
    if (rise == 0.0) {
        rise = riseFound;
    }
    if (set == 0.0) {
        set = setFound;
    }
    if (trace != nullptr) {
        trace->riseIterations = riseIterations;
        trace->setIterations = setIterations;
    }
}

void RiseSetTimes(const Observer& place, double& rise, double& set, const CivilTime& day, char body,
                  int clipOutside) {
    const double d = DaysSinceJ2000(day);
    const double depression = HorizonDepression(body, d);

    HorizonSearch(place, rise, set, day, body, depression);
    double r0 = rise;
    double s0 = set;

    if (rise < d || set < d) {
        CivilTime next = day;
        next.day += 1.0;
        NormalizeCivilTime(next, 0);
        HorizonSearch(place, rise, set, next, body, depression);
        if (rise >= d + 1.0) {
            rise = r0;
        }
        if (set >= d + 1.0) {
            set = s0;
        }
        r0 = rise;
        s0 = set;
    }
    if (rise >= d + 1.0 || set >= d + 1.0) {
        CivilTime previous = day;
        previous.day -= 1.0;
        NormalizeCivilTime(previous, 0);
        HorizonSearch(place, rise, set, previous, body, depression);
        if (rise < d) {
            rise = r0;
        }
        if (set < d) {
            set = s0;
        }
    }
    if (clipOutside == 0) {
        if (rise > d + 1.0 || rise < d) {
            rise = kRiseOutsideDay;
        }
        if (set > d + 1.0 || set < d) {
            set = kSetOutsideDay;
        }
    }
}
