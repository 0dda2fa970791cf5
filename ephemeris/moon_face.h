#pragma once

// How the Moon presents itself to a geocentric observer: the turn of its
// face on the sky, the optical libration, the lit fraction and the distance.
// Computed from the same series as the Moon's place (nutation of date, the
// lunar equator inclined 1.54242 degrees to the ecliptic, its ascending node
// on the Moon's mean node; no physical libration).

struct MoonFace {
    // Position angle of the zenith at the Moon, from the north point of the
    // sky toward the east, degrees in (-180, 180]; positive west of the
    // meridian.
    double parallacticAngle = 0.0;
    // Position angle of the Moon's north pole of rotation, from the north
    // point toward the east, degrees (within about +-25).
    double axisPositionAngle = 0.0;
    // Selenographic longitude (east positive, toward Mare Crisium) and
    // latitude of the point of the Moon that faces the Earth, degrees.
    double librationLongitude = 0.0;
    double librationLatitude = 0.0;
    // The lit part of the disc, 0 (new) ... 1 (full).
    double illuminatedFraction = 0.0;
    // Centre to centre, kilometres.
    double distanceKm = 0.0;
};

// The aspect at a day count since J2000.0 for an observer at the local
// sidereal time (degrees) and the latitude (degrees).
MoonFace MoonFaceAt(double days, double localSiderealDegrees, double latitude);

// The angle (degrees, counterclockwise on the screen, (-180, 180]) by which
// a face drawn with lunar north up must turn so that its north points where
// it points in the observer's sky, when the picture's up is the zenith.
double MoonFaceTurn(double axisPositionAngle, double parallacticAngle);

// The share of the Earth's disc that is lit, seen from the Moon, for the
// Moon's lit fraction (the two phases are complementary: full Earth at new
// moon).
double EarthLitFraction(double moonIlluminatedFraction);
