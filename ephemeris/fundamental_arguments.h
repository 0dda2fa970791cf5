#pragma once

// The five lunar-solar (Delaunay) arguments of the 1980 theory, shared by the
// Moon, Sun and nutation series. Each takes a day count since J2000.0 and
// returns degrees in [0, 360).

double MoonMeanAnomaly(double days);         // l
double SunMeanAnomaly(double days);          // l'
double MoonArgumentOfLatitude(double days);  // F
double MoonMeanElongation(double days);      // D
double MoonNodeLongitude(double days);       // Omega
