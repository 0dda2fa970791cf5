#pragma once

// The sky report: where the Moon and the Sun are for the observer now,
// today's rise and set times and the lunar day. One process-wide record,
// written only by UpdateSkyReport.

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
    double lunarDay = 0.0;        // >= 1, or -1 when it could not be found
    char lunarDayText[56] = {0};  // empty when lunarDay is -1
};

extern SkyReport skyReport;

// A rise or set value that is a clock time rather than a sentinel.
inline bool SkyEventPresent(double hours) {
    return hours >= -1e+100 && hours <= 1e+100;
}

// An azimuth of [0, 360) folded into (-180, 180]: west positive, east
// negative, north 180 (never -180).
double FoldAzimuth(double azimuth);

// Reads the clock and the zone (observer.utcOffsetHours) and recomputes
// every field of skyReport for the observer's place. Returns 1.
int UpdateSkyReport();

// The Sun's position, from the report's azimuths and altitudes, in the frame
// in which the Moon lies on the negative z axis with y up, at 1e19.
void SunInMoonFrame(double& x, double& y, double& z);

// Rotates a vector in place by an angle in degrees about the axis 'x', 'y'
// or 'z'.
void RotateAboutAxis(double& x, double& y, double& z, double angle, char axis);
