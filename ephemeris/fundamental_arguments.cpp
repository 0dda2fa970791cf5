#include "ephemeris/fundamental_arguments.h"

#include "ephemeris/angles.h"

namespace {

// Cubic in centuries with coefficients in arcseconds.
double Argument(double days, double c0, double c1, double c2, double c3) {
    const double t = days * kCenturiesPerDay;
    return Reduce360((((c3 * t + c2) * t + c1) * t + c0) * kArcsecToDeg);
}

}  // namespace

double MoonMeanAnomaly(double days) {
    return Argument(days, 485866.733, 1717915922.633, 31.31, 0.064);
}

double SunMeanAnomaly(double days) {
    return Argument(days, 1287099.804, 129596581.224, -0.577, -0.012);
}

double MoonArgumentOfLatitude(double days) {
    return Argument(days, 335778.877, 1739527263.137, -13.257, 0.011);
}

double MoonMeanElongation(double days) {
    return Argument(days, 1072261.307, 1602961601.328, -6.891, 0.019);
}

double MoonNodeLongitude(double days) {
    return Argument(days, 450160.28, -6962890.539, 7.455, 0.008);
}
