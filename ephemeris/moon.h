#pragma once

// The Moon's geocentric place of the mean equinox of date from the series of
// the lunar theory over l, l', F, D. Each takes a day count since J2000.0 and
// returns degrees.

double MoonLongitude(double days);      // geometric ecliptic longitude, [0, 360)
double MoonLatitude(double days);       // ecliptic latitude, sign kept (within about +-5.3)
double MoonParallax(double days);       // equatorial horizontal parallax, [0, 360) (0.9..1.0)
double MoonMeanLongitude(double days);  // L', [0, 360)
