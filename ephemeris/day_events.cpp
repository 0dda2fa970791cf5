#include "ephemeris/day_events.h"

#include <algorithm>
#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/transforms.h"

namespace {

// The body at one instant: its hour angle (degrees, [0, 360)) and its
// altitude above the altitude of the event (degrees; negative below).
struct Sample {
    double t;
    double hourAngle;
    double above;
};

Sample SampleAt(const Observer& place, char body, double depression, double t) {
    double alpha, delta;
    ApparentEquatorial(body, t, alpha, delta);
    const double theta = GreenwichSiderealTimeAt(t) * 15.0 + place.longitude;
    double azimuth = alpha;
    double altitude = delta;
    EquatorialToHorizontal(azimuth, altitude, theta, place.latitude);
    return {t, Reduce360(theta - alpha), altitude + depression};
}

double Wrap180(double degrees) {
    return degrees - 360.0 * std::floor((degrees + 180.0) / 360.0);
}

// The crossing inside a bracket whose ends lie on both sides of the
// horizon: regula falsi with the Illinois weighting, a bounded number of
// corrections, to about a millisecond.
double RefineCrossing(const Observer& place, char body, double depression, Sample a, Sample b) {
    double fa = a.above;
    double fb = b.above;
    double ta = a.t;
    double tb = b.t;
    for (int i = 0; i < 60 && std::fabs(tb - ta) > 1e-8; ++i) {
        const double tc = (ta * fb - tb * fa) / (fb - fa);
        const double fc = SampleAt(place, body, depression, tc).above;
        if (fc == 0.0) {
            return tc;
        }
        if ((fc < 0.0) != (fb < 0.0)) {
            ta = tb;
            fa = fb;
        } else {
            fa *= 0.5;
        }
        tb = tc;
        fb = fc;
    }
    return tb;
}

// Samples at the day's edges and at each culmination inside the day, with
// half an hour either side where the culmination is near the horizon:
// between two of them the altitude only rises or only falls, so each
// crossing shows as a change of sign between two neighbours.
int ScanDay(const Observer& place, char body, double depression, const LocalDay& day,
            Sample* samples, int capacity) {
    int count = 0;
    auto add = [&](const Sample& s) {
        if (count < capacity) {
            samples[count++] = s;
        }
    };
    const Sample first = SampleAt(place, body, depression, day.start);
    add(first);
    // Degrees of hour angle per day: the Earth's turn less the body's own
    // eastward motion.
    const double rate = body == kBodyMoon ? 347.8 : 359.99;
    const double halfHour = 1.0 / 48.0;
    for (double target : {0.0, 180.0}) {
        double t = day.start + Reduce360(target - first.hourAngle) / rate;
        for (; t < day.end + halfHour; t += 360.0 / rate) {
            Sample guess = SampleAt(place, body, depression, t);
            const double tc = t - Wrap180(guess.hourAngle - target) / rate;
            const Sample at = SampleAt(place, body, depression, tc);
            // The altitude turns within some twenty minutes of the
            // culmination and a few hundredths of a degree from its value
            // there; only a culmination near the horizon needs the samples
            // either side to catch a graze.
            if (std::fabs(at.above) < 1.0) {
                for (double s : {tc - halfHour, tc + halfHour}) {
                    if (s > day.start && s < day.end) {
                        add(SampleAt(place, body, depression, s));
                    }
                }
            }
            if (tc > day.start && tc < day.end) {
                add(at);
            }
            t = tc;
        }
    }
    add(SampleAt(place, body, depression, day.end));
    std::sort(samples, samples + count, [](const Sample& x, const Sample& y) { return x.t < y.t; });
    return count;
}

// The search's result for one kind of event, with the retries on the
// neighbouring days, measured against the local day.
struct Searched {
    double rise;
    double set;
};

Searched SearchAroundDay(const Observer& place, const LocalDay& day, char body,
                         RiseSetSearch search) {
    double rise, set;
    search(place, rise, set, day.record, body, 1);
    Searched result = {rise, set};
    auto neighbour = [&](double shift, double& r, double& s) {
        CivilTime other = day.record;
        other.day += shift;
        search(place, r, s, other, body, 1);
    };
    double nextRise = 0.0, nextSet = 0.0;
    if (result.rise < day.start || result.set < day.start) {
        neighbour(1.0, nextRise, nextSet);
    }
    if (result.rise < day.start) {
        result.rise = nextRise;
    }
    if (result.set < day.start) {
        result.set = nextSet;
    }
    if (result.rise >= day.end || result.set >= day.end) {
        double previousRise, previousSet;
        neighbour(-1.0, previousRise, previousSet);
        if (result.rise >= day.end) {
            result.rise = previousRise;
        }
        if (result.set >= day.end) {
            result.set = previousSet;
        }
    }
    return result;
}

}  // namespace

DayEvents RiseSetInDay(const Observer& place, const LocalDay& day, char body,
                       RiseSetSearch search) {
    const Searched searched = SearchAroundDay(place, day, body, search);
    const double depression = HorizonDepression(body, DaysSinceJ2000(day.record));

    Sample samples[16];
    const int count = ScanDay(place, body, depression, day, samples, 16);

    double rises[kDayEventsMaxRises + 1];
    double sets[kDayEventsMaxRises + 1];
    int riseCount = 0, setCount = 0;
    bool searchedRiseSeen = false, searchedSetSeen = false;
    for (int k = 0; k + 1 < count; ++k) {
        const Sample& a = samples[k];
        const Sample& b = samples[k + 1];
        if ((a.above < 0.0) == (b.above < 0.0) || !(b.t > a.t)) {
            continue;
        }
        const bool rising = a.above < 0.0;
        const double found = rising ? searched.rise : searched.set;
        double t;
        if (found >= a.t - 1e-6 && found <= b.t + 1e-6) {
            t = found;  // the search placed this one
            (rising ? searchedRiseSeen : searchedSetSeen) = true;
        } else {
            t = RefineCrossing(place, body, depression, a, b);
        }
        if (!InsideDay(day, t)) {
            continue;
        }
        if (rising && riseCount < kDayEventsMaxRises) {
            rises[riseCount++] = t;
        } else if (!rising && setCount < kDayEventsMaxRises) {
            sets[setCount++] = t;
        }
    }
    // An event the search placed inside the day that the scan stepped over
    // (a graze between two samples) still counts.
    if (!searchedRiseSeen && InsideDay(day, searched.rise) && riseCount < kDayEventsMaxRises) {
        rises[riseCount++] = searched.rise;
        std::sort(rises, rises + riseCount);
    }
    if (!searchedSetSeen && InsideDay(day, searched.set) && setCount < kDayEventsMaxRises) {
        sets[setCount++] = searched.set;
        std::sort(sets, sets + setCount);
    }

    DayEvents events;
    events.rises = riseCount;
    events.sets = setCount;
    for (int k = 0; k < riseCount; ++k) {
        events.riseTimes[k] = rises[k];
    }
    events.rise =
        riseCount > 0 ? rises[0] : (InsideDay(day, searched.rise) ? day.end : searched.rise);
    events.set = setCount > 0 ? sets[0] : (InsideDay(day, searched.set) ? day.end : searched.set);
    return events;
}
