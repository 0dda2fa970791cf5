#include "ephemeris/sun.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/fundamental_arguments.h"

namespace {

// c0 + c1 T1 + c2 T1^2, T1 in centuries since J1900.0.
struct Quadratic {
    double c0, c1, c2;
    double At(double t1) const { return c0 + c1 * t1 + c2 * (t1 * t1); }
};

struct SunPlanetTerm {
    double multipliers[5];
    Quadratic longitudeSine, longitudeCosine, distanceSine, distanceCosine;
};

// Rows of multipliers of the mean anomalies (Earth l', Venus, Mars, Jupiter,
// Saturn) with the coefficients, each a quadratic in centuries since J1900.0:
// longitude sine and cosine (radians), log10 distance sine and cosine.
const SunPlanetTerm kPlanetTerms[49] = {
    {{0, 0, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {3.057e-05, -1.5e-07, 0.0}},
    {{1, 0, 0, 0, 0},
     {0.033502, -8.358e-05, -2.5e-07},
     {0, 0.0, 0.0},
     {0, 0.0, 0.0},
     {-0.00727412, +1.814e-05, +5e-09}},
    {{2, 0, 0, 0, 0},
     {0.000351, -1.75e-06, 0.0},
     {0, 0.0, 0.0},
     {0, 0.0, 0.0},
     {-9.138e-05, +4.6e-07, 0.0}},
    {{3, 0, 0, 0, 0}, {5e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-1.45e-06, +1e-08, 0.0}},
    {{0, 1, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {8.5e-08, 0.0, 0.0}},
    {{1, -1, 0, 0, 0},
     {-2e-05, 0.0, 0.0},
     {1.1e-05, 0.0, 0.0},
     {-1.146e-06, 0.0, 0.0},
     {-2.062e-06, 0.0, 0.0}},
    {{1, -2, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.36e-07, 0.0, 0.0}, {8.4e-08, 0.0, 0.0}},
    {{2, -2, 0, 0, 0},
     {1.4e-05, 0.0, 0.0},
     {9e-06, 0.0, 0.0},
     {5.822e-06, 0.0, 0.0},
     {3.593e-06, 0.0, 0.0}},
    {{3, -2, 0, 0, 0},
     {-8e-06, 0.0, 0.0},
     {-3e-06, 0.0, 0.0},
     {-6.32e-07, 0.0, 0.0},
     {-5.96e-07, 0.0, 0.0}},
    {{3, -3, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.044e-06, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{4, -3, 0, 0, 0},
     {-2e-06, 0.0, 0.0},
     {7e-06, 0.0, 0.0},
     {-1.448e-06, 0.0, 0.0},
     {-3.81e-07, 0.0, 0.0}},
    {{5, -3, 0, 0, 0},
     {-3e-06, 0.0, 0.0},
     {4e-06, 0.0, 0.0},
     {1.48e-07, 0.0, 0.0},
     {1.26e-07, 0.0, 0.0}},
    {{4, -4, 0, 0, 0},
     {0, 0.0, 0.0},
     {-1e-06, 0.0, 0.0},
     {3.37e-07, 0.0, 0.0},
     {-1.66e-07, 0.0, 0.0}},
    {{5, -4, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.89e-07, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{6, -4, 0, 0, 0}, {0, 0.0, 0.0}, {1e-06, 0.0, 0.0}, {-9.1e-08, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{5, -5, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {9.3e-08, 0.0, 0.0}, {-1.34e-07, 0.0, 0.0}},
    {{6, -6, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-8e-08, 0.0, 0.0}},
    {{7, -5, 0, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.36e-07, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{8, -5, 0, 0, 0}, {0, 0.0, 0.0}, {1e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{1, 0, -1, 0, 0},
     {1e-06, 0.0, 0.0},
     {-1e-06, 0.0, 0.0},
     {-1.19e-07, 0.0, 0.0},
     {-9.2e-08, 0.0, 0.0}},
    {{2, 0, -2, 0, 0},
     {3e-06, 0.0, 0.0},
     {1e-05, 0.0, 0.0},
     {1.976e-06, 0.0, 0.0},
     {-5.73e-07, 0.0, 0.0}},
    {{1, 0, -2, 0, 0}, {3e-06, 0.0, 0.0}, {-8e-06, 0.0, 0.0}, {1.37e-07, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{2, 0, -3, 0, 0},
     {1e-06, 0.0, 0.0},
     {2e-06, 0.0, 0.0},
     {2.01e-07, 0.0, 0.0},
     {-7.7e-08, 0.0, 0.0}},
    {{2, 0, -4, 0, 0}, {1e-06, 0.0, 0.0}, {3e-06, 0.0, 0.0}, {-9.6e-08, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{3, 0, -4, 0, 0},
     {-2e-06, 0.0, 0.0},
     {0, 0.0, 0.0},
     {-1.25e-07, 0.0, 0.0},
     {4.61e-07, 0.0, 0.0}},
    {{3, 0, -5, 0, 0}, {-1e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {8.7e-08, 0.0, 0.0}},
    {{3, 0, -3, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-1.54e-07, 0.0, 0.0}},
    {{4, 0, -3, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-9.4e-08, 0.0, 0.0}, {-1.02e-07, 0.0, 0.0}},
    {{4, 0, -5, 0, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {8.7e-08, 0.0, 0.0}},
    {{0, 0, 0, 1, 0},
     {-1.3e-05, 0.0, 0.0},
     {-1e-06, 0.0, 0.0},
     {-8.9e-08, 0.0, 0.0},
     {2.27e-07, 0.0, 0.0}},
    {{1, 0, 0, -3, 0}, {-1e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.72e-07, 0.0, 0.0}},
    {{1, 0, 0, -2, 0},
     {-7e-06, 0.0, 0.0},
     {-3e-06, 0.0, 0.0},
     {-4.86e-07, 0.0, 0.0},
     {1.376e-06, 0.0, 0.0}},
    {{1, 0, 0, -1, 0}, {0, 0.0, 0.0}, {-3.5e-05, 0.0, 0.0}, {-7.067e-06, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{1, 0, 0, 1, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {7.9e-08, 0.0, 0.0}},
    {{2, 0, 0, -4, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.1e-07, 0.0, 0.0}},
    {{2, 0, 0, -3, 0},
     {-3e-06, 0.0, 0.0},
     {0, 0.0, 0.0},
     {1.04e-07, 0.0, 0.0},
     {7.96e-07, 0.0, 0.0}},
    {{2, 0, 0, -2, 0},
     {-1.3e-05, 0.0, 0.0},
     {0, 0.0, 0.0},
     {2.03e-07, 0.0, 0.0},
     {4.021e-06, 0.0, 0.0}},
    {{2, 0, 0, -1, 0},
     {0, 0.0, 0.0},
     {-1e-06, 0.0, 0.0},
     {-1.93e-07, 0.0, 0.0},
     {-7.8e-08, 0.0, 0.0}},
    {{3, 0, 0, -4, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-7.3e-08, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{3, 0, 0, -3, 0}, {0, 0.0, 0.0}, {-1e-06, 0.0, 0.0}, {-2.78e-07, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{3, 0, 0, -2, 0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {1.02e-07, 0.0, 0.0}},
    {{0, 0, 0, 0, 1}, {-2e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{1, 0, 0, 0, -2}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-1.03e-07, 0.0, 0.0}},
    {{1, 0, 0, 0, -1},
     {-2e-06, 0.0, 0.0},
     {0, 0.0, 0.0},
     {-7.9e-08, 0.0, 0.0},
     {4.22e-07, 0.0, 0.0}},
    {{2, 0, 0, 0, -2}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-1.52e-07, 0.0, 0.0}},
    {{0, 0, 0, 0, 1}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {9.1e-08, 0.0, 0.0}},
    {{1, 0, 0, 0, -2}, {2.5e-05, 0.0, 0.0}, {1.8e-05, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}},
    {{1, 0, 0, 0, -1}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}, {-9.1e-08, 0.0, 0.0}},
    {{2, 0, 0, 0, -2}, {0, 0.0, 0.0}, {-1e-06, 0.0, 0.0}, {0, 0.0, 0.0}, {0, 0.0, 0.0}},
};

// Rows (l, l', F, D) of the lunar terms: longitude sine (radians) and
// log10 distance cosine.
struct SunLunarTerm {
    double l, lp, f, d;
    double longitude, distance;
};

const SunLunarTerm kLunarTerms[4] = {
    {0, 0, 0, 1, 3.1e-05, 1.336e-05},
    {1, 0, 0, 1, 1e-06, 0},
    {1, 0, 0, -1, 2e-06, -1.33e-06},
    {0, 1, 0, -1, -1e-06, 0},
};

// Mean longitude minus longitude of perihelion, each a cubic in arcseconds.
double PlanetMeanAnomaly(double t, const double (&longitude)[4], const double (&perihelion)[4]) {
    auto value = [t](const double(&c)[4]) {
        return Reduce360((((c[3] * t + c[2]) * t + c[1]) * t + c[0]) * kArcsecToDeg);
    };
    return value(longitude) - value(perihelion);
}

struct Arguments {
    double anomalies[5];  // l', Venus, Mars, Jupiter, Saturn (radians)
    double t1;
};

Arguments ArgumentsAt(double days) {
    const double t = days * kCenturiesPerDay;
    Arguments a;
    a.anomalies[0] = SunMeanAnomaly(days) * kDegToRad;
    a.anomalies[1] = PlanetMeanAnomaly(t, {655127.283, 210669166.909, 1.1182, 0.0001},
                                       {473629.346, 5047.994, -3.8618, -0.0189}) *
                     kDegToRad;
    a.anomalies[2] = PlanetMeanAnomaly(t, {1279559.789, 68910107.309, 1.1195, 0.0001},
                                       {1209816.842, 6627.759, 0.4864, 0.001}) *
                     kDegToRad;
    a.anomalies[3] = PlanetMeanAnomaly(t, {123665.342, 10930690.04, 0.8055, 0.0001},
                                       {51592.713, 5805.497, 3.7132, -0.0159}) *
                     kDegToRad;
    a.anomalies[4] = PlanetMeanAnomaly(t, {180278.897, 4404639.651, 1.8703, 0},
                                       {335004.434, 7069.538, 3.015, 0.0181}) *
                     kDegToRad;
    a.t1 = (days + 36525.0) * kCenturiesPerDay;
    return a;
}

double PlanetAngle(const SunPlanetTerm& term, const Arguments& a) {
    double angle = 0.0;
    for (int k = 0; k < 5; ++k) {
        angle += term.multipliers[k] * a.anomalies[k];
    }
    return angle;
}

struct LunarArguments {
    double l, lp, f, d;  // radians
};

LunarArguments LunarArgumentsAt(double days) {
    return {MoonMeanAnomaly(days) * kDegToRad, SunMeanAnomaly(days) * kDegToRad,
            MoonArgumentOfLatitude(days) * kDegToRad, MoonMeanElongation(days) * kDegToRad};
}

double LunarAngle(const SunLunarTerm& term, const LunarArguments& a) {
    return term.l * a.l + term.lp * a.lp + term.f * a.f + term.d * a.d;
}

}  // namespace

double SunMeanLongitude(double days) {
    const double t = days * kCenturiesPerDay;
    return Reduce360(((1.089 * t + 129602771.27) * t + 1009667.85) * kArcsecToDeg);
}

double SunLongitude(double days) {
    const Arguments a = ArgumentsAt(days);
    double sum = 0.0;
    for (const SunPlanetTerm& term : kPlanetTerms) {
        const double angle = PlanetAngle(term, a);
        sum += term.longitudeSine.At(a.t1) * std::sin(angle) +
               term.longitudeCosine.At(a.t1) * std::cos(angle);
    }
    // Long-period Venus term.
    const double psi = 13.0 * a.anomalies[0] - 8.0 * a.anomalies[1] +
                       (days + 36525.0) * 2.1503025325119783e-06 + 3.8990655;
    sum += 7e-06 * std::sin(psi) + 6e-06 * std::cos(psi);
    const LunarArguments lunar = LunarArgumentsAt(days);
    for (const SunLunarTerm& term : kLunarTerms) {
        sum += term.longitude * std::sin(LunarAngle(term, lunar));
    }
    return Reduce360(SunMeanLongitude(days) + sum * kRadToDeg);
}

double SunDistance(double days) {
    const Arguments a = ArgumentsAt(days);
    double sum = 0.0;
    for (const SunPlanetTerm& term : kPlanetTerms) {
        const double angle = PlanetAngle(term, a);
        sum += term.distanceSine.At(a.t1) * std::sin(angle) +
               term.distanceCosine.At(a.t1) * std::cos(angle);
    }
    const LunarArguments lunar = LunarArgumentsAt(days);
    for (const SunLunarTerm& term : kLunarTerms) {
        sum += term.distance * std::cos(LunarAngle(term, lunar));
    }
    return std::pow(10.0, sum);
}
