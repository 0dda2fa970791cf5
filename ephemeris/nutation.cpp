#include "ephemeris/nutation.h"

#include <cmath>

#include "ephemeris/angles.h"
#include "ephemeris/fundamental_arguments.h"
#include "ephemeris/nutation_1980_table.h"

NutationSums NutationSumsAt(double days) {
    const double arguments[5] = {
        MoonMeanAnomaly(days) * kDegToRadExact, SunMeanAnomaly(days) * kDegToRadExact,
        MoonArgumentOfLatitude(days) * kDegToRadExact, MoonMeanElongation(days) * kDegToRadExact,
        MoonNodeLongitude(days) * kDegToRadExact};
    double longitude[2] = {0.0, 0.0};
    double obliquity[2] = {0.0, 0.0};
    for (int row = 0; row < kNutationTermCount; ++row) {
        const NutationTerm& term = kNutation1980[row];
        double angle = 0.0;
        for (int k = 0; k < 5; ++k) {
            angle += term.multipliers[k] * arguments[k];
        }
        // The time parts are kept per day and multiplied by the day count.
        const double psi = term.longitude + term.longitudePerCentury / 36525.0 * days;
        const double eps = term.obliquity + term.obliquityPerCentury / 36525.0 * days;
        const int group = row < kNutationLongGroupSize ? 0 : 1;
        longitude[group] += psi * std::sin(angle);
        obliquity[group] += eps * std::cos(angle);
    }
    return {longitude[0] * 0.0001, longitude[1] * 0.0001, obliquity[0] * 0.0001,
            obliquity[1] * 0.0001};
}

double NutationLongitude(double days) {
    return NutationSumsAt(days).Longitude();
}

double NutationObliquity(double days) {
    return NutationSumsAt(days).Obliquity();
}

double TrueObliquityWith(double days, double nutationObliquity) {
    const double t = days * kCenturiesPerDay;
    const double t2 = t * t;
    const double t3 = t2 * t;
    return Reduce360((nutationObliquity + 84381.448 - 46.815 * t - 0.00059 * t2 + 0.001813 * t3) *
                     kArcsecToDeg);
}

double TrueObliquity(double days) {
    return TrueObliquityWith(days, NutationObliquity(days));
}
