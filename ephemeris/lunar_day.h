#pragma once

#include "ephemeris/local_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/time_base.h"

// The lunar day: day 1 begins at the new moon, every following day at a
// moonrise. Counted for the observer's place on the local civil days of the
// observer's zone.

inline constexpr int kLunarDayTextSize = 56;

// Minimum size of a LunarClockText buffer.
inline constexpr int kLunarClockTextSize = 16;

// Writes hours after local midnight as "%02d:%02d", minutes truncated, into
// a buffer of at least kLunarClockTextSize characters; returns the buffer.
// Values far outside a day (beyond +-1e6 hours, or not finite) print "--:--".
char* LunarClockText(char* buffer, double hours);

// The two new moons that bound the lunation of the local day of an instant:
// the last one before the local day starts and the one after it.
struct Lunation {
    double now;       // day count of the instant
    double dayStart;  // the first instant of the instant's local day, as a day count
    double newMoon;   // new moon before dayStart
    double nextNewMoon;
};
Lunation LunationAround(const CivilTime& now, ZoneOffsetAt zone);

// The lunar day in progress at the instant (universal time): 1 plus the
// moonrises since the last new moon, or -1 when that new moon cannot be
// found. Fills the text of the local day (kLunarDayTextSize bytes): "N",
// "N-1/N(hh:mm)", "N-1/N(hh:mm)/1(hh:mm)" or "N/1(hh:mm)/2(hh:mm)"; empty on
// failure. Clock times are read with the offset in force at each of them.
int LunarDay(const Observer& place, const CivilTime& now, ZoneOffsetAt zone, char* text);
