#pragma once

#include <cstdint>

// The clock and the time zone as the ephemeris reads them.
//
// The clock is a function slot so that tests and tools can run the sky at any
// instant; by default it reads the system's real-time clock.
using PlatformClock = std::int64_t (*)();

// Seconds since 1970-01-01 00:00:00 UTC from the clock in the slot.
std::int64_t PlatformTimeNow();

// Replaces the clock (nullptr restores the system clock).
void PlatformSetClock(PlatformClock clock);

// A clock that stands still at a fixed instant, for tools and tests.
void PlatformSetFixedTime(std::int64_t secondsSinceEpoch);

// Offsets of the local zone in minutes, with the signs of the classic
// zone-information record: local time = UTC - (bias + standardBias) in
// standard time and UTC - (bias + daylightBias) in daylight saving time.
struct TimeZoneInformation {
    long bias = 0;          // minutes west of Greenwich of standard time
    long standardBias = 0;  // always 0 here (standard time is the base)
    long daylightBias = 0;  // extra minutes of daylight time (-60 for one hour ahead)
};

// The zone's offsets for the year around an instant, from the C library's
// time-zone data (TZ or the system zone). Returns 1 (it cannot fail).
int TimeZoneInformationAt(std::int64_t secondsSinceEpoch, TimeZoneInformation& information);

// The same for the instant of the clock in the slot.
int GetTimeZoneInformation(TimeZoneInformation& information);

// The offset of local time from UTC in force at an instant, seconds east of
// Greenwich (daylight saving included), from the C library's time-zone data.
long PlatformUtcOffsetSecondsAt(std::int64_t secondsSinceEpoch);

// Whether daylight saving time is in force at an instant in the local zone:
// 1 yes, 0 no, -1 unknown (the C library's tm_isdst).
int PlatformDaylightInForce(std::int64_t secondsSinceEpoch);
