#pragma once

// One term of the 1980 IAU nutation series: multipliers of (l, l', F, D,
// Omega) and the amplitudes in units of 0.0001 arcsecond, constant and per
// Julian century.
struct NutationTerm {
    double multipliers[5];
    double longitude, longitudePerCentury;  // delta psi, sine
    double obliquity, obliquityPerCentury;  // delta epsilon, cosine
};

inline constexpr int kNutationLongGroupSize = 30;
inline constexpr int kNutationTermCount = 106;

extern const NutationTerm kNutation1980[kNutationTermCount];
