#include "ephemeris/moon_phases.h"

#include <algorithm>

#include "ephemeris/new_moon.h"
#include "ephemeris/time_base.h"

double NextMoonPhase(double days, double elongation) {
    // The phase last reached before a day less than a lunation ahead is
    // either the next one or (when the instant lies less than a day after
    // the phase) the one just passed; a synodic month never exceeds 29.9
    // days, so the search from 30 days after that one finds the next.
    double phase = NewMoonBefore(CivilTimeFromDays(days + 29.0), elongation);
    if (phase <= days) {
        phase = NewMoonBefore(CivilTimeFromDays(phase + 30.0), elongation);
    }
    return phase;
}

MoonFacts MoonFactsAt(double days) {
    MoonFacts facts;
    facts.lastNewMoon = NewMoonBefore(CivilTimeFromDays(days), 0.0);
    facts.ageDays = std::max(0.0, days - facts.lastNewMoon);
    for (int k = 0; k < 4; ++k) {
        facts.nextPhase[k] = NextMoonPhase(days, kMoonPhaseElongations[k]);
    }
    return facts;
}

MoonFacts MoonFactsKept(double days) {
    static bool kept = false;
    static MoonFacts facts;
    static double keptFrom = 0.0;
    const double earliest = *std::min_element(facts.nextPhase, facts.nextPhase + 4);
    if (!kept || !(days >= keptFrom && days >= facts.lastNewMoon && days < earliest)) {
        facts = MoonFactsAt(days);
        keptFrom = days;
        kept = true;
    }
    facts.ageDays = std::max(0.0, days - facts.lastNewMoon);
    return facts;
}
