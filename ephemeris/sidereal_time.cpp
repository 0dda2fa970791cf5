#include "ephemeris/sidereal_time.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/nutation.h"

namespace {

struct OldObliquityTerm {
    double multipliers[5];  // Omega', M', M, F', D'
    double amplitude, amplitudePerCentury;
};

// Rows (group, Omega', M', M, F', D') with the amplitude (arcsec, cosine) as
// constant + per-century part; the rows of zero amplitude are left out.
const OldObliquityTerm kOldObliquityTerms[40] = {
    {2, -2, 0, 2, 0, 0.0002, 0},        {1, 0, 1, 2, -2, -0.0002, 0},
    {1, 2, 0, 0, -2, -0.0002, 0},       {1, 0, -2, 2, -2, 0.0002, 0},
    {1, 0, -1, 2, -2, 0.0003, 0},       {1, -2, 0, 0, 2, 0.0003, 0},
    {1, 0, -1, 0, 0, 0.0005, 0},        {1, 0, 1, 0, 0, 0.0008, 0},
    {1, -2, 0, 2, 0, -0.0024, 0},       {2, 0, 2, 2, -2, 0.0007, 0},
    {1, 0, 0, 2, -2, -0.0066, 0},       {2, 0, -1, 2, -2, -0.0093, +3e-05},
    {2, 0, 1, 2, -2, 0.0216, -6e-05},   {2, 0, 0, 0, 0, -0.0904, +4e-05},
    {2, 0, 0, 2, -2, 0.5522, -0.00029}, {1, 0, 0, 0, 0, 9.21, +0.00091},
    {1, 2, 0, 2, 0, 0.0002, 0},         {1, 0, 0, 2, 2, 0.0003, 0},
    {1, 0, 0, 0, -2, 0.0003, 0},        {1, 1, 0, 2, -2, -0.0003, 0},
    {1, 0, 0, 0, 2, 0.0003, 0},         {2, 2, 0, 2, -2, -0.0002, 0},
    {2, 1, 0, 2, 2, 0.0003, 0},         {2, 0, -1, 2, 0, 0.0003, 0},
    {2, 0, 1, 2, 0, -0.0003, 0},        {1, -1, 0, 2, 2, 0.0005, 0},
    {1, 1, 0, 0, -2, 0.0007, 0},        {1, -1, 0, 0, 2, -0.0007, 0},
    {1, -1, 0, 2, 0, -0.001, 0},        {2, 2, 0, 2, 0, 0.0011, 0},
    {2, 1, 0, 2, -2, -0.0011, 0},       {2, 0, 0, 2, 2, 0.0014, 0},
    {1, 1, 0, 2, 0, 0.0023, 0},         {2, -1, 0, 2, 2, 0.0022, 0},
    {1, -1, 0, 0, 0, 0.003, 0},         {1, 1, 0, 0, 0, -0.0031, 0},
    {2, -1, 0, 2, 0, -0.005, 0},        {2, 1, 0, 2, 0, 0.0113, -1e-05},
    {1, 0, 0, 2, 0, 0.0183, 0},         {2, 0, 0, 2, 0, 0.0884, -5e-05},
};

// The 1900-epoch arguments, degrees, cubic in centuries since J2000.0.
double OldArgument(double t, double c0, double c1, double c2, double c3) {
    return Reduce360(((c3 * t + c2) * t + c1) * t + c0);
}

double SiderealHours(double centuriesAtMidnight, double universalHours, double days) {
    const double equation = EquationOfEquinoxes(days);
    double hours =
        std::fmod((MeanSiderealSecondsAtMidnight(centuriesAtMidnight) + equation) * kArcsecToDeg +
                      universalHours * 1.0027379093,
                  24.0);
    if (hours < 0.0) {
        hours += 24.0;
    }
    return hours;
}

}  // namespace

double SiderealObliquity(double days) {
    const double t = days * kCenturiesPerDay;
    const double arguments[5] = {
        OldArgument(t, 259.183275, -1934.1420083, 0.0020777, 2.2e-05) * kDegToRadExact,
        OldArgument(t, 296.1046083, 477198.84910833, 0.0091916666, 1.43889e-05) * kDegToRadExact,
        OldArgument(t, 358.475833333, 35999.04975, -0.00015, -3.33e-06) * kDegToRadExact,
        OldArgument(t, 11.250888889, 483202.02515, -0.003211111, -3.3e-06) * kDegToRadExact,
        OldArgument(t, 350.73748611, 445267.1142166667, -0.0014361111, 8.9e-05) * kDegToRadExact};
    double w = 0.0;
    for (const OldObliquityTerm& term : kOldObliquityTerms) {
        double angle = 0.0;
        for (int k = 0; k < 5; ++k) {
            angle += term.multipliers[k] * arguments[k];
        }
        w += (term.amplitude + term.amplitudePerCentury * t) * std::cos(angle);
    }
    return Reduce360(w * kArcsecToDeg + 23.452294 - 0.0130125 * t - 1.64e-06 * (t * t) +
                     5.03e-07 * (t * t * t));
}

double MeanSiderealSecondsAtMidnight(double t0) {
    // The cubic term of the 1982 formula is -6.2e-6 s per century cubed.
    return 24110.54841 + (8640184.812866 + 0.093104 * t0) * t0 - 6.2e-6 * (t0 * t0 * t0);
}

double EquationOfEquinoxes(double days) {
    const NutationSums nutation = NutationSumsAt(days);
    const double cosine = std::cos(SiderealObliquity(days) * kDegToRad);
    return nutation.longitudeLong * cosine * 0.06666666666666667 +
           nutation.longitudeShort * cosine * 0.06666666666666667;
}

void GreenwichSiderealTime(CivilTime& time) {
    const double universalHours =
        time.hour + time.minute * 0.016666666666666666 + time.second * 0.0002777777777777778;
    CivilTime midnight = time;
    midnight.hour = 0;
    midnight.minute = 0;
    midnight.second = 0;
    const double t0 = DaysSinceJ2000(midnight) * kCenturiesPerDay;
    time.siderealHours = SiderealHours(t0, universalHours, DaysSinceJ2000(time));
}

double GreenwichSiderealTimeAt(double days) {
    const double whole = std::trunc(days);
    const double fraction = days - whole;
    double midnight;
    double universalHours;
    if (fraction >= 0.5) {
        midnight = whole + 0.5;
        universalHours = (fraction - 0.5) * 24.0;
    } else {
        midnight = whole - 0.5;
        universalHours = (fraction + 0.5) * 24.0;
    }
    return SiderealHours(midnight * kCenturiesPerDay, universalHours, days);
}
