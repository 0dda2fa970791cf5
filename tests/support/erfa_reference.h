#pragma once

// Independent reference positions for the ephemeris tests, from the ERFA
// library (IAU SOFA algorithms): the 1980 nutation, the 1982 sidereal time,
// the Moon from a simplified ELP series and the Sun from the VSOP87-fitted
// Earth ephemeris. Angles in degrees unless stated otherwise; "jd" is a
// Julian Date.

#include <vector>

namespace reference {

// Difference TT - UT in seconds (polynomial fits of the historical record
// and of the usual extrapolation), for 1900..2150.
double DeltaTSeconds(double year);

// Nutation in longitude and obliquity, arcseconds.
void Nutation1980(double jdTT, double& dpsi, double& deps);

// Apparent Greenwich sidereal time, hours: the 1982 mean sidereal time plus
// the equation of the equinoxes (dpsi cos(eps)).
double ApparentSiderealHours(double jdUT);

// Mean Greenwich sidereal time of the 1982 formula, hours.
double MeanSiderealHours(double jdUT);

// Geocentric apparent right ascension and declination of date (true equator
// and equinox), for the Moon (light time included) and the Sun (light time
// and aberration included).
void MoonApparent(double jdTT, double& rightAscension, double& declination);
void SunApparent(double jdTT, double& rightAscension, double& declination);

// Moon's distance in kilometres.
double MoonDistanceKm(double jdTT);

// Geocentric altitude of the body's centre for an observer, at a Julian Date
// of universal time (positions at TT = UT + delta T).
double MoonAltitude(double jdUT, double latitude, double longitude);
double SunAltitude(double jdUT, double latitude, double longitude);

// Geocentric apparent ecliptic longitude of date of the Moon minus that of
// the Sun, degrees in (-180, 180].
double MoonSunElongation(double jdTT);

// Angular distance between two directions, degrees.
double Separation(double ra1, double dec1, double ra2, double dec2);

// A rise or set: the instant (Julian Date, UT) and the direction.
struct Crossing {
    double jd;
    bool rising;
};

// Every crossing of the usual horizon (upper limb at 34' of refraction, the
// Moon topocentric) by the Moon ('l') or the Sun ('s') in [fromJd, toJd)
// (UT), found by sampling the altitude every stepMinutes and bisecting each
// change of sign to about a second. A rise and set closer together than the
// step may be missed.
std::vector<Crossing> HorizonCrossings(char body, double fromJd, double toJd, double latitude,
                                       double longitude, double stepMinutes = 15.0);

// The last new moon (apparent elongation 0) at or before an instant, Julian
// Date UT, to about a second.
double NewMoonBefore(double jdUT);

// The last instant at or before jdUT at which the apparent elongation of the
// Moon from the Sun (ecliptic longitudes of date) equals the given one
// (90 first quarter, 180 full moon, 270 last quarter), to about a second.
double MoonPhaseBefore(double jdUT, double elongation);

// The Moon's parallactic angle (position angle of the zenith), geocentric,
// at the same time argument for the place and the sidereal time.
double MoonParallacticAngle(double jdUT, double latitude, double longitude);

// The Moon's orientation from the IAU rotation model (which includes the
// physical libration, a few hundredths of a degree): the selenographic
// longitude and latitude of the sub-Earth point and the position angle of
// the north pole on the sky of date.
struct MoonOrientation {
    double librationLongitude;
    double librationLatitude;
    double axisPositionAngle;
};
MoonOrientation MoonOrientationAt(double jdTT);

// The lit fraction of the Moon's disc seen from the Earth's centre.
double MoonIlluminatedFraction(double jdTT);

}  // namespace reference
