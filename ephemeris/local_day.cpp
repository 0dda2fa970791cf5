#include "ephemeris/local_day.h"

#include <cmath>

namespace {

struct Offset {
    double hours;       // as the zone gives it
    long long seconds;  // the same, whole seconds
};

Offset OffsetAt(ZoneOffsetAt zone, long long timeValue) {
    const double hours = zone(DaysFromTimeValue(timeValue));
    return {hours, std::llround(hours * 3600.0)};
}

long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The day whose local midnight reads `midnight` (seconds as if the clock
// read UTC). The first instant of the day is the one at which the clock
// reads midnight; when the clock jumps over midnight (daylight saving that
// starts at 00:00), it is the instant of the jump, read with the offset
// before it.
LocalDay DayFromMidnight(long long midnight, ZoneOffsetAt zone) {
    const Offset guess = OffsetAt(zone, midnight);
    Offset used = guess;
    const Offset first = OffsetAt(zone, midnight - guess.seconds);
    if (first.seconds != guess.seconds) {
        const Offset second = OffsetAt(zone, midnight - first.seconds);
        if (second.seconds == first.seconds || first.seconds < guess.seconds) {
            // Either the offset of the first candidate holds there, or
            // midnight falls into the jump and the later candidate starts
            // the day.
            used = first;
        }
    }
    LocalDay day;
    day.midnightSeconds = midnight;
    const CivilTime date = CivilTimeFromTimeValue(midnight);
    day.record.year = date.year;
    day.record.month = date.month;
    day.record.day = date.day;
    day.record.hour = -used.hours;
    day.record.minute = 0;
    day.record.second = 0;
    day.start = DaysSinceJ2000(day.record);
    return day;
}

LocalDay WithEnd(LocalDay day, ZoneOffsetAt zone) {
    day.end = DayFromMidnight(day.midnightSeconds + 86400, zone).start;
    return day;
}

}  // namespace

LocalDay LocalDayAt(double days, ZoneOffsetAt zone) {
    const long long now = TimeValueFromDays(days);
    const long long local = now + OffsetAt(zone, now).seconds;
    return WithEnd(DayFromMidnight(FloorDiv(local, 86400) * 86400, zone), zone);
}

LocalDay NextLocalDay(const LocalDay& day, ZoneOffsetAt zone) {
    return WithEnd(DayFromMidnight(day.midnightSeconds + 86400, zone), zone);
}

double LocalClockHours(const LocalDay& day, double days, ZoneOffsetAt zone) {
    // Zero when the offset is the one of the day's start, so that the hours
    // are then exactly those after the start.
    const double change = zone(days) + day.record.hour;
    return (days - day.start) * 24.0 + change;
}
