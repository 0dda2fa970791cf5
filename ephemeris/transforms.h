#pragma once

// The spherical transforms from the ecliptic to the equator and from the
// equator to the observer's horizon, and the apparent place of a body.

// Body codes of the rise and set search and of the apparent place.
inline constexpr char kBodyMoon = 'l';
inline constexpr char kBodySun = 's';

// Replaces the ecliptic longitude and latitude (degrees) by the right
// ascension and the declination for the obliquity epsilon. Both come back in
// [0, 360): a negative declination is carried as declination + 360.
void EclipticToEquatorial(double& longitude, double& latitude, double obliquity);

// Replaces the right ascension and declination by the azimuth (from the
// south point, toward the west, [0, 360)) and the altitude, for the local
// sidereal time in degrees and the observer's latitude in degrees.
void EquatorialToHorizontal(double& rightAscension, double& declination,
                            double localSiderealDegrees, double latitude);

// The apparent right ascension and declination (degrees, as
// EclipticToEquatorial gives them) of the Moon (kBodyMoon) or the Sun (any
// other code) for a day count: geometric place plus nutation, then the
// transform with the true obliquity.
void ApparentEquatorial(char body, double days, double& rightAscension, double& declination);
