#include "ephemeris/lunar_day.h"

#include <cmath>
#include <cstdio>

#include "ephemeris/angles.h"
#include "ephemeris/moon.h"
#include "ephemeris/observer.h"
#include "ephemeris/rise_set.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/sun.h"
#include "ephemeris/transforms.h"

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

// The record's local date at midnight, expressed in universal time.
void ToLocalMidnight(CivilTime& time, double zone) {
    time.hour += zone;
    NormalizeCivilTime(time, 0);
    time.hour = -zone;
    time.minute = 0;
    time.second = 0;
    NormalizeCivilTime(time, 0);
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

char* LunarClockText(char* buffer, double hours) {
    if (!(std::fabs(hours) < 1e6)) {
        std::snprintf(buffer, kLunarClockTextSize, "--:--");
        return buffer;
    }
    int h = static_cast<int>(std::trunc(hours));
    int m = static_cast<int>(std::trunc((hours - h) * 60.0));
    if (m == 60) {
        m = 0;
        h = h + 1;
    }
    std::snprintf(buffer, kLunarClockTextSize, "%02d:%02d", h, m);
    return buffer;
}

Lunation LunationAround(const CivilTime& now) {
    const double zone = observer.utcOffsetHours;
    Lunation lunation;
    CivilTime r = now;
    lunation.now = DaysSinceJ2000(r);
    ToLocalMidnight(r, zone);
    lunation.dayStart = DaysSinceJ2000(r);
    lunation.newMoon = NewMoonBeforeKept(r, 0.0);
    CivilTime later = CivilTimeFromDays(lunation.newMoon);
    later.day += 40.0;
    NormalizeCivilTime(later, 0);
    lunation.nextNewMoon = NewMoonBeforeKept(later, 0.0);
    return lunation;
}

int LunarDay(CivilTime now, char* text) {
    text[0] = '\0';
    const double zone = observer.utcOffsetHours;
    const Lunation lunation = LunationAround(now);
    const double dayStart = lunation.dayStart;
    const double newMoon = lunation.newMoon;
    const double nextNew = lunation.nextNewMoon;

    CivilTime r = CivilTimeFromDays(newMoon);
    ToLocalMidnight(r, zone);
    double cur = DaysSinceJ2000(r);

    double rise, set;
    RiseSetTimesKept(rise, set, r, kBodyMoon, 0);
    int count = rise > newMoon ? 2 : 1;

    while (cur < dayStart) {
        r.day += 1.0;
        NormalizeCivilTime(r, 0);
        cur = DaysSinceJ2000(r);
        RiseSetTimesKept(rise, set, r, kBodyMoon, 1);
        if (rise < -1e+100 || rise > 1e+100 || set < -1e+100 || set > 1e+100) {
            return -1;
        }
        if (cur <= rise && rise < cur + 1.0) {
            ++count;
        }
    }

    // Today's rise may have been found on a neighbouring day's search.
    double today = rise;
    if (rise < cur) {
        CivilTime next = r;
        next.day += 1.0;
        NormalizeCivilTime(next, 0);
        double nextRise, nextSet;
        RiseSetTimesKept(nextRise, nextSet, next, kBodyMoon, 1);
        if (dayStart <= nextRise && nextRise < dayStart + 1.0) {
            ++count;
            today = nextRise;
        }
    } else if (rise > cur + 1.0) {
        CivilTime previous = r;
        previous.day -= 1.0;
        NormalizeCivilTime(previous, 0);
        double previousRise, previousSet;
        RiseSetTimesKept(previousRise, previousSet, previous, kBodyMoon, 1);
        if (dayStart <= previousRise && previousRise < dayStart + 1.0) {
            --count;
            today = previousRise;
        }
    }

    const double riseH = (today - dayStart) * 24.0;
    const double newH = (nextNew - dayStart) * 24.0;
    const double nowH = (lunation.now - dayStart) * 24.0;
    char riseText[kLunarClockTextSize];
    char newText[kLunarClockTextSize];
    int result;
    if (today > nextNew) {
        std::snprintf(text, kLunarDayTextSize, "%d/1(%s)/2(%s)", count - 1,
                      LunarClockText(newText, newH), LunarClockText(riseText, riseH));
        result = nowH < newH ? count - 1 : nowH < riseH ? 1 : 2;
    } else if (nextNew < cur + 1.0) {
        std::snprintf(text, kLunarDayTextSize, "%d/%d(%s)/1(%s)", count - 1, count,
                      LunarClockText(riseText, riseH), LunarClockText(newText, newH));
        result = nowH >= newH ? 1 : nowH >= riseH ? count : count - 1;
    } else if (dayStart <= today && today <= dayStart + 1.0) {
        std::snprintf(text, kLunarDayTextSize, "%d/%d(%s)", count - 1, count,
                      LunarClockText(riseText, riseH));
        result = nowH >= riseH ? count : count - 1;
    } else {
        std::snprintf(text, kLunarDayTextSize, "%d", count);
        result = count;
    }
    return result;
}
