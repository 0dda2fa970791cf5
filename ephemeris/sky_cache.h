#pragma once

#include "ephemeris/time_base.h"

// Results of the rise and set search and of the new-moon search kept between
// sky-report updates. Both searches are pure functions of their inputs (the
// record's fields, the body, the clip flag, the observer's place), so a kept
// result is returned only for bit-identical inputs and the report stays
// bit-identical to the direct evaluation. Most updates fall on the same
// local day as the one before and find every search kept.

// Like RiseSetTimes, from the kept results when the same search ran before.
void RiseSetTimesKept(double& rise, double& set, const CivilTime& day, char body, int clipOutside);

// Like NewMoonBefore, from the kept results when the same search ran before.
double NewMoonBeforeKept(const CivilTime& time, double elongation);

// Turns keeping on (1, the default) or off (0: every search runs directly).
void SkyCacheEnable(int enabled);

// Forgets every kept result.
void SkyCacheClear();
