#include "tests/support/erfa_reference.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace reference {

namespace {

constexpr double kDeg = 57.29577951308232;  // degrees per radian
constexpr double kLightDayAu = 173.1446326846693;

double YearOf(double jd) {
    return 2000.0 + (jd - 2451545.0) / 365.25;
}

void RaDec(const double p[3], double& ra, double& dec) {
    double theta, phi;
    eraC2s(const_cast<double*>(p), &theta, &phi);
    ra = eraAnp(theta) * kDeg;
    dec = phi * kDeg;
}

void TrueOfDate(double jdTT, const double gcrs[3], double out[3]) {
    double matrix[3][3];
    eraPnm80(jdTT, 0.0, matrix);
    eraRxp(matrix, const_cast<double*>(gcrs), out);
}

double Altitude(double ra, double dec, double jdUT, double latitude, double longitude) {
    const double lst = ApparentSiderealHours(jdUT) * 15.0 + longitude;
    const double h = (lst - ra) / kDeg;
    const double phi = latitude / kDeg;
    const double d = dec / kDeg;
    return std::asin(std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::cos(h)) *
           kDeg;
}

}  // namespace

double DeltaTSeconds(double y) {
    // Polynomial expressions of Espenak and Meeus (NASA eclipse pages).
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t -
               0.000197 * t * t * t * t;
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t +
               0.000651814 * t * t * t * t + 0.00002373599 * t * t * t * t * t;
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    return -20 + 32 * ((y - 1820) / 100) * ((y - 1820) / 100) - 0.5628 * (2150 - y);
}

void Nutation1980(double jdTT, double& dpsi, double& deps) {
    eraNut80(jdTT, 0.0, &dpsi, &deps);
    dpsi *= kDeg * 3600.0;
    deps *= kDeg * 3600.0;
}

double MeanSiderealHours(double jdUT) {
    return eraGmst82(jdUT, 0.0) * kDeg / 15.0;
}

double ApparentSiderealHours(double jdUT) {
    double dpsi, deps;
    eraNut80(jdUT, 0.0, &dpsi, &deps);
    const double eps = eraObl80(jdUT, 0.0) + deps;
    const double gast = eraAnp(eraGmst82(jdUT, 0.0) + dpsi * std::cos(eps));
    return gast * kDeg / 15.0;
}

void MoonApparent(double jdTT, double& ra, double& dec) {
    double pv[2][3];
    eraMoon98(jdTT, 0.0, pv);
    // Light time: the place where the Moon was when its light left it.
    const double lightTime = eraPm(pv[0]) / kLightDayAu;
    eraMoon98(jdTT - lightTime, 0.0, pv);
    double p[3];
    TrueOfDate(jdTT, pv[0], p);
    RaDec(p, ra, dec);
}

double MoonDistanceKm(double jdTT) {
    double pv[2][3];
    eraMoon98(jdTT, 0.0, pv);
    return eraPm(pv[0]) * ERFA_DAU / 1000.0;
}

void SunApparent(double jdTT, double& ra, double& dec) {
    double heliocentric[2][3], barycentric[2][3];
    eraEpv00(jdTT, 0.0, heliocentric, barycentric);
    double toSun[3];
    eraSxp(-1.0, heliocentric[0], toSun);
    // Light time of about 8.3 minutes: the Sun's own motion in that time is
    // below a milliarcsecond here, so only the aberration counts.
    double distance, direction[3];
    eraPn(toSun, &distance, direction);
    double velocity[3];
    eraSxp(1.0 / kLightDayAu, barycentric[1], velocity);
    const double bm1 = std::sqrt(1.0 - eraPm(velocity) * eraPm(velocity));
    double aberrated[3];
    eraAb(direction, velocity, distance, bm1, aberrated);
    double p[3];
    TrueOfDate(jdTT, aberrated, p);
    RaDec(p, ra, dec);
}

double MoonAltitude(double jdUT, double latitude, double longitude) {
    double ra, dec;
    MoonApparent(jdUT + DeltaTSeconds(YearOf(jdUT)) / 86400.0, ra, dec);
    return Altitude(ra, dec, jdUT, latitude, longitude);
}

double SunAltitude(double jdUT, double latitude, double longitude) {
    double ra, dec;
    SunApparent(jdUT + DeltaTSeconds(YearOf(jdUT)) / 86400.0, ra, dec);
    return Altitude(ra, dec, jdUT, latitude, longitude);
}

double MoonSunElongation(double jdTT) {
    double mra, mdec, sra, sdec;
    MoonApparent(jdTT, mra, mdec);
    SunApparent(jdTT, sra, sdec);
    const double eps = eraObl80(jdTT, 0.0);
    auto lambda = [eps](double ra, double dec) {
        const double a = ra / kDeg, d = dec / kDeg;
        return std::atan2(std::sin(a) * std::cos(eps) + std::tan(d) * std::sin(eps), std::cos(a)) *
               kDeg;
    };
    double e = std::fmod(lambda(mra, mdec) - lambda(sra, sdec), 360.0);
    if (e > 180.0)
        e -= 360.0;
    if (e <= -180.0)
        e += 360.0;
    return e;
}

double Separation(double ra1, double dec1, double ra2, double dec2) {
    return eraSeps(ra1 / kDeg, dec1 / kDeg, ra2 / kDeg, dec2 / kDeg) * kDeg;
}

namespace {

double DeltaTDays(double jdUT) {
    return DeltaTSeconds(YearOf(jdUT)) / 86400.0;
}

// The altitude of the body above the altitude of its rise or set, degrees.
double AboveHorizon(char body, double jd, double latitude, double longitude) {
    if (body == 's') {
        return SunAltitude(jd, latitude, longitude) + 0.8333;
    }
    const double parallax = std::asin(6378.14 / MoonDistanceKm(jd + DeltaTDays(jd))) * kDeg;
    return MoonAltitude(jd, latitude, longitude) - (0.7275 * parallax - 0.5667);
}

}  // namespace

std::vector<Crossing> HorizonCrossings(char body, double fromJd, double toJd, double latitude,
                                       double longitude, double stepMinutes) {
    std::vector<Crossing> found;
    const double step = stepMinutes / 1440.0;
    double t0 = fromJd;
    double a0 = AboveHorizon(body, t0, latitude, longitude);
    while (t0 < toJd) {
        const double t1 = t0 + step;
        const double a1 = AboveHorizon(body, t1, latitude, longitude);
        if ((a0 < 0.0) != (a1 < 0.0)) {
            double lo = t0, hi = t1, alo = a0;
            while (hi - lo > 1e-5) {
                const double mid = 0.5 * (lo + hi);
                const double am = AboveHorizon(body, mid, latitude, longitude);
                if ((am < 0.0) == (alo < 0.0)) {
                    lo = mid;
                    alo = am;
                } else {
                    hi = mid;
                }
            }
            const double t = 0.5 * (lo + hi);
            if (t >= fromJd && t < toJd) {
                found.push_back({t, a0 < 0.0});
            }
        }
        t0 = t1;
        a0 = a1;
    }
    return found;
}

double MoonPhaseBefore(double jdUT, double elongation) {
    auto offset = [elongation](double jd) {
        double e = std::fmod(MoonSunElongation(jd + DeltaTDays(jd)) - elongation, 360.0);
        if (e > 180.0)
            e -= 360.0;
        if (e <= -180.0)
            e += 360.0;
        return e;
    };
    double hi = jdUT;
    double lo = jdUT - 0.5;
    // Walk back until the offset was negative just before a zero.
    while (!(offset(lo) < 0.0 && offset(hi) >= 0.0 && offset(hi) < 90.0)) {
        hi = lo;
        lo -= 0.5;
    }
    while (hi - lo > 1e-5) {
        const double mid = 0.5 * (lo + hi);
        if (offset(mid) < 0.0) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

double NewMoonBefore(double jdUT) {
    return MoonPhaseBefore(jdUT, 0.0);
}

double MoonParallacticAngle(double jdUT, double latitude, double longitude) {
    double ra, dec;
    MoonApparent(jdUT, ra, dec);
    const double lst = ApparentSiderealHours(jdUT) * 15.0 + longitude;
    return eraHd2pa((lst - ra) / kDeg, dec / kDeg, latitude / kDeg) * kDeg;
}

MoonOrientation MoonOrientationAt(double jdTT) {
    // The Moon's pole and prime meridian of the IAU working group on
    // cartographic coordinates (mean Earth / polar axis frame, ICRF), with
    // its main periodic terms.
    const double d = jdTT - 2451545.0;
    const double t = d / 36525.0;
    auto s = [](double deg) { return std::sin(deg / kDeg); };
    auto c = [](double deg) { return std::cos(deg / kDeg); };
    const double e1 = 125.045 - 0.0529921 * d, e2 = 250.089 - 0.1059842 * d;
    const double e3 = 260.008 + 13.0120009 * d, e4 = 176.625 + 13.3407154 * d;
    const double e5 = 357.529 + 0.9856003 * d, e6 = 311.589 + 26.4057084 * d;
    const double e7 = 134.963 + 13.0649930 * d, e8 = 276.617 + 0.3287146 * d;
    const double e9 = 34.226 + 1.7484877 * d, e10 = 15.134 - 0.1589763 * d;
    const double e11 = 119.743 + 0.0036096 * d, e12 = 239.961 + 0.1643573 * d;
    const double e13 = 25.053 + 12.9590088 * d;
    const double a0 = 269.9949 + 0.0031 * t - 3.8787 * s(e1) - 0.1204 * s(e2) + 0.0700 * s(e3) -
                      0.0172 * s(e4) + 0.0072 * s(e6) - 0.0052 * s(e10) + 0.0043 * s(e13);
    const double d0 = 66.5392 + 0.0130 * t + 1.5419 * c(e1) + 0.0239 * c(e2) - 0.0278 * c(e3) +
                      0.0068 * c(e4) - 0.0029 * c(e6) + 0.0009 * c(e7) + 0.0008 * c(e10) -
                      0.0009 * c(e13);
    const double w = 38.3213 + 13.17635815 * d - 1.4e-12 * d * d + 3.5610 * s(e1) + 0.1208 * s(e2) -
                     0.0642 * s(e3) + 0.0158 * s(e4) + 0.0252 * s(e5) - 0.0066 * s(e6) -
                     0.0047 * s(e7) - 0.0046 * s(e8) + 0.0028 * s(e9) + 0.0052 * s(e10) +
                     0.0040 * s(e11) + 0.0019 * s(e12) - 0.0044 * s(e13);

    double pole[3], node[3], meridian[3], east[3];
    eraS2c(a0 / kDeg, d0 / kDeg, pole);
    eraS2c((a0 + 90.0) / kDeg, 0.0, node);
    double nodeNorth[3];
    eraPxp(pole, node, nodeNorth);
    for (int k = 0; k < 3; ++k) {
        meridian[k] = node[k] * std::cos(w / kDeg) + nodeNorth[k] * std::sin(w / kDeg);
    }
    eraPxp(pole, meridian, east);

    double pv[2][3];
    eraMoon98(jdTT, 0.0, pv);
    double toEarth[3];
    eraSxp(-1.0, pv[0], toEarth);
    MoonOrientation result;
    result.librationLongitude = std::atan2(eraPdp(toEarth, east), eraPdp(toEarth, meridian)) * kDeg;
    result.librationLatitude = std::asin(eraPdp(toEarth, pole) / eraPm(toEarth)) * kDeg;

    // Position angle of the pole on the sky of date at the Moon's place.
    double moonOfDate[3], poleOfDate[3];
    TrueOfDate(jdTT, pv[0], moonOfDate);
    TrueOfDate(jdTT, pole, poleOfDate);
    result.axisPositionAngle = eraPap(moonOfDate, poleOfDate) * kDeg;
    return result;
}

double MoonIlluminatedFraction(double jdTT) {
    double pv[2][3], heliocentric[2][3], barycentric[2][3];
    eraMoon98(jdTT, 0.0, pv);
    eraEpv00(jdTT, 0.0, heliocentric, barycentric);
    // Vectors from the Moon to the Sun and to the Earth.
    double moonToSun[3], moonToEarth[3];
    for (int k = 0; k < 3; ++k) {
        moonToSun[k] = -heliocentric[0][k] - pv[0][k];
        moonToEarth[k] = -pv[0][k];
    }
    const double phase = eraSepp(moonToSun, moonToEarth);
    return (1.0 + std::cos(phase)) / 2.0;
}

}  // namespace reference
