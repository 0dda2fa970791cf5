#include "ephemeris/transforms.h"

#include <algorithm>
#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/moon.h"
#include "ephemeris/nutation.h"
#include "ephemeris/sun.h"

void EclipticToEquatorial(double& longitude, double& latitude, double obliquity) {
    // The obliquity's and the longitude's sines and cosines are taken as the
    // cosines and sines of their complements.
    const double coObliquity = (90.0 - obliquity) * kDegToRad;
    const double coLongitude = (90.0 - longitude) * kDegToRad;
    const double beta = latitude * kDegToRad;
    const double cosEps = std::sin(coObliquity);
    const double sinEps = std::cos(coObliquity);
    const double sinLambda = std::cos(coLongitude);
    const double cosLambda = std::sin(coLongitude);
    const double sinBeta = std::sin(beta);
    const double cosBeta = std::cos(beta);

    // Rounding can carry the cosine a hair beyond 1 at the poles.
    const double argument = std::clamp(cosEps * sinBeta + sinEps * cosBeta * sinLambda, -1.0, 1.0);
    const double declination = Reduce360(90.0 - std::acos(argument) * kRadToDeg);
    const double rightAscension = Reduce360(
        90.0 - std::atan2(cosBeta * cosLambda, cosEps * cosBeta * sinLambda - sinEps * sinBeta) *
                   kRadToDeg);
    longitude = rightAscension;
    latitude = declination;
}

void EquatorialToHorizontal(double& rightAscension, double& declination,
                            double localSiderealDegrees, double latitude) {
    const double phi = latitude * kDegToRad;
    const double hourAngle = (localSiderealDegrees - rightAscension) * kDegToRad;
    const double delta = declination * kDegToRad;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double sinDelta = std::sin(delta);
    const double cosDelta = std::cos(delta);
    const double cosH = std::cos(hourAngle);

    const double argument = std::clamp(sinPhi * sinDelta + cosPhi * cosDelta * cosH, -1.0, 1.0);
    const double altitude = 90.0 - std::acos(argument) * kRadToDeg;
    const double azimuth = Reduce360(
        std::atan2(std::sin(hourAngle) * cosDelta, sinPhi * cosDelta * cosH - sinDelta * cosPhi) *
        kRadToDeg);
    rightAscension = azimuth;
    declination = altitude;
}

void ApparentEquatorial(char body, double days, double& rightAscension, double& declination) {
    const NutationSums nutation = NutationSumsAt(days);
    const double obliquity = TrueObliquityWith(days, nutation.Obliquity());
    double longitude;
    double latitude;
    if (body == kBodyMoon) {
        longitude = MoonLongitude(days);
        latitude = MoonLatitude(days);
    } else {
        longitude = SunLongitude(days);
        latitude = 0.0;
    }
    // The nutation in obliquity goes into the latitude as well as into the
    // obliquity.
    longitude = longitude + nutation.Longitude() / 3600.0;
    latitude = latitude + nutation.Obliquity() / 3600.0;
    EclipticToEquatorial(longitude, latitude, obliquity);
    rightAscension = longitude;
    declination = latitude;
}
