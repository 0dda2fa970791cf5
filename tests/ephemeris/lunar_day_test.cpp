// New moon and lunar day: the clock text, the new-moon search, the text
// forms on ordinary and new-moon days, the count that grows by one at each
// moonrise and restarts at the new moon, polar months, and the failure.

#include "ephemeris/lunar_day.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

#include "ephemeris/moon.h"
#include "ephemeris/new_moon.h"
#include "ephemeris/observer.h"
#include "ephemeris/rise_set.h"
#include "ephemeris/sun.h"
#include "ephemeris/transforms.h"
#include "tests/ephemeris/sky_test_support.h"

namespace {

struct ClockCase {
    double hours;
    const char* text;
};

TEST(LunarClockText, TruncatesMinutes) {
    const ClockCase cases[] = {
        {10.9999, "10:59"}, {0.0, "00:00"},   {5.5, "05:30"},         {23.999999, "23:59"},
        {10.6667, "10:40"}, {24.25, "24:15"}, {1e101, "--:--"},       {-1e101, "--:--"},
        {NAN, "--:--"},     {7.0, "07:00"},   {9.983333333, "09:58"},
    };
    for (const ClockCase& c : cases) {
        char buffer[kLunarClockTextSize];
        EXPECT_STREQ(LunarClockText(buffer, c.hours), c.text) << c.hours;
    }
}

double Elongation(double days) {
    return std::remainder(MoonLongitude(days) - SunLongitude(days), 360.0);
}

TEST(NewMoonBefore, FindsTheLastConjunctionAtOrBeforeTheInstant) {
    for (double d = 7000.3; d < 13000.0; d += 41.7) {
        const CivilTime t = CivilTimeFromDays(d);
        const double newMoon = NewMoonBefore(t, 0.0);
        ASSERT_LE(newMoon, d + 1e-4) << d;
        ASSERT_GT(newMoon, d - 29.9) << d;
        ASSERT_LT(std::fabs(Elongation(newMoon)), 1e-4) << d;
        // No other conjunction in between: the elongation only grows.
        for (double s = newMoon + 1.0; s < d; s += 1.0) {
            const double e = std::fmod(MoonLongitude(s) - SunLongitude(s) + 720.0, 360.0);
            ASSERT_GT(e, 0.0);
        }
        // Other phases: the first quarter before the instant.
        const double quarter = NewMoonBefore(t, 90.0);
        ASSERT_LE(quarter, d + 1e-4);
        ASSERT_GT(quarter, d - 29.9);
        ASSERT_NEAR(std::remainder(Elongation(quarter) - 90.0, 360.0), 0.0, 1e-4) << d;
    }
}

using skytest::FixedZone;

struct Place {
    double latitude, longitude, zone;
    ZoneOffsetAt zoneAt;
};

// The place of the counts.
Observer here;
ZoneOffsetAt zone = FixedZone<4>;

// The lunar day and its text at an instant (day count) for the place.
int LunarDayAt(double days, char* text) {
    return LunarDay(here, CivilTimeFromDays(days), zone, text);
}

TEST(LunarDay, GrowsByOneAtEachMoonriseAndRestartsAtTheNewMoon) {
    const Place places[] = {{55.13, 60.13, 5.0, FixedZone<20>},
                            {-33.9, 18.4, 2.0, FixedZone<8>},
                            {40.7, -74.0, -5.0, FixedZone<-20>}};
    for (const Place& place : places) {
        here.latitude = place.latitude;
        here.longitude = place.longitude;
        zone = place.zoneAt;
        char text[kLunarDayTextSize];
        const double start = 8800.0 + place.zone / 24.0;
        int previous = LunarDayAt(start, text);
        int restarts = 0;
        int risesSeen = 0;
        for (double t = start + 0.25; t < start + 40.0; t += 0.25) {
            const int now = LunarDayAt(t, text);
            ASSERT_GE(now, 1) << t;
            if (now == previous) {
                continue;
            }
            // A new moon between the two instants restarts the count ...
            const double newMoon = NewMoonBefore(CivilTimeFromDays(t), 0.0);
            if (newMoon > t - 0.25) {
                ASSERT_LE(now, 2) << t;
                ++restarts;
            } else {
                // ... otherwise the count grows by one, at a moonrise.
                ASSERT_EQ(now, previous + 1) << t;
                ++risesSeen;
                const double dayOf =
                    std::floor(t - 0.25 + place.zone / 24.0 + 0.5) - 0.5 - place.zone / 24.0;
                bool riseInStep = false;
                for (double day = dayOf - 1.0; day <= dayOf + 1.0; day += 1.0) {
                    CivilTime record = CivilTimeFromDays(day);
                    double rise, set;
                    RiseSetTimes(here, rise, set, record, kBodyMoon, 0);
                    if (rise > t - 0.25 - 1e-9 && rise <= t + 1e-9) {
                        riseInStep = true;
                    }
                }
                ASSERT_TRUE(riseInStep) << "count grew at " << t << " without a moonrise";
            }
            previous = now;
        }
        EXPECT_GE(restarts, 1) << place.latitude;
        EXPECT_GE(risesSeen, 25) << place.latitude;
    }
}

// Checks that a text of the form "a/b(hh:mm)..." agrees with the result at
// the instant: before each clock time the earlier day is in progress.
TEST(LunarDay, TextFormsAndTheirResults) {
    here.latitude = 50.0;
    here.longitude = 8.0;
    zone = FixedZone<4>;
    const std::regex single("^([0-9]+)$");
    const std::regex change("^([0-9]+)/([0-9]+)\\(([0-9]{2}):([0-9]{2})\\)$");
    const std::regex newMoonAfterRise(
        "^([0-9]+)/([0-9]+)\\(([0-9]{2}):([0-9]{2})\\)/1\\(([0-9]{2}):([0-9]{2})\\)$");
    const std::regex newMoonBeforeRise(
        "^([0-9]+)/1\\(([0-9]{2}):([0-9]{2})\\)/2\\(([0-9]{2}):([0-9]{2})\\)$");
    int seen[4] = {0, 0, 0, 0};
    for (int k = 0; k < 400; ++k) {
        // Local noon of consecutive days, then two more instants of the day.
        const double dayStart = 9000.5 + k - 1.0 / 24.0;
        for (double hour : {0.5, 12.0, 23.5}) {
            char text[kLunarDayTextSize];
            const int result = LunarDayAt(dayStart + hour / 24.0, text);
            const std::string s = text;
            std::smatch m;
            auto minutes = [&](int group) {
                return std::stoi(m[group]) * 60 + std::stoi(m[group + 1]);
            };
            const double nowMinutes = hour * 60.0;
            if (std::regex_match(s, m, single)) {
                ++seen[0];
                EXPECT_EQ(result, std::stoi(m[1])) << s;
            } else if (std::regex_match(s, m, change)) {
                ++seen[1];
                EXPECT_EQ(std::stoi(m[2]), std::stoi(m[1]) + 1) << s;
                const int rise = minutes(3);
                if (std::fabs(nowMinutes - rise) > 1.0) {
                    EXPECT_EQ(result, nowMinutes > rise ? std::stoi(m[2]) : std::stoi(m[1])) << s;
                }
            } else if (std::regex_match(s, m, newMoonAfterRise)) {
                ++seen[2];
                const int rise = minutes(3), conjunction = minutes(5);
                EXPECT_LE(rise, conjunction + 1) << s;
                if (std::fabs(nowMinutes - rise) > 1.0 &&
                    std::fabs(nowMinutes - conjunction) > 1.0) {
                    const int expected = nowMinutes > conjunction ? 1
                                         : nowMinutes > rise      ? std::stoi(m[2])
                                                                  : std::stoi(m[1]);
                    EXPECT_EQ(result, expected) << s << " at " << hour;
                }
            } else if (std::regex_match(s, m, newMoonBeforeRise)) {
                ++seen[3];
                const int conjunction = minutes(2), rise = minutes(4);
                EXPECT_LE(conjunction, rise + 1) << s;
                if (std::fabs(nowMinutes - rise) > 1.0 &&
                    std::fabs(nowMinutes - conjunction) > 1.0) {
                    const int expected = nowMinutes > rise          ? 2
                                         : nowMinutes > conjunction ? 1
                                                                    : std::stoi(m[1]);
                    EXPECT_EQ(result, expected) << s << " at " << hour;
                }
            } else {
                ADD_FAILURE() << "unexpected text '" << s << "' result " << result;
            }
        }
    }
    // Over 400 days every form occurs (the two new-moon forms a few times).
    EXPECT_GT(seen[0], 10);
    EXPECT_GT(seen[1], 500);
    EXPECT_GE(seen[2] + seen[3], 6);
    EXPECT_GE(seen[2], 1);
    EXPECT_GE(seen[3], 1);
}

TEST(LunarDay, CountsThroughTheMonthsWhenTheMoonStaysUpOrDown) {
    // At 80 degrees the Moon stays up or down for days at a time; the count
    // carries on over those days and grows by at most one a day.
    here.latitude = 80.0;
    here.longitude = 15.0;
    zone = FixedZone<4>;
    int previous = 0;
    double previousNewMoon = 0.0;
    for (int k = 0; k < 120; ++k) {
        char text[kLunarDayTextSize];
        const double t = 9000.0 + k;
        const int result = LunarDayAt(t, text);
        ASSERT_GE(result, 1) << t;
        EXPECT_GT(std::strlen(text), 0u);
        EXPECT_LT(std::strlen(text), static_cast<std::size_t>(kLunarDayTextSize));
        const double newMoon = NewMoonBefore(CivilTimeFromDays(t), 0.0);
        if (newMoon == previousNewMoon) {
            EXPECT_GE(result, previous) << t;
            EXPECT_LE(result, previous + 2) << t;
        }
        previous = result;
        previousNewMoon = newMoon;
    }
}

TEST(LunarDay, FailsWithAnEmptyTextOnlyWithoutANewMoon) {
    here.latitude = 50.0;
    here.longitude = 8.0;
    zone = FixedZone<4>;
    char text[kLunarDayTextSize];
    std::strcpy(text, "stale");
    CivilTime broken = CivilTimeFromDays(9000.25);
    broken.day = NAN;
    EXPECT_EQ(LunarDay(here, broken, zone, text), -1);
    EXPECT_STREQ(text, "");
}

}  // namespace
