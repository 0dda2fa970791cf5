#pragma once

#include "ephemeris/time_base.h"

// The observer's local civil day: from one local midnight to the next in the
// observer's zone, as the clock reads it. A day on which daylight saving
// starts or ends is shorter or longer than 24 hours, and every instant is
// read with the offset in force at that instant.

struct LocalDay {
    // The day as the rise and set searches take it: the local date, `hour` =
    // minus the offset in force at the day's first instant, minute and
    // second 0 (not normalised).
    CivilTime record;
    double start = 0.0;             // day count of the day's first instant
    double end = 0.0;               // day count of the next day's first instant
    long long midnightSeconds = 0;  // local midnight of the date, seconds as if the clock read UTC
};

// The local day that holds an instant (day count).
LocalDay LocalDayAt(double days, ZoneOffsetAt zone);

// The local day after the given one.
LocalDay NextLocalDay(const LocalDay& day, ZoneOffsetAt zone);

// Whether two records name the same local day.
inline bool SameLocalDay(const LocalDay& a, const LocalDay& b) {
    return a.midnightSeconds == b.midnightSeconds;
}

// The clock time of an instant inside the day: hours after the day's local
// midnight, with the offset in force at the instant, [0, 24).
double LocalClockHours(const LocalDay& day, double days, ZoneOffsetAt zone);
