#include "ephemeris/time_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "ephemeris/angles.h"
#include "platform/time_zone.h"
#include "tests/support/time_zone_fixture.h"

namespace {

CivilTime Make(double year, double month, double day, double hour = 0, double minute = 0,
               double second = 0) {
    CivilTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

struct DayCountCase {
    CivilTime time;
    double days;
};

TEST(DaysSinceJ2000, KnownInstants) {
    const DayCountCase cases[] = {
        {Make(2000, 1, 1, 12), 0.0},
        {Make(2000, 1, 1, 0), -0.5},
        {Make(2006, 3, 29, 0), 2278.5},
        {Make(1900, 1, 0.5), -36525.0},  // J1900.0 = JD 2415020.0
        {Make(2000, 1, 1, 18, 30, 36), 0.27125},
        {Make(1999, 12, 31, 0), -1.5},
        {Make(2100, 3, 1, 0), 36583.5},
        {Make(1987, 4, 10, 19, 21), -4648.69375},
    };
    for (const DayCountCase& c : cases) {
        EXPECT_NEAR(DaysSinceJ2000(c.time), c.days, 1e-9)
            << c.time.year << "-" << c.time.month << "-" << c.time.day << " " << c.time.hour;
    }
}

TEST(DaysSinceJ2000, JulianGregorianSwitch) {
    // 1582-10-15 is still counted with the Julian formula (J = 2299171 is not
    // above the threshold), so it lands ten days after 1582-10-04 plus one.
    const double oct4 = DaysSinceJ2000(Make(1582, 10, 4, 12));
    const double oct15 = DaysSinceJ2000(Make(1582, 10, 15, 12));
    const double oct16 = DaysSinceJ2000(Make(1582, 10, 16, 12));
    EXPECT_DOUBLE_EQ(oct15 - oct4, 11.0);
    EXPECT_DOUBLE_EQ(oct15 + 2451545.0, 2299171.0 + 0.0);
    // 1582-10-16 is the first Gregorian day: JD 2299162 at noon.
    EXPECT_DOUBLE_EQ(oct16 + 2451545.0, 2299162.0);
    // Consecutive days far from the switch differ by exactly one.
    for (double day = 1; day < 28; ++day) {
        EXPECT_DOUBLE_EQ(
            DaysSinceJ2000(Make(2024, 2, day + 1)) - DaysSinceJ2000(Make(2024, 2, day)), 1.0);
    }
}

struct NormalizeCase {
    const char* name;
    CivilTime given;
    CivilTime expected;
};

TEST(NormalizeCivilTime, Cases) {
    const NormalizeCase cases[] = {
        {"negative hour", Make(2006, 3, 31, -4), Make(2006, 3, 30, 20)},
        {"day 32 of January", Make(2006, 1, 32), Make(2006, 2, 1)},
        {"day 0 of March in the window", Make(2006, 3, 0), Make(2006, 2, 28)},
        {"day 0 of March outside the window", Make(2040, 3, 0), Make(2040, 3, 0)},
        {"2100 is leap for the own arithmetic", Make(2100, 2, 30), Make(2100, 3, 1)},
        {"fractions flow down", Make(2050, 6, 10.75), Make(2050, 6, 10, 18)},
        {"fraction of an hour", Make(2050, 6, 10, 5.5), Make(2050, 6, 10, 5, 30)},
        {"minute borrow", Make(2050, 6, 10, 5, -30), Make(2050, 6, 10, 4, 30)},
        {"second carry", Make(2050, 6, 10, 23, 59, 61), Make(2050, 6, 11, 0, 0, 1)},
        {"year end", Make(2040, 12, 31, 25), Make(2041, 1, 1, 1)},
        {"day 0 is left alone outside the window", Make(2040, 1, 1, -1), Make(2040, 1, 0, 23)},
        {"many days forward, 1900 counted as leap", Make(1900, 1, 1500), Make(1904, 2, 8)},
        {"many days back", Make(1950, 3, -400), Make(1949, 1, 24)},
        {"window: eastern local midnight", Make(2024, 3, 1, -5.5), Make(2024, 2, 29, 18, 30)},
        {"window: leap day", Make(2024, 2, 30), Make(2024, 3, 1)},
        {"window: non-leap century rule not needed", Make(2023, 2, 29), Make(2023, 3, 1)},
    };
    for (const NormalizeCase& c : cases) {
        CivilTime t = c.given;
        NormalizeCivilTime(t, 0);
        EXPECT_EQ(t.year, c.expected.year) << c.name;
        EXPECT_EQ(t.month, c.expected.month) << c.name;
        EXPECT_EQ(t.day, c.expected.day) << c.name;
        EXPECT_EQ(t.hour, c.expected.hour) << c.name;
        EXPECT_EQ(t.minute, c.expected.minute) << c.name;
        EXPECT_NEAR(t.second, c.expected.second, 1e-9) << c.name;
    }
}

TEST(NormalizeCivilTime, KeepsTheInstant) {
    // Away from the calendar quirks, normalising never moves the instant.
    for (int k = 0; k < 500; ++k) {
        CivilTime t = Make(1975 + k % 60, 1 + k % 12, -40 + k % 90, -30 + k % 61, -70 + k % 141,
                           -100 + 0.37 * k);
        const double before = DaysSinceJ2000(t);
        NormalizeCivilTime(t, 1);
        EXPECT_NEAR(DaysSinceJ2000(t), before, 1e-8) << k;
        EXPECT_GE(t.month, 1);
        EXPECT_LE(t.month, 12);
        EXPECT_GE(t.hour, 0);
        EXPECT_LT(t.hour, 24);
        EXPECT_GE(t.minute, 0);
        EXPECT_LT(t.minute, 60);
        EXPECT_GE(t.second, 0);
        EXPECT_LT(t.second, 60);
    }
}

TEST(NormalizeCivilTime, BadMonthAndAbsurdValues) {
    CivilTime t = Make(2010, 13, 5.5);
    EXPECT_EQ(NormalizeCivilTime(t, 0), -1);
    EXPECT_EQ(t.day, 5);  // the fraction step has run
    EXPECT_EQ(t.hour, 12);
    EXPECT_EQ(t.month, 13);

    CivilTime zero = Make(2010, 0, 1);
    EXPECT_EQ(NormalizeCivilTime(zero, 0), -1);

    // Huge, infinite and missing values give a defined result, never a crash.
    for (double wild : {1e300, -1e300, double(INFINITY), -double(INFINITY), double(NAN), 1e15}) {
        CivilTime w = Make(2010, 5, wild);
        NormalizeCivilTime(w, 0);
        CivilTime h = Make(2010, 5, 1, wild);
        NormalizeCivilTime(h, 0);
        CivilTime m = Make(2010, wild, 1);
        NormalizeCivilTime(m, 0);
    }
}

TEST(NormalizeCivilTime, IndependentOfTheMachineZone) {
    const char* zones[] = {"UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata",
                           "Australia/Lord_Howe"};
    const char* saved = std::getenv("TZ");
    std::string keep = saved ? saved : "";
    CivilTime reference = Make(2024, 3, 31, 2.5);  // inside a daylight gap in Berlin
    NormalizeCivilTime(reference, 0);
    for (const char* zone : zones) {
        setenv("TZ", zone, 1);
        tzset();
        CivilTime t = Make(2024, 3, 31, 2.5);
        NormalizeCivilTime(t, 0);
        EXPECT_EQ(DaysSinceJ2000(t), DaysSinceJ2000(reference)) << zone;
        EXPECT_EQ(t.hour, 2) << zone;
        EXPECT_EQ(t.minute, 30) << zone;
    }
    if (saved) {
        setenv("TZ", keep.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(CivilTimeFromDays, RoundTrips) {
    const CivilTime epoch = CivilTimeFromDays(0.0);
    EXPECT_EQ(epoch.year, 2000);
    EXPECT_EQ(epoch.month, 1);
    EXPECT_EQ(epoch.day, 1);
    EXPECT_EQ(epoch.hour, 12);
    EXPECT_EQ(epoch.minute, 0);
    EXPECT_NEAR(epoch.second, 0.0, 1e-6);
    // Between 1900-03-01 and 2100-02-28, where the own calendar arithmetic
    // (every fourth year leap) agrees with the Gregorian count.
    for (double d = -36463.0; d < 36583.0; d += 531.3791) {
        EXPECT_NEAR(DaysSinceJ2000(CivilTimeFromDays(d)), d, 1e-8) << d;
    }
}

struct OffsetCase {
    long bias, extra;
    double hours;
};

TEST(ReadClock, OffsetArithmeticUsesSinglePrecisionSixtieth) {
    const OffsetCase cases[] = {
        {-300, 0, 5.000000260770321},    // UTC+5
        {-180, -60, 4.000000208616257},  // UTC+3 with daylight saving
        {-180, 0, 3.0000001564621925},
        {300, 0, -5.000000260770321},  // UTC-5
        {-330, 0, 5.500000286847353},  // India
        {0, 0, 0.0},
    };
    for (const OffsetCase& c : cases) {
        EXPECT_EQ(UtcOffsetHoursFromBias(c.bias, c.extra), c.hours) << c.bias << " " << c.extra;
    }
    EXPECT_FALSE(std::signbit(UtcOffsetHoursFromBias(0, 0)));
}

using ClockTest = TimeZoneTest;

struct ZoneCase {
    const char* zone;
    const char* instant;  // UT
    double hours;
};

TEST_F(ClockTest, ReadsTheReplaceableClockAndTheZone) {
    const ZoneCase cases[] = {
        {"Asia/Kolkata", "2024-03-01T00:00:00", -(-330) * static_cast<double>(0.016666668f)},
        {"UTC", "2024-03-01T00:00:00", 0.0},
        {"Europe/Berlin", "2024-01-15T12:00:00", 60 * static_cast<double>(0.016666668f)},
        {"Europe/Berlin", "2024-07-15T12:00:00", 120 * static_cast<double>(0.016666668f)},
        {"America/New_York", "2024-01-15T12:00:00", -300 * static_cast<double>(0.016666668f)},
        {"America/New_York", "2024-07-15T12:00:00", -240 * static_cast<double>(0.016666668f)},
        {"Australia/Sydney", "2024-01-15T12:00:00", 660 * static_cast<double>(0.016666668f)},
        {"Australia/Sydney", "2024-07-15T12:00:00", 600 * static_cast<double>(0.016666668f)},
    };
    for (const ZoneCase& c : cases) {
        Zone(c.zone);
        std::tm broken{};
        ASSERT_NE(strptime(c.instant, "%Y-%m-%dT%H:%M:%S", &broken), nullptr);
        const std::int64_t at = timegm(&broken);
        PlatformSetFixedTime(at + 0);
        double offset = 99.0;
        const CivilTime now = ReadClock(offset);
        EXPECT_EQ(offset, c.hours) << c.zone << " " << c.instant;
        // The offset at the instant, as the per-event readings take it.
        EXPECT_EQ(MachineZoneOffsetAt(DaysSinceJ2000(now)), c.hours) << c.zone;
        EXPECT_EQ(now.year, broken.tm_year + 1900);
        EXPECT_EQ(now.month, broken.tm_mon + 1);
        EXPECT_EQ(now.day, broken.tm_mday);
        EXPECT_EQ(now.hour, broken.tm_hour);
        EXPECT_EQ(now.minute, 0);
        EXPECT_EQ(now.second, 0);
    }
}

TEST_F(ClockTest, SecondsAreWholeAndFollowTheClock) {
    Zone("UTC");
    PlatformSetFixedTime(946728000 + 59);  // 2000-01-01 12:00:59
    double offset = 99.0;
    CivilTime now = ReadClock(offset);
    EXPECT_EQ(offset, 0.0);
    EXPECT_EQ(now.second, 59);
    EXPECT_NEAR(DaysSinceJ2000(now), 59.0 / 86400.0, 1e-9);
}

TEST(Reduce360, Range) {
    const double values[] = {0.0,    360.0,   -360.0,         720.5,      -0.25,
                             1e-300, -1e-300, 359.9999999999, -1e6 - 0.5, 1e10 + 0.125};
    for (double v : values) {
        const double r = Reduce360(v);
        EXPECT_GE(r, 0.0) << v;
        EXPECT_LT(r, 360.0) << v;
        EXPECT_NEAR(std::remainder(r - v, 360.0), 0.0, 1e-6) << v;
    }
    EXPECT_EQ(Reduce360(-90.0), 270.0);
    EXPECT_EQ(Reduce360(360.0), 0.0);
}

}  // namespace
