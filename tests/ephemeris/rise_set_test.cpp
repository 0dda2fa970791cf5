// The rise and set search: events lie where the altitude crosses the horizon
// depression, the polar sentinels, the clip flag, the neighbouring-day
// searches, and the bound on the iterations.

#include "ephemeris/rise_set.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ephemeris/moon.h"
#include "ephemeris/observer.h"
#include "ephemeris/transforms.h"
#include "tests/ephemeris/sky_test_support.h"

namespace {

using skytest::Altitude;
using skytest::DayRecord;

// The place of the searches.
Observer here;

struct Place {
    double latitude, longitude, zone;
};

const Place kPlaces[] = {
    {55.13, 60.13, 5},  {51.5, -0.1, 0},    {40.7, -74.0, -5}, {0.0, 30.0, 3},
    {-33.9, 151.2, 10}, {-55.0, -68.0, -3}, {64.1, -21.9, 0},  {-45.0, 170.0, 12},
};

TEST(RiseSetTimes, EventsLieWhereTheAltitudeCrossesTheDepression) {
    int events = 0;
    for (const Place& place : kPlaces) {
        here.latitude = place.latitude;
        here.longitude = place.longitude;
        for (int k = 0; k < 40; ++k) {
            const CivilTime day =
                DayRecord(2020 + k % 16, 1 + (k * 5) % 12, 1 + (k * 7) % 28, place.zone);
            const double d = DaysSinceJ2000(day);
            for (char body : {kBodyMoon, kBodySun}) {
                double rise, set;
                RiseSetTimes(here, rise, set, day, body, 0);
                const double depression = HorizonDepression(body, d);
                for (int which = 0; which < 2; ++which) {
                    const double t = which == 0 ? rise : set;
                    if (std::fabs(t) > 1e100) {
                        continue;
                    }
                    ++events;
                    ASSERT_GE(t, d);
                    ASSERT_LE(t, d + 1.0);
                    ASSERT_NEAR(Altitude(here, body, t), -depression, 0.003)
                        << body << " " << place.latitude << " k " << k;
                    // Rising goes up, setting goes down.
                    const double slope =
                        Altitude(here, body, t + 0.002) - Altitude(here, body, t - 0.002);
                    if (which == 0) {
                        ASSERT_GT(slope, 0.0) << body << " " << place.latitude << " k " << k;
                    } else {
                        ASSERT_LT(slope, 0.0) << body << " " << place.latitude << " k " << k;
                    }
                }
            }
        }
    }
    EXPECT_GT(events, 1000);
}

TEST(RiseSetTimes, HorizonDepressionOfMoonAndSun) {
    for (double d = 7000; d < 12000; d += 97.3) {
        // Sun: 34.5' of refraction plus a semidiameter of about 16'.
        EXPECT_NEAR(HorizonDepression(kBodySun, d), 0.84, 0.006);
        // Moon: refraction plus semidiameter (0.2725 of the parallax) minus
        // the parallax; the parallax outweighs the rest.
        const double parallax = MoonParallax(d);
        EXPECT_NEAR(HorizonDepression(kBodyMoon, d), 0.575 - (1.0 - 0.272493) * parallax, 1e-4);
        EXPECT_LT(HorizonDepression(kBodyMoon, d), -0.07);
    }
}

struct PolarCase {
    double latitude;
    int month, day;
    double expected;  // both rise and set
};

TEST(RiseSetTimes, PolarSummerAndWinterSentinels) {
    const PolarCase cases[] = {
        {70.0, 6, 25, kNeverSets},   {70.0, 12, 22, kNeverRises}, {-75.0, 12, 22, kNeverSets},
        {-75.0, 6, 25, kNeverRises}, {89.0, 6, 20, kNeverSets},
    };
    here.longitude = 20.0;
    for (const PolarCase& c : cases) {
        here.latitude = c.latitude;
        const CivilTime day = DayRecord(2024, c.month, c.day, 1);
        const double d = HorizonDepression(kBodySun, DaysSinceJ2000(day));
        double rise, set;
        HorizonSearch(here, rise, set, day, kBodySun, d);
        EXPECT_EQ(rise, c.expected) << c.latitude << " " << c.month;
        EXPECT_EQ(set, c.expected) << c.latitude << " " << c.month;
        RiseSetTimes(here, rise, set, day, kBodySun, 1);
        EXPECT_EQ(rise, c.expected);
        EXPECT_EQ(set, c.expected);
        RiseSetTimes(here, rise, set, day, kBodySun, 0);
        EXPECT_EQ(rise, kRiseOutsideDay);
        EXPECT_EQ(set, kSetOutsideDay);
    }
}

TEST(RiseSetTimes, ClipFlagOnlyReplacesEventsOutsideTheDay) {
    here.latitude = 48.0;
    here.longitude = 11.0;
    int clipped = 0;
    for (int k = 0; k < 60; ++k) {
        const CivilTime day = DayRecord(2025, 3, 1 + k, 1);  // normalises past March
        const double d = DaysSinceJ2000(day);
        double rise1, set1, rise0, set0;
        RiseSetTimes(here, rise1, set1, day, kBodyMoon, 1);
        RiseSetTimes(here, rise0, set0, day, kBodyMoon, 0);
        if (rise1 >= d && rise1 <= d + 1) {
            EXPECT_EQ(rise0, rise1);
        } else {
            EXPECT_EQ(rise0, kRiseOutsideDay);
            ++clipped;
        }
        if (set1 >= d && set1 <= d + 1) {
            EXPECT_EQ(set0, set1);
        } else {
            EXPECT_EQ(set0, kSetOutsideDay);
            ++clipped;
        }
    }
    // In two months the Moon misses a rise and a set about twice each.
    EXPECT_GE(clipped, 2);
}

TEST(RiseSetTimes, TheDayWithoutMoonriseKeepsTheNeighbourOutside) {
    here.latitude = 52.0;
    here.longitude = 13.4;
    int daysWithoutRise = 0;
    for (int k = 0; k < 60; ++k) {
        const CivilTime day = DayRecord(2024, 1, 1 + k, 1);
        const double d = DaysSinceJ2000(day);
        double rise, set;
        RiseSetTimes(here, rise, set, day, kBodyMoon, 0);
        if (rise != kRiseOutsideDay) {
            continue;
        }
        ++daysWithoutRise;
        // The altitude really does not cross upward during this day.
        const double depression = HorizonDepression(kBodyMoon, d);
        for (double t = d; t < d + 1.0; t += 1.0 / 288.0) {
            const bool below = Altitude(here, kBodyMoon, t) < -depression;
            const bool aboveLater = Altitude(here, kBodyMoon, t + 1.0 / 288.0) > -depression;
            ASSERT_FALSE(below && aboveLater) << "a moonrise at " << t;
        }
        // The search of the day itself fell outside it; the neighbour's search
        // did not land inside either.
        double r0, s0;
        HorizonSearch(here, r0, s0, day, kBodyMoon, depression);
        EXPECT_TRUE(r0 < d || r0 >= d + 1.0);
    }
    EXPECT_GE(daysWithoutRise, 2);
}

TEST(RiseSetTimes, UnnormalisedEasternAndWesternDayRecords) {
    // Local midnight expressed as minus the zone offset in the hour field
    // finds the same events as the normalised record.
    for (double zone : {9.0, 5.5, -7.0, -10.0, 13.0}) {
        here.latitude = 35.0;
        here.longitude = zone * 15.0;
        CivilTime day = DayRecord(2030, 7, 1, zone);
        CivilTime normal = day;
        NormalizeCivilTime(normal, 0);
        for (char body : {kBodyMoon, kBodySun}) {
            double r1, s1, r2, s2;
            RiseSetTimes(here, r1, s1, day, body, 0);
            RiseSetTimes(here, r2, s2, normal, body, 0);
            EXPECT_NEAR(r1, r2, 1e-9) << zone;
            EXPECT_NEAR(s1, s2, 1e-9) << zone;
        }
    }
}

TEST(HorizonSearch, TheBoundNeverCutsASettlingSearchBelowEightyDegrees) {
    int worst = 0;
    for (double latitude = -80.0; latitude <= 80.0; latitude += 4.0) {
        here.latitude = latitude;
        here.longitude = std::fmod(latitude * 37.3, 180.0);
        for (int k = 0; k < 30; ++k) {
            const CivilTime day = CivilTimeFromDays(7300.5 + k * 12.37);
            for (char body : {kBodyMoon, kBodySun}) {
                HorizonSearchTrace trace;
                double rise, set;
                HorizonSearch(here, rise, set, day, body,
                              HorizonDepression(body, DaysSinceJ2000(day)), &trace);
                worst = std::max({worst, trace.riseIterations, trace.setIterations});
            }
        }
    }
    EXPECT_LT(worst, kHorizonSearchMaxIterations / 8);
}

TEST(HorizonSearch, ASearchThatDoesNotSettleStopsAtTheBoundWithItsLastEstimate) {
    // Near the pole the Moon's rise creeps in over about a thousand
    // corrections; with a smaller bound the search stops there.
    here.latitude = -89.0;
    here.longitude = std::fmod(-89.0 * 37.3, 180.0);
    CivilTime day = CivilTimeFromDays(8903.5);
    day.hour = 5;
    const double depression = HorizonDepression(kBodyMoon, DaysSinceJ2000(day));
    HorizonSearchTrace full;
    double rise, set;
    HorizonSearch(here, rise, set, day, kBodyMoon, depression, &full);
    ASSERT_GT(full.riseIterations, 200);
    ASSERT_LT(full.riseIterations, kHorizonSearchMaxIterations);
    const double d0 = DaysSinceJ2000(day);
    EXPECT_GE(rise, d0 - 1.0);
    EXPECT_LE(rise, d0 + 2.0);

    for (int bound : {20, 200}) {
        HorizonSearchTrace cut;
        double cutRise, cutSet;
        HorizonSearchBounded(here, cutRise, cutSet, day, kBodyMoon, depression, bound, &cut);
        EXPECT_EQ(cut.riseIterations, bound);
        EXPECT_TRUE(std::isfinite(cutRise));
        EXPECT_LT(std::fabs(cutRise), 1e100);  // a time, not a sentinel
        EXPECT_NE(cutRise, 0.0);
        EXPECT_NE(cutRise, rise);
        EXPECT_EQ(cutSet, set);  // the set loop settled well before
    }
}

}  // namespace
