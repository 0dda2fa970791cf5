#include "platform/time_zone.h"
#include "tests/support/time_zone_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using ZoneTest = TimeZoneTest;

constexpr std::int64_t kJuly2024 = 1721044800;     // 2024-07-15 12:00 UTC
constexpr std::int64_t kJanuary2024 = 1705320000;  // 2024-01-15 12:00 UTC

struct ZoneCase {
    const char* zone;
    std::int64_t at;
    long bias, daylightBias;
    int daylight;
};

TEST_F(ZoneTest, StandardAndDaylightParts) {
    const ZoneCase cases[] = {
        {"Europe/Berlin", kJuly2024, -60, -60, 1},
        {"Europe/Berlin", kJanuary2024, -60, -60, 0},
        {"America/New_York", kJuly2024, 300, -60, 1},
        {"America/New_York", kJanuary2024, 300, -60, 0},
        {"Australia/Sydney", kJanuary2024, -600, -60, 1},
        {"Australia/Lord_Howe", kJanuary2024, -630, -30, 1},
        {"Asia/Kolkata", kJuly2024, -330, 0, 0},
        {"UTC", kJuly2024, 0, 0, 0},
    };
    for (const ZoneCase& c : cases) {
        Zone(c.zone);
        TimeZoneInformation information;
        EXPECT_EQ(TimeZoneInformationAt(c.at, information), 1);
        EXPECT_EQ(information.bias, c.bias) << c.zone;
        EXPECT_EQ(information.standardBias, 0) << c.zone;
        EXPECT_EQ(information.daylightBias, c.daylightBias) << c.zone;
        EXPECT_EQ(PlatformDaylightInForce(c.at), c.daylight) << c.zone;
    }
}

TEST_F(ZoneTest, FollowsTheReplaceableClock) {
    Zone("Europe/Berlin");
    PlatformSetFixedTime(kJuly2024);
    EXPECT_EQ(PlatformTimeNow(), kJuly2024);
    TimeZoneInformation information;
    GetTimeZoneInformation(information);
    EXPECT_EQ(information.bias + information.daylightBias, -120);

    static std::int64_t ticks = 0;
    PlatformSetClock([]() -> std::int64_t { return ++ticks; });
    EXPECT_EQ(PlatformTimeNow(), 1);
    EXPECT_EQ(PlatformTimeNow(), 2);

    PlatformSetClock(nullptr);
    const std::int64_t system = static_cast<std::int64_t>(std::time(nullptr));
    EXPECT_LE(std::llabs(PlatformTimeNow() - system), 2);
}

}  // namespace
