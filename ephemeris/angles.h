#pragma once

// Angle conventions of the ephemeris: angles are kept in degrees, the
// trigonometric functions take radians.

// Degrees to radians and back, built from pi rounded to single precision
// (3.1415927410125732). The series and transforms use these on purpose.
inline constexpr double kDegToRad = 0.017453293005625408;
inline constexpr double kRadToDeg = 57.29577791868205;

// The exact factor, used by the nutation sums.
inline constexpr double kDegToRadExact = 0.017453292519943295;

// Arcseconds to degrees.
inline constexpr double kArcsecToDeg = 0.0002777777777777778;

// Julian centuries per day.
inline constexpr double kCenturiesPerDay = 2.7378507871321012e-05;

// x reduced to [0, 360): the remainder with the sign of x, then 360 added
// when it is negative.
double Reduce360(double x);
