#pragma once

#include "ephemeris/time_base.h"

// The lunar day: day 1 begins at the new moon, every following day at a
// moonrise. Uses the observer's place and zone offset.

inline constexpr int kLunarDayTextSize = 56;

// Minimum size of a LunarClockText buffer.
inline constexpr int kLunarClockTextSize = 16;

// The day count of the instant at or before the record at which the Moon's
// longitude minus the Sun's equals the elongation (degrees; 0 = new moon).
double NewMoonBefore(CivilTime time, double elongation);

// Writes hours after local midnight as "%02d:%02d", minutes truncated, into
// a buffer of at least kLunarClockTextSize characters; returns the buffer.
// Values far outside a day (beyond +-1e6 hours, or not finite) print "--:--".
char* LunarClockText(char* buffer, double hours);

// The two new moons that bound the lunation of the local day of an instant:
// the last one before the local day starts and the one after it.
struct Lunation {
    double now;       // day count of the instant
    double dayStart;  // local midnight of the instant's local date, as a day count
    double newMoon;   // new moon before dayStart
    double nextNewMoon;
};
Lunation LunationAround(const CivilTime& now);

// The lunar day in progress at the instant (universal time), or -1 when a
// day between the new moon and today has no moonrise or moonset the search
// can place. Fills the text of the local day (kLunarDayTextSize bytes):
// "N", "N-1/N(hh:mm)", "N-1/N(hh:mm)/1(hh:mm)" or "N/1(hh:mm)/2(hh:mm)";
// empty on failure.
int LunarDay(CivilTime now, char* text);
