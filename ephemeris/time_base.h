#pragma once

// The time scale of the ephemeris: days since J2000.0 taken straight from the
// clock's universal time (no difference between universal and dynamical time
// is applied anywhere), and the civil date record that carries it.

// A calendar date and time in universal time unless stated otherwise. The
// fields may lie out of their ranges (or carry fractions) until normalised;
// the rise and set search stores minus the zone offset in `hour` to express
// local midnight in universal time.
struct CivilTime {
    double year = 2000;  // astronomical year number
    double month = 1;    // 1..12
    double day = 1;      // day of month
    double hour = 0;
    double minute = 0;
    double second = 0;
    double siderealHours = 0;  // apparent Greenwich sidereal time, filled by GreenwichSiderealTime
};

// Days since J2000.0 (Julian Date - 2451545.0). Julian calendar up to
// 1582-10-15 inclusive, Gregorian after it.
double DaysSinceJ2000(const CivilTime& time);

// Brings the fields into their ranges. Returns -1 when the month is outside
// 1..12 (the fraction and borrow steps are then already applied), otherwise 1
// or, for the years 1972..2036, the time value of the result (seconds since
// 1970 as if the fields were universal time). The second argument is
// accepted and ignored.
int NormalizeCivilTime(CivilTime& time, int unused = 0);

// The universal civil time of a day count.
CivilTime CivilTimeFromDays(double days);

// The current universal time (to the whole second) from the platform clock,
// and the zone offset in force now (hours east of Greenwich, daylight saving
// included) from the platform's time-zone information.
CivilTime ReadClock(double& utcOffsetHours);

// The observer's clock: the offset of local time east of Greenwich in hours,
// daylight saving included, in force at an instant given as a day count.
using ZoneOffsetAt = double (*)(double days);

// The machine's zone (TZ or the system zone) as a ZoneOffsetAt, with the
// clock reading's arithmetic (whole minutes times the single-precision 1/60).
double MachineZoneOffsetAt(double days);

// The time value (seconds since 1970) of a day count, rounded down to the
// whole second; a whole-second instant maps back to its own second.
long long TimeValueFromDays(double days);

// The day count of a time value.
double DaysFromTimeValue(long long secondsSinceEpoch);

// The universal civil time of a time value (seconds since 1970), whole seconds.
CivilTime CivilTimeFromTimeValue(long long secondsSinceEpoch);

// The zone offset in hours east of Greenwich from the bias minutes, with the
// single-precision 1/60 of the clock reading (so +180 minutes gives
// 3.0000001564621925 hours).
double UtcOffsetHoursFromBias(long biasMinutes, long extraBiasMinutes);
