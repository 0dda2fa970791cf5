#pragma once

// The Sun's geometric ecliptic longitude of the mean equinox of date and its
// distance, from a series over the mean anomalies of the Earth and four
// planets with lunar terms. The Sun's latitude is taken as 0. Each takes a
// day count since J2000.0.

double SunLongitude(double days);      // degrees, [0, 360)
double SunDistance(double days);       // astronomical units
double SunMeanLongitude(double days);  // L0, degrees
