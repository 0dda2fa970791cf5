#pragma once

#include "ephemeris/lunar_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/time_base.h"

// The sky report: where the Moon and the Sun are for an observer at an
// instant, the rise and set times of the observer's local civil day and the
// lunar day. A pure function of the place, the instant and the zone; the
// scene reads the clock and keeps the report it shows.

inline constexpr double kEventBeforeDay = -1e+200;  // rise or set falls before the day
inline constexpr double kEventAfterDay = 1e+200;    // rise or set falls after the day

struct SkyReport {
    double moonAzimuth = 0.0;   // degrees from south, west positive, (-180, 180]
    double moonAltitude = 0.0;  // degrees, geocentric, no refraction
    double moonRise = 0.0;      // hours after local midnight [0, 24), or a sentinel
    double moonSet = 0.0;
    double sunAzimuth = 0.0;
    double sunAltitude = 0.0;
    double sunRise = 0.0;
    double sunSet = 0.0;
    double lunarDay = 0.0;                       // >= 1, or -1 when it could not be found
    char lunarDayText[kLunarDayTextSize] = {0};  // empty when lunarDay is -1
    // How the Moon presents itself (see MoonFace): the turn of its face,
    // the optical libration, the lit fraction and the distance.
    double parallacticAngle = 0.0;
    double axisPositionAngle = 0.0;
    double librationLongitude = 0.0;
    double librationLatitude = 0.0;
    double illuminatedFraction = 0.0;
    double distanceKm = 0.0;
};

// A rise or set value that is a clock time rather than a sentinel.
inline bool SkyEventPresent(double hours) {
    return hours >= -1e+100 && hours <= 1e+100;
}

// An azimuth of [0, 360) folded into (-180, 180]: west positive, east
// negative, north 180 (never -180).
double FoldAzimuth(double azimuth);

// Recomputes every field of the report for the place (latitude and
// longitude) at the instant (universal time). The day is the local civil
// date of the instant in the zone; every rise and set is given as the clock
// reads it, with the offset in force at that event. Returns 1.
int UpdateSkyReport(SkyReport& report, const Observer& place, const CivilTime& now,
                    ZoneOffsetAt zone);

// The Sun's position, from the report's azimuths and altitudes, in the frame
// in which the Moon lies on the negative z axis with y up, at 1e19.
void SunInMoonFrame(const SkyReport& report, double& x, double& y, double& z);

// Rotates a vector in place by an angle in degrees about the axis 'x', 'y'
// or 'z'.
void RotateAboutAxis(double& x, double& y, double& z, double angle, char axis);
