#include "ephemeris/moon.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/fundamental_arguments.h"

namespace {

struct MoonTerm {
    double l, lp, f, d;
    double longitude;  // arcsec, sine
    double parallax;   // arcsec, cosine
};

struct MoonLatitudeTerm {
    double l, lp, f, d;
    double latitude;  // arcsec, sine
};

// Rows (l, l', F, D) with the longitude amplitude (arcsec, sine) and the
// parallax amplitude (arcsec, cosine), in summation order.
const MoonTerm kLongitudeParallaxTerms[60] = {
    {1, 0, 0, 0, 22639.5, 186.5398},  {1, 0, 0, -2, -4586.426, 34.11169},
    {0, 0, 0, 2, 2369.902, 28.2333},  {2, 0, 0, 0, 769.016, 10.1657},
    {0, 1, 0, 0, -668.111, -0.3997},  {0, 0, 2, 0, -441.608, -0.0124},
    {2, 0, 0, -2, -211.656, -0.3039}, {1, 1, 0, -2, -205.962, 1.4437},
    {1, 0, 0, 2, 191.953, 3.0861},    {0, 1, 0, -2, -165.145, 1.9178},
    {1, -1, 0, 0, 147.693, 1.1528},   {0, 0, 0, 1, -125.154, -0.9781},
    {1, 1, 0, 0, -109.667, -0.949},   {0, 0, 2, -2, -55.173, -0.1052},
    {1, 0, 2, 0, -45.099, -0.001},    {1, 0, -2, 0, 39.532, -0.7136},
    {1, 0, 0, -4, -38.428, 0.6008},   {3, 0, 0, 0, 36.124, 0.6215},
    {2, 0, 0, -4, -30.773, 0.3722},   {1, -1, 0, -2, 28.475, -0.2257},
    {0, 1, 0, 2, -24.42, -0.3},       {1, 0, 0, -1, 18.609, 0.0118},
    {0, 1, 0, 1, 18.023, 0.1494},     {1, -1, 0, -2, 14.577, 0.2302},
    {2, 0, 0, 2, 14.387, 0.2833},     {0, 0, 0, 4, 13.902, 0.2607},
    {3, 0, 0, 2, -13.193, -0.1187},   {2, -1, 0, 0, 9.703, 0.1268},
    {1, 0, -2, -2, 9.366, 0},         {2, 1, 0, 0, -8.627, -0.1038},
    {1, 0, 0, 1, -8.466, -0.1093},    {0, 2, 0, -2, -8.096, 0.0918},
    {2, 1, 0, 0, -7.649, 0},          {0, 2, 0, 0, -7.486, -0.0086},
    {1, 2, 0, -2, -7.412, 0.0484},    {1, 0, -2, 2, -6.382, -0.0481},
    {0, 0, 2, 2, -5.741, 0},          {1, 1, 0, -4, -4.391, 0.0673},
    {2, 0, 2, 0, -3.996, 0},          {1, 0, 0, -3, 3.125, -0.0386},
    {1, 1, 0, 2, -2.921, -0.0484},    {2, 1, 0, -4, -2.74, -0.0324},
    {1, -2, 0, 0, 2.58, 0.0196},      {1, -2, 0, -2, 2.533, -0.0212},
    {2, -1, 0, -2, -2.494, -0.0017},  {0, 1, 2, -2, -2.152, -0.0066},
    {4, 0, 0, 0, 1.938, 0.0401},      {1, 0, 0, 4, 1.919, 0.0433},
    {0, 1, 0, -4, -1.877, 0.0339},    {2, 0, 0, -1, 1.75, 0.0155},
    {0, 1, -2, 2, -1.44, 0.0014},     {2, 0, -2, 0, 1.298, 0},
    {1, 1, 0, 1, 1.267, 0.0164},      {2, 0, 0, -3, 1.225, 0.0088},
    {3, 0, 0, -4, 1.187, 0.0074},     {2, -1, 0, 2, 1.181, 0.0213},
    {1, 2, 0, 0, -1.167, -0.0106},    {1, -1, 0, -1, -1.089, 0},
    {3, 0, 0, 2, 1.06, 0.0243},       {1, 0, 2, 2, -0.992, 0},
};

// Rows (l, l', F, D) with the latitude amplitude (arcsec, sine).
const MoonLatitudeTerm kLatitudeTerms[45] = {
    {0, 0, 1, 0, 18461.48},   {1, 0, 1, 0, 1010.18},    {-1, 0, 1, 0, -999.6948},
    {0, 0, 1, -2, -623.658},  {-1, 0, 1, 2, 199.485},   {1, 0, 1, -2, -166.577},
    {0, 0, 1, 2, 117.262},    {2, 0, 1, 0, 61.91299},   {-1, 0, 1, -2, -33.35899},
    {-2, 0, 1, 0, -31.76299}, {0, 1, 1, -2, -29.689},   {2, 0, 1, -2, -15.565},
    {1, 0, 1, 2, 15.122},     {0, -1, 1, -2, 12.14},    {0, -1, 1, 2, 8.000999},
    {-1, -1, 1, 2, 8.901999}, {1, 1, 1, -2, -7.462999}, {1, -1, 1, 0, 6.756},
    {1, 0, 1, -4, -6.58},     {0, 0, 3, 0, -6.299},     {0, 1, 1, 0, -6.492},
    {-1, 1, 1, 0, -5.655},    {0, 0, 1, 1, -5.356999},  {1, 1, 1, 0, -5.330999},
    {-1, -1, 1, 0, 5.096},    {0, -1, 1, 0, 4.863},     {0, 0, 1, -1, 4.794999},
    {3, 0, 1, 0, 3.983999},   {0, 0, 1, -4, -3.674999}, {-1, 0, 1, 4, 3},
    {-1, 0, 3, 0, -2.813999}, {-2, 0, 1, 4, 2.412999},  {0, 0, 3, -2, -2.184999},
    {-2, 0, 1, -2, -2.146},   {-1, 1, 1, -2, -1.773},   {-2, 0, 1, 2, -1.624},
    {-3, 0, 1, 0, -1.584999}, {2, 0, 1, 2, 1.523},      {3, 0, 1, -2, -1.516},
    {-1, 1, 1, 2, -1.323},    {0, 1, 1, 2, -1.268999},  {0, 0, 1, 4, 1.191999},
    {1, -1, 1, 2, 1.141},     {0, 2, 1, -2, -1.096},    {1, 0, 3, 0, -1.021},
};

struct Arguments {
    double l, lp, f, d;  // radians
};

Arguments ArgumentsAt(double days) {
    return {MoonMeanAnomaly(days) * kDegToRad, SunMeanAnomaly(days) * kDegToRad,
            MoonArgumentOfLatitude(days) * kDegToRad, MoonMeanElongation(days) * kDegToRad};
}

template <typename Term>
double Angle(const Term& term, const Arguments& a) {
    return term.l * a.l + term.lp * a.lp + term.f * a.f + term.d * a.d;
}

}  // namespace

double MoonMeanLongitude(double days) {
    const double t = days * kCenturiesPerDay;
    return Reduce360((785939.157 + 1732564372.598 * t - 5.802 * (t * t) + 0.019 * (t * t * t)) *
                     kArcsecToDeg);
}

double MoonLongitude(double days) {
    const Arguments a = ArgumentsAt(days);
    double sum = 0.0;
    for (const MoonTerm& term : kLongitudeParallaxTerms) {
        sum += term.longitude * std::sin(Angle(term, a));
    }
    return Reduce360(MoonMeanLongitude(days) + sum * kArcsecToDeg);
}

double MoonLatitude(double days) {
    const Arguments a = ArgumentsAt(days);
    double sum = 0.0;
    for (const MoonLatitudeTerm& term : kLatitudeTerms) {
        sum += term.latitude * std::sin(Angle(term, a));
    }
    return std::fmod(sum * kArcsecToDeg, 360.0);
}

double MoonParallax(double days) {
    const Arguments a = ArgumentsAt(days);
    double sum = 0.0;
    for (const MoonTerm& term : kLongitudeParallaxTerms) {
        sum += term.parallax * std::cos(Angle(term, a));
    }
    return Reduce360((sum + 3422.451) * kArcsecToDeg);
}
