#include "ephemeris/lunar_day.h"

#include <cmath>
#include <cstdio>

#include "ephemeris/day_events.h"
#include "ephemeris/new_moon.h"
#include "ephemeris/rise_set.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/transforms.h"

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

Lunation LunationAround(const CivilTime& now, ZoneOffsetAt zone) {
    Lunation lunation;
    lunation.now = DaysSinceJ2000(now);
    const LocalDay today = LocalDayAt(lunation.now, zone);
    lunation.dayStart = today.start;
    CivilTime start = today.record;
    NormalizeCivilTime(start, 0);
    lunation.newMoon = NewMoonBeforeKept(start, 0.0);
    CivilTime later = CivilTimeFromDays(lunation.newMoon);
    later.day += 40.0;
    NormalizeCivilTime(later, 0);
    lunation.nextNewMoon = NewMoonBeforeKept(later, 0.0);
    return lunation;
}

int LunarDay(const Observer& place, const CivilTime& now, ZoneOffsetAt zone, char* text) {
    text[0] = '\0';
    const Lunation lunation = LunationAround(now, zone);
    const double newMoon = lunation.newMoon;
    const double nextNew = lunation.nextNewMoon;
    if (!std::isfinite(lunation.now) || !NewMoonFound(newMoon, lunation.dayStart) ||
        !NewMoonFound(nextNew, newMoon + 40.0) || !(nextNew > lunation.dayStart)) {
        return -1;
    }
    const LocalDay today = LocalDayAt(lunation.now, zone);

    // The moonrises from the new moon up to the start of today, day by day
    // (each day's search is kept, so a refresh mostly counts kept days).
    int before = 0;
    LocalDay day = LocalDayAt(newMoon, zone);
    for (int guard = 0; day.start < today.start && guard < 40; ++guard) {
        const DayEvents events = RiseSetInDayKept(place, day, kBodyMoon);
        for (int k = 0; k < events.rises; ++k) {
            if (events.riseTimes[k] > newMoon) {
                ++before;
            }
        }
        day = NextLocalDay(day, zone);
    }

    const DayEvents events = RiseSetInDayKept(place, today, kBodyMoon);
    const double rise = events.rises > 0 ? events.riseTimes[0] : kNeverRises;
    // The text names the lunar days of the day with the first moonrise.
    const int count = 1 + before + (events.rises > 0 ? 1 : 0);

    // The result counts every moonrise up to now, from the new moon of today
    // once it has passed.
    int result;
    if (lunation.now >= nextNew) {
        result = 1;
        for (int k = 0; k < events.rises; ++k) {
            if (events.riseTimes[k] > nextNew && events.riseTimes[k] <= lunation.now) {
                ++result;
            }
        }
    } else {
        result = 1 + before;
        for (int k = 0; k < events.rises; ++k) {
            if (events.riseTimes[k] <= lunation.now) {
                ++result;
            }
        }
    }

    char riseText[kLunarClockTextSize];
    char newText[kLunarClockTextSize];
    const double riseH = InsideDay(today, rise) ? LocalClockHours(today, rise, zone) : rise;
    const double newH = InsideDay(today, nextNew) ? LocalClockHours(today, nextNew, zone) : 1e300;
    if (rise > nextNew) {
        std::snprintf(text, kLunarDayTextSize, "%d/1(%s)/2(%s)", count - 1,
                      LunarClockText(newText, newH), LunarClockText(riseText, riseH));
    } else if (nextNew < today.end) {
        std::snprintf(text, kLunarDayTextSize, "%d/%d(%s)/1(%s)", count - 1, count,
                      LunarClockText(riseText, riseH), LunarClockText(newText, newH));
    } else if (events.rises > 0) {
        std::snprintf(text, kLunarDayTextSize, "%d/%d(%s)", count - 1, count,
                      LunarClockText(riseText, riseH));
    } else {
        std::snprintf(text, kLunarDayTextSize, "%d", count);
    }
    return result;
}
