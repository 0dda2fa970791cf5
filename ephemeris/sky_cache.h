#pragma once

#include "ephemeris/day_events.h"
#include "ephemeris/time_base.h"

// Results of the rise and set searches and of the new-moon search kept
// between sky-report updates. All are pure functions of their inputs (the
// day's record (and end), the body, the clip flag, the observer's place; the
// new moon's record and elongation), so a kept result is returned only for
// bit-identical inputs and the report stays bit-identical to the direct
// evaluation. Most updates fall on the same local day as the one before and
// find every search kept.

// Like RiseSetTimes, from the kept results when the same search ran before.
// The searches of neighbouring days are shared between the days.
void RiseSetTimesKept(const Observer& place, double& rise, double& set, const CivilTime& day,
                      char body, int clipOutside);

// Like RiseSetInDay, from the kept results when the same search ran before.
DayEvents RiseSetInDayKept(const Observer& place, const LocalDay& day, char body);

// Like NewMoonBefore, from the kept results when the same search ran before.
double NewMoonBeforeKept(const CivilTime& time, double elongation);

// Turns keeping on (1, the default) or off (0: every search runs directly).
void SkyCacheEnable(int enabled);

// Forgets every kept result.
void SkyCacheClear();
