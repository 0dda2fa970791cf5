// The local civil day: its first instant and its length in zones with
// daylight saving, half- and quarter-hour offsets and a 30-minute shift,
// against the C library's own conversion; and clock times read with the
// offset in force at each instant.

#include "ephemeris/local_day.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "ephemeris/time_base.h"
#include "tests/support/time_zone_fixture.h"

namespace {

std::int64_t LocalMidnight(int year, int month, int day) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&parts));
}

struct DayCase {
    const char* zone;
    int year, month, day;
    double hours;  // length of the day
};

using LocalDayTest = TimeZoneTest;

TEST_F(LocalDayTest, StartsAtLocalMidnightAndLastsAsTheClockRuns) {
    const DayCase cases[] = {
        {"America/New_York", 2026, 3, 8, 23.0},     {"America/New_York", 2026, 11, 1, 25.0},
        {"America/New_York", 2026, 6, 1, 24.0},     {"Australia/Lord_Howe", 2026, 4, 5, 24.5},
        {"Australia/Lord_Howe", 2026, 10, 4, 23.5}, {"Pacific/Chatham", 2026, 4, 5, 25.0},
        {"Pacific/Chatham", 2026, 9, 27, 23.0},     {"Asia/Kathmandu", 2026, 3, 11, 24.0},
        {"Pacific/Kiritimati", 2026, 3, 11, 24.0},  {"Pacific/Pago_Pago", 2026, 3, 11, 24.0},
        {"America/St_Johns", 2027, 3, 14, 23.0},    {"Europe/Moscow", 2026, 3, 11, 24.0},
    };
    for (const DayCase& c : cases) {
        Zone(c.zone);
        const std::int64_t start = LocalMidnight(c.year, c.month, c.day);
        const std::int64_t next = LocalMidnight(c.year, c.month, c.day + 1);
        ASSERT_EQ((next - start) / 3600.0, c.hours) << c.zone;
        // Any instant of the day names the same day.
        for (std::int64_t at : {start, start + 1, start + (next - start) / 2, next - 1}) {
            const LocalDay day = LocalDayAt(DaysFromTimeValue(at), MachineZoneOffsetAt);
            // To the few milliseconds of the offset's single-precision sixtieth.
            EXPECT_NEAR((day.start - DaysFromTimeValue(start)) * 86400.0, 0.0, 0.01)
                << c.zone << " " << at;
            EXPECT_NEAR((day.end - DaysFromTimeValue(next)) * 86400.0, 0.0, 0.01)
                << c.zone << " " << at;
            EXPECT_EQ(day.record.day, c.day) << c.zone;
        }
        // The next day follows without a gap.
        const LocalDay day = LocalDayAt(DaysFromTimeValue(start), MachineZoneOffsetAt);
        EXPECT_EQ(NextLocalDay(day, MachineZoneOffsetAt).start, day.end) << c.zone;
    }
}

TEST_F(LocalDayTest, ClockHoursUseTheOffsetInForceAtTheInstant) {
    const char* zones[] = {"America/New_York", "Australia/Lord_Howe", "Pacific/Chatham",
                           "Asia/Kolkata"};
    for (const char* name : zones) {
        Zone(name);
        for (int date :
             {5, 8, 27}) {  // Lord Howe and Chatham change on 5 April, New York on 8 March
            const int month = name[0] == 'A' && name[1] == 'm' ? 3 : 4;
            const std::int64_t start = LocalMidnight(2026, month, date);
            const LocalDay day = LocalDayAt(DaysFromTimeValue(start + 600), MachineZoneOffsetAt);
            for (std::int64_t at = start; at < start + 23 * 3600; at += 1777) {
                const std::time_t value = static_cast<std::time_t>(at);
                std::tm local{};
                localtime_r(&value, &local);
                const double clock = local.tm_hour + local.tm_min / 60.0 + local.tm_sec / 3600.0;
                EXPECT_NEAR(LocalClockHours(day, DaysFromTimeValue(at), MachineZoneOffsetAt), clock,
                            1e-6)
                    << name << " " << at;
            }
        }
    }
}

TEST(TimeValueFromDays, WholeSecondsRoundTrip) {
    for (std::int64_t at : {-2208988800LL, 0LL, 946728000LL, 1774828800LL, 4102444799LL}) {
        EXPECT_EQ(TimeValueFromDays(DaysFromTimeValue(at)), at);
        EXPECT_EQ(TimeValueFromDays(DaysFromTimeValue(at) + 0.4 / 86400.0), at);
    }
    EXPECT_EQ(TimeValueFromDays(0.0), 946728000);
}

}  // namespace
