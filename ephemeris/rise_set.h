#pragma once

#include "ephemeris/observer.h"
#include "ephemeris/time_base.h"

// Rise and set of the Moon or the Sun around a local day: an iteration on
// the hour angle of the rising or setting point, for the observer's place
// (latitude and longitude; the zone offset is not read). Times are day
// counts since J2000.0. The day's events as the sky report shows them come
// from RiseSetInDay (day_events.h), which completes these searches.

// Sentinels of the results.
inline constexpr double kNeverRises = -4e+100;      // whole diurnal circle below the horizon
inline constexpr double kNeverSets = 4e+100;        // whole diurnal circle above it
inline constexpr double kRiseOutsideDay = -2e+100;  // with clipping: rise outside the day
inline constexpr double kSetOutsideDay = 2e+100;    // with clipping: set outside the day

// Each of the two loops stops after this many corrections even when the
// correction has not settled; the last estimate is then the result. Searches
// that settle need at most about 25 corrections up to latitude 70, 190 up to
// 85 and about 1100 right at the poles, where the estimate creeps toward the
// edge of the diurnal circle.
inline constexpr int kHorizonSearchMaxIterations = 2000;

// How a search went, for tests and tools.
struct HorizonSearchTrace {
    int riseIterations = 0;
    int setIterations = 0;
};

// The inner search for one horizon depression (degrees). The record marks
// the start of the local day in universal time and need not be normalised.
void HorizonSearch(const Observer& place, double& rise, double& set, const CivilTime& day,
                   char body, double depression, HorizonSearchTrace* trace = nullptr);

// The same with another bound on the corrections of each loop.
void HorizonSearchBounded(const Observer& place, double& rise, double& set, const CivilTime& day,
                          char body, double depression, int maxIterations,
                          HorizonSearchTrace* trace);

// The horizon depression of the body at a day count: refraction plus
// semidiameter minus parallax, degrees.
double HorizonDepression(char body, double days);

// Rise and set of the body (kBodyMoon or kBodySun) for the local day that
// starts at the record, searching the neighbouring days when the first
// search falls outside it. With clipOutside 0 results outside the day become
// kRiseOutsideDay / kSetOutsideDay; with 1 they are returned as found.
void RiseSetTimes(const Observer& place, double& rise, double& set, const CivilTime& day, char body,
                  int clipOutside);
