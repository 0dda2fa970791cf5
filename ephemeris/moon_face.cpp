#include "ephemeris/moon_face.h"

#include <algorithm>
#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/fundamental_arguments.h"
#include "ephemeris/moon.h"
#include "ephemeris/nutation.h"
#include "ephemeris/sun.h"

namespace {

// Inclination of the mean lunar equator to the ecliptic (Cassini's laws).
constexpr double kLunarEquatorInclination = 1.54242;
constexpr double kEarthRadiusKm = 6378.14;
constexpr double kAstronomicalUnitKm = 149597870.7;
constexpr double kRad = 0.017453292519943295;

double Fold180(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a > 180.0) {
        a -= 360.0;
    }
    if (a <= -180.0) {
        a += 360.0;
    }
    return a;
}

// Apparent right ascension (degrees) of an ecliptic place of date for the
// true obliquity.
double RightAscension(double longitude, double latitude, double obliquity) {
    const double l = longitude * kRad, b = latitude * kRad, e = obliquity * kRad;
    return std::atan2(std::sin(l) * std::cos(e) - std::tan(b) * std::sin(e), std::cos(l)) / kRad;
}

double Declination(double longitude, double latitude, double obliquity) {
    const double l = longitude * kRad, b = latitude * kRad, e = obliquity * kRad;
    return std::asin(std::clamp(std::sin(b) * std::cos(e) + std::cos(b) * std::sin(e) * std::sin(l),
                                -1.0, 1.0)) /
           kRad;
}

}  // namespace

MoonFace MoonFaceAt(double days, double localSiderealDegrees, double latitude) {
    const NutationSums nutation = NutationSumsAt(days);
    const double dpsi = nutation.Longitude() / 3600.0;
    const double obliquity = TrueObliquityWith(days, nutation.Obliquity());

    const double lambda = MoonLongitude(days);  // geometric, mean equinox of date
    const double beta = MoonLatitude(days);
    const double node = MoonNodeLongitude(days);
    const double argumentOfLatitude = MoonArgumentOfLatitude(days);
    const double apparentLambda = lambda + dpsi;

    MoonFace aspect;

    // Optical libration: the Earth's direction in the frame of the mean
    // lunar equator, whose node follows the Moon's mean node.
    const double inc = kLunarEquatorInclination * kRad;
    const double w = (lambda - node) * kRad;
    const double b = beta * kRad;
    const double a =
        std::atan2(std::sin(w) * std::cos(b) * std::cos(inc) - std::sin(b) * std::sin(inc),
                   std::cos(w) * std::cos(b));
    aspect.librationLongitude = Fold180(a / kRad - argumentOfLatitude);
    const double sinLatitude =
        -std::sin(w) * std::cos(b) * std::sin(inc) - std::sin(b) * std::cos(inc);
    const double librationLatitude = std::asin(std::clamp(sinLatitude, -1.0, 1.0));
    aspect.librationLatitude = librationLatitude / kRad;

    // Position angle of the axis: the pole of the lunar equator, whose
    // ecliptic longitude is the node's minus 90 degrees, seen at the Moon's
    // apparent place.
    const double alpha = RightAscension(apparentLambda, beta, obliquity);
    const double delta = Declination(apparentLambda, beta, obliquity);
    const double v = (node + dpsi) * kRad;
    const double e = obliquity * kRad;
    const double x = std::sin(inc) * std::sin(v);
    const double y = std::sin(inc) * std::cos(v) * std::cos(e) - std::cos(inc) * std::sin(e);
    const double omega = std::atan2(x, y);
    const double sinP =
        std::sqrt(x * x + y * y) * std::cos(alpha * kRad - omega) / std::cos(librationLatitude);
    aspect.axisPositionAngle = std::asin(std::clamp(sinP, -1.0, 1.0)) / kRad;

    // Parallactic angle from the hour angle and the declination.
    const double hourAngle = (localSiderealDegrees - alpha) * kRad;
    const double phi = latitude * kRad;
    const double d = delta * kRad;
    aspect.parallacticAngle =
        Fold180(std::atan2(std::sin(hourAngle) * std::cos(phi),
                           std::sin(phi) * std::cos(d) -
                               std::cos(phi) * std::sin(d) * std::cos(hourAngle)) /
                kRad);

    // Distance from the parallax; the lit fraction from the phase angle.
    aspect.distanceKm = kEarthRadiusKm / std::sin(MoonParallax(days) * kRad);
    const double sunKm = SunDistance(days) * kAstronomicalUnitKm;
    const double cosElongation = std::cos(b) * std::cos((lambda - SunLongitude(days)) * kRad);
    const double sinElongation = std::sqrt(std::max(0.0, 1.0 - cosElongation * cosElongation));
    const double phaseAngle =
        std::atan2(sunKm * sinElongation, aspect.distanceKm - sunKm * cosElongation);
    aspect.illuminatedFraction = (1.0 + std::cos(phaseAngle)) / 2.0;
    return aspect;
}

double MoonFaceTurn(double axisPositionAngle, double parallacticAngle) {
    // Position angles run counterclockwise on the sky as seen from the
    // ground (north up, east left); the zenith lies at the parallactic
    // angle, the lunar north at the axis position angle.
    return Fold180(axisPositionAngle - parallacticAngle);
}

double EarthLitFraction(double moonIlluminatedFraction) {
    return std::clamp(1.0 - moonIlluminatedFraction, 0.0, 1.0);
}
