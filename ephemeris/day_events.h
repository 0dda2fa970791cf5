#pragma once

#include "ephemeris/local_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/rise_set.h"

// Rise and set of the Moon or the Sun inside one local civil day.
//
// The hour-angle search of rise_set.h places the events; a scan of the
// altitude at the day's edges and around the body's culminations, where the
// altitude turns, then brackets every crossing of the horizon in the day.
// A crossing the search did not place (the last rise or set before the body
// stays up or down, or the first after it) is found by refining its
// bracket. So no event that occurs in the day is lost, and a body that
// really stays above or below the horizon all day gets none.

inline constexpr int kDayEventsMaxRises = 4;

struct DayEvents {
    // The first rise and the first set inside [start, end) as day counts.
    // When the day has none: where the search placed it, before the day's
    // start or at or after its end, or kNeverRises / kNeverSets.
    double rise = 0.0;
    double set = 0.0;
    int rises = 0;                                                // rises inside the day
    int sets = 0;                                                 // sets inside the day
    double riseTimes[kDayEventsMaxRises] = {0.0, 0.0, 0.0, 0.0};  // the first rises, in order
};

// Whether a DayEvents time lies inside the day.
inline bool InsideDay(const LocalDay& day, double days) {
    return days >= day.start && days < day.end;
}

// The hour-angle search of one day record: RiseSetTimes, or a form of it
// that keeps its results.
using RiseSetSearch = void (*)(const Observer& place, double& rise, double& set,
                               const CivilTime& day, char body, int clipOutside);

// The day's rise and set of the body (kBodyMoon or kBodySun) for the place.
DayEvents RiseSetInDay(const Observer& place, const LocalDay& day, char body,
                       RiseSetSearch search = RiseSetTimes);
