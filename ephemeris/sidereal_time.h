#pragma once

#include "ephemeris/time_base.h"

// Apparent sidereal time at Greenwich (the 1982 mean sidereal time plus the
// equation of the equinoxes) and the older obliquity that weights the
// equation of the equinoxes.

// The 1900-epoch obliquity with its own cosine series of the nutation in
// obliquity, degrees. Used only by the sidereal time.
double SiderealObliquity(double days);

// Stores the apparent Greenwich sidereal time of the record (universal
// time) in its siderealHours field, hours in [0, 24).
void GreenwichSiderealTime(CivilTime& time);

// The same for a day count, hours in [0, 24).
double GreenwichSiderealTimeAt(double days);

// The 1982 mean sidereal time at 0h UT, seconds, for centuries since J2000.0.
double MeanSiderealSecondsAtMidnight(double centuries);

// The equation of the equinoxes in seconds of time for a day count.
double EquationOfEquinoxes(double days);
