#include "platform/time_zone.h"

#include <ctime>

namespace {

std::int64_t SystemClock() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

PlatformClock clockSlot = SystemClock;
std::int64_t fixedTime = 0;

std::int64_t FixedClock() {
    return fixedTime;
}

struct LocalState {
    long offsetSeconds;  // east of Greenwich
    int daylight;        // tm_isdst
};

LocalState LocalStateAt(std::int64_t at) {
    std::time_t value = static_cast<std::time_t>(at);
    std::tm broken{};
    if (localtime_r(&value, &broken) == nullptr) {
        return {0, 0};
    }
    return {broken.tm_gmtoff, broken.tm_isdst};
}

// The offset of the nearest instant (within a year) whose daylight flag is
// (or is not) set; the zone's other half of the year.
bool NearestOffset(std::int64_t at, bool daylight, long& offsetSeconds) {
    const std::int64_t week = 7 * 86400;
    for (int step = 1; step <= 53; ++step) {
        for (int sign = 1; sign >= -1; sign -= 2) {
            LocalState state = LocalStateAt(at + sign * step * week);
            if ((state.daylight > 0) == daylight) {
                offsetSeconds = state.offsetSeconds;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

std::int64_t PlatformTimeNow() {
    return clockSlot();
}

void PlatformSetClock(PlatformClock clock) {
    clockSlot = clock != nullptr ? clock : SystemClock;
}

void PlatformSetFixedTime(std::int64_t secondsSinceEpoch) {
    fixedTime = secondsSinceEpoch;
    clockSlot = FixedClock;
}

int TimeZoneInformationAt(std::int64_t secondsSinceEpoch, TimeZoneInformation& information) {
    tzset();  // follow changes of TZ while the process runs
    LocalState now = LocalStateAt(secondsSinceEpoch);
    long standardSeconds = now.offsetSeconds;
    long daylightSeconds = now.offsetSeconds;
    if (now.daylight > 0) {
        // A zone that never leaves daylight time keeps it as its standard.
        NearestOffset(secondsSinceEpoch, false, standardSeconds);
    } else {
        // A zone without daylight time gets a daylight bias of 0.
        NearestOffset(secondsSinceEpoch, true, daylightSeconds);
    }
    information.bias = -standardSeconds / 60;
    information.standardBias = 0;
    information.daylightBias = -(daylightSeconds - standardSeconds) / 60;
    return 1;
}

int GetTimeZoneInformation(TimeZoneInformation& information) {
    return TimeZoneInformationAt(PlatformTimeNow(), information);
}

int PlatformDaylightInForce(std::int64_t secondsSinceEpoch) {
    tzset();
    return LocalStateAt(secondsSinceEpoch).daylight;
}

long PlatformUtcOffsetSecondsAt(std::int64_t secondsSinceEpoch) {
    return LocalStateAt(secondsSinceEpoch).offsetSeconds;
}
