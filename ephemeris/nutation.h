#pragma once

// Nutation (1980 IAU theory) and the true obliquity of the ecliptic. Each
// takes a day count since J2000.0.

// The four group sums of one evaluation, in arcseconds: the long group (the
// Omega terms and the 2F - 2D + 2Omega family, rows 1-30) and the short
// group (rows 31-106), for the longitude and the obliquity.
struct NutationSums {
    double longitudeLong, longitudeShort;
    double obliquityLong, obliquityShort;
    double Longitude() const { return longitudeLong + longitudeShort; }
    double Obliquity() const { return obliquityLong + obliquityShort; }
};

NutationSums NutationSumsAt(double days);

double NutationLongitude(double days);  // delta psi, arcseconds
double NutationObliquity(double days);  // delta epsilon, arcseconds
double TrueObliquity(double days);      // epsilon, degrees

// The true obliquity from an already evaluated delta epsilon (arcseconds).
double TrueObliquityWith(double days, double nutationObliquity);
