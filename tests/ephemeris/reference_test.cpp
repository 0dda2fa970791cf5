// The ephemeris against independent references over 1900..2100: the 1980
// nutation, the 1982 sidereal time, and modern lunar and solar ephemerides
// (evaluated at the same time argument: the system takes universal time as
// dynamical time).

#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/nutation.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/transforms.h"
#include "tests/support/erfa_reference.h"

namespace {

constexpr double kJ2000 = 2451545.0;

template <typename F>
void ForManyDays(F f) {
    for (int k = 0; k <= 6000; ++k) {
        f(-36525.0 + k * 12.175 + 0.0917 * (k % 11));
    }
}

TEST(Reference, NutationMatchesTheIau1980Series) {
    ForManyDays([](double d) {
        double dpsi, deps;
        reference::Nutation1980(d + kJ2000, dpsi, deps);
        ASSERT_NEAR(NutationLongitude(d), dpsi, 0.001) << d;
        ASSERT_NEAR(NutationObliquity(d), deps, 0.001) << d;
    });
}

TEST(Reference, MeanSiderealTimeMatchesThe1982Formula) {
    ForManyDays([](double d) {
        const double mean = GreenwichSiderealTimeAt(d) - EquationOfEquinoxes(d) / 3600.0;
        const double difference =
            std::remainder(mean - reference::MeanSiderealHours(d + kJ2000), 24.0) * 3600.0;
        ASSERT_LT(std::fabs(difference), 0.001) << d;
        const double apparent = std::remainder(
            GreenwichSiderealTimeAt(d) - reference::ApparentSiderealHours(d + kJ2000), 24.0);
        ASSERT_LT(std::fabs(apparent) * 3600.0, 0.001) << d;
    });
}

TEST(Reference, ApparentPlacesOfMoonAndSun) {
    double worstMoon = 0.0, worstSun = 0.0;
    ForManyDays([&](double d) {
        double ra, dec, refRa, refDec;
        ApparentEquatorial(kBodyMoon, d, ra, dec);
        reference::MoonApparent(d + kJ2000, refRa, refDec);
        const double moon = reference::Separation(ra, dec, refRa, refDec) * 60.0;
        ApparentEquatorial(kBodySun, d, ra, dec);
        reference::SunApparent(d + kJ2000, refRa, refDec);
        const double sun = reference::Separation(ra, dec, refRa, refDec) * 3600.0;
        worstMoon = std::fmax(worstMoon, moon);
        worstSun = std::fmax(worstSun, sun);
        ASSERT_LT(moon, 2.0) << "arcminutes at d = " << d;
        ASSERT_LT(sun, 40.0) << "arcseconds at d = " << d;
    });
    RecordProperty("worstMoonArcmin", std::to_string(worstMoon));
    RecordProperty("worstSunArcsec", std::to_string(worstSun));
}

}  // namespace
