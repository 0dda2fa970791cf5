// The Moon's turn on the sky, its libration, lit fraction and next phases
// against independent computations from ERFA: the parallactic angle from
// ERFA's lunar series and sidereal time, the axis and the libration from
// the IAU rotation model of the Moon, the phases from a bisection over the
// apparent elongation. The references run at the system's own time
// argument (universal time taken as dynamical time) except the phases,
// which carry a real delta T of about a minute.

#include "ephemeris/moon_face.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "ephemeris/moon_phases.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sky_report.h"
#include "ephemeris/time_base.h"
#include "platform/time_zone.h"
#include "tests/ephemeris/sky_test_support.h"
#include "tests/support/erfa_reference.h"

namespace {

using skytest::TimeValue;

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kJ2000Jd = 2451545.0;

double AngleGap(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) {
        d -= 360.0;
    }
    if (d < -180.0) {
        d += 360.0;
    }
    return std::fabs(d);
}

struct Place {
    const char* name;
    double latitude, longitude;
};

// North, south, on the equator and far south, east and west of Greenwich.
const Place kPlaces[] = {
    {"Moscow", 55.75, 37.62},     {"Sydney", -33.87, 151.21}, {"Quito", -0.18, -78.47},
    {"Singapore", 1.35, 103.82},  {"Ushuaia", -54.8, -68.3},  {"Reykjavik", 64.15, -21.94},
    {"Cape Town", -33.92, 18.42},
};

// Start days spread over the libration cycles and the lunar node.
const std::int64_t kStarts[] = {
    TimeValue(2021, 3, 2, 0, 0, 0),   TimeValue(2024, 7, 19, 0, 0, 0),
    TimeValue(2026, 12, 11, 0, 0, 0), TimeValue(2030, 5, 27, 0, 0, 0),
    TimeValue(2034, 10, 3, 0, 0, 0),
};

SkyReport ReportAt(const Place& place, std::int64_t at) {
    Observer here;
    here.latitude = place.latitude;
    here.longitude = place.longitude;
    SkyReport report;
    UpdateSkyReport(report, here, CivilTimeFromTimeValue(at), MachineZoneOffsetAt);
    return report;
}

// The angles at moonrise, moonset and between them, every place, every start.
TEST(MoonFace, AnglesAndLibrationAgreeWithErfaAtRiseSetAndAloft) {
    skytest::ZoneScope zone("UTC");
    int checked = 0, rising = 0, setting = 0;
    for (const Place& place : kPlaces) {
        for (const std::int64_t start : kStarts) {
            const double from = start / 86400.0 + kUnixEpochJd;
            const auto crossings =
                reference::HorizonCrossings('l', from, from + 1.5, place.latitude, place.longitude);
            std::vector<double> instants;
            for (size_t k = 0; k < crossings.size(); ++k) {
                instants.push_back(crossings[k].jd);
                (crossings[k].rising ? rising : setting)++;
                if (k + 1 < crossings.size()) {
                    instants.push_back(0.5 * (crossings[k].jd + crossings[k + 1].jd));
                }
            }
            for (const double jd : instants) {
                const std::int64_t at = std::llround((jd - kUnixEpochJd) * 86400.0);
                const double jdAt = at / 86400.0 + kUnixEpochJd;
                const SkyReport report = ReportAt(place, at);
                SCOPED_TRACE(::testing::Message()
                             << place.name << " at " << at << " altitude " << report.moonAltitude);
                const reference::MoonOrientation orientation = reference::MoonOrientationAt(jdAt);
                EXPECT_LT(AngleGap(report.axisPositionAngle, orientation.axisPositionAngle), 0.2);
                EXPECT_LT(AngleGap(report.librationLongitude, orientation.librationLongitude), 0.3);
                EXPECT_LT(AngleGap(report.librationLatitude, orientation.librationLatitude), 0.3);
                EXPECT_NEAR(report.illuminatedFraction, reference::MoonIlluminatedFraction(jdAt),
                            0.003);
                // Near the zenith the parallactic angle turns fast with any
                // error of place; there it is not compared.
                if (report.moonAltitude < 80.0) {
                    const double q =
                        reference::MoonParallacticAngle(jdAt, place.latitude, place.longitude);
                    EXPECT_LT(AngleGap(report.parallacticAngle, q), 0.2) << "q " << q;
                }
                // The parallax series carries some 0.025 % of the distance.
                EXPECT_NEAR(report.distanceKm, reference::MoonDistanceKm(jdAt), 120.0);
                ++checked;
            }
        }
    }
    EXPECT_GT(rising, 10);
    EXPECT_GT(setting, 10);
    EXPECT_GT(checked, 50);
}

TEST(MoonFace, LibrationSpansItsCycleAndTheTurnCombinesBothAngles) {
    // Over a few months the libration reaches most of its range.
    double maxLongitude = 0.0, maxLatitude = 0.0;
    for (int day = 0; day < 200; day += 2) {
        const double days = 9500.0 + day;
        const MoonFace aspect = MoonFaceAt(days, 0.0, 45.0);
        maxLongitude = std::max(maxLongitude, std::fabs(aspect.librationLongitude));
        maxLatitude = std::max(maxLatitude, std::fabs(aspect.librationLatitude));
        EXPECT_LE(std::fabs(aspect.librationLongitude), 8.5);
        EXPECT_LE(std::fabs(aspect.librationLatitude), 7.0);
        EXPECT_LE(std::fabs(aspect.axisPositionAngle), 25.0);
    }
    EXPECT_GT(maxLongitude, 6.0);
    EXPECT_GT(maxLatitude, 6.0);

    struct Case {
        double axis, parallactic, turn;
    } const cases[] = {{20.0, 0.0, 20.0},
                       {0.0, 30.0, -30.0},
                       {-10.0, 175.0, 175.0},
                       {10.0, -175.0, -175.0},
                       {24.0, -180.0, -156.0}};
    for (const Case& c : cases) {
        EXPECT_NEAR(MoonFaceTurn(c.axis, c.parallactic), c.turn, 1e-9)
            << c.axis << " " << c.parallactic;
    }
    EXPECT_DOUBLE_EQ(EarthLitFraction(1.0), 0.0);
    EXPECT_DOUBLE_EQ(EarthLitFraction(0.0), 1.0);
    EXPECT_DOUBLE_EQ(EarthLitFraction(0.25), 0.75);
}

// The next four phases from starts spread over the years, and from just
// before and just after a phase (where the search must not return the one
// just passed, nor skip the one about to come).
TEST(MoonPhases, NextPhasesAgreeWithErfaWithinFiveMinutes) {
    for (const std::int64_t start : kStarts) {
        const double jdStart = start / 86400.0 + kUnixEpochJd;
        for (int k = 0; k < 4; ++k) {
            const double e = kMoonPhaseElongations[k];
            const double previous = reference::MoonPhaseBefore(jdStart, e);
            const double next = reference::MoonPhaseBefore(previous + 31.0, e);
            for (const double from : {jdStart, previous + 0.01, next - 0.01}) {
                const double ours = NextMoonPhase(from - kJ2000Jd, e) + kJ2000Jd;
                EXPECT_NEAR(ours, next, 5.0 / 1440.0)
                    << "elongation " << e << " from " << from << " previous " << previous;
            }
        }
        const MoonFacts facts = MoonFactsAt(jdStart - kJ2000Jd);
        EXPECT_NEAR(facts.lastNewMoon + kJ2000Jd, reference::NewMoonBefore(jdStart), 5.0 / 1440.0);
        EXPECT_NEAR(facts.ageDays, jdStart - kJ2000Jd - facts.lastNewMoon, 1e-9);
    }
}

// Kept searches started from another instant settle within the search's
// tolerance (1e-5 degrees, about two seconds of the Moon's motion) of fresh
// ones, and are renewed as soon as a phase has passed.
TEST(MoonPhases, KeptFactsFollowFreshOnesThroughALunation) {
    const double start = TimeValue(2026, 12, 11, 0, 0, 0) / 86400.0 + kUnixEpochJd - kJ2000Jd;
    for (double t = start; t < start + 35.0; t += 0.37) {
        const MoonFacts kept = MoonFactsKept(t);
        const MoonFacts fresh = MoonFactsAt(t);
        constexpr double kSearch = 3.0 / 86400.0;
        ASSERT_NEAR(kept.lastNewMoon, fresh.lastNewMoon, kSearch) << t;
        ASSERT_NEAR(kept.ageDays, fresh.ageDays, kSearch) << t;
        for (int k = 0; k < 4; ++k) {
            ASSERT_NEAR(kept.nextPhase[k], fresh.nextPhase[k], kSearch) << t << " " << k;
            ASSERT_GT(kept.nextPhase[k], t);
        }
    }
}

}  // namespace
