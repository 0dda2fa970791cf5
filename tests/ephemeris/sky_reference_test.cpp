// The sky report against an independent reference: rise and set times from
// a crossing search over ERFA's Moon and Sun (standard horizon: upper limb at
// 34' of refraction, topocentric) inside the local civil day that the C
// library's zone data give, read as local clock times with the C library;
// and the lunar day as 1 plus the moonrises since ERFA's new moon.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

#include "ephemeris/observer.h"
#include "ephemeris/sky_report.h"
#include "ephemeris/time_base.h"
#include "tests/ephemeris/sky_test_support.h"
#include "tests/support/erfa_reference.h"

namespace {

using reference::Crossing;
using skytest::TimeValue;
using skytest::ZoneScope;

constexpr double kUnixEpochJd = 2440587.5;

double JdOf(double timeValue) {
    return timeValue / 86400.0 + kUnixEpochJd;
}

// The local civil day that holds an instant, from the C library: the time
// values of its local midnight and of the next one.
struct CivilDay {
    std::int64_t start, end;
};

std::int64_t LocalTimeValue(int year, int month, int day, int hour, int minute) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&parts));
}

CivilDay CivilDayOf(std::int64_t at) {
    const std::time_t value = static_cast<std::time_t>(at);
    std::tm local{};
    localtime_r(&value, &local);
    const int year = local.tm_year + 1900, month = local.tm_mon + 1;
    return {LocalTimeValue(year, month, local.tm_mday, 0, 0),
            LocalTimeValue(year, month, local.tm_mday + 1, 0, 0)};
}

// The local clock time of an instant, hours after midnight.
double ClockHours(double jd) {
    const double seconds = (jd - kUnixEpochJd) * 86400.0;
    const std::time_t whole = static_cast<std::time_t>(std::floor(seconds));
    std::tm local{};
    localtime_r(&whole, &local);
    return local.tm_hour + local.tm_min / 60.0 + (local.tm_sec + (seconds - whole)) / 3600.0;
}

// Compares one report time (clock hours, or a sentinel) with the reference
// crossings of one kind in and around the day. Returns whether it compared.
bool CompareEvent(double reported, const std::vector<Crossing>& crossings, bool rising,
                  const CivilDay& day, double toleranceMinutes, const std::string& what) {
    const double start = JdOf(static_cast<double>(day.start));
    const double end = JdOf(static_cast<double>(day.end));
    const double margin = toleranceMinutes / 1440.0;
    double best = 1e9;
    bool inside = false;
    for (const Crossing& c : crossings) {
        if (c.rising != rising) {
            continue;
        }
        if (std::fabs(c.jd - start) < margin || std::fabs(c.jd - end) < margin) {
            return false;  // an event on the day's edge may fall on either side
        }
        if (c.jd >= start && c.jd < end) {
            inside = true;
            if (SkyEventPresent(reported)) {
                best = std::fmin(best, std::fabs(ClockHours(c.jd) - reported) * 60.0);
            }
        }
    }
    if (!inside) {
        EXPECT_FALSE(SkyEventPresent(reported)) << what << " reported " << reported;
        return true;
    }
    EXPECT_TRUE(SkyEventPresent(reported)) << what << " absent, reference has one";
    if (SkyEventPresent(reported)) {
        EXPECT_LT(best, toleranceMinutes) << what << " reported " << reported;
    }
    return true;
}

struct Place {
    const char* zone;
    double latitude, longitude;
};

// The reports at instants of one local day against the reference for that
// day; the zone must be set. Returns the number of events compared.
int CompareDay(const Place& place, std::initializer_list<std::int64_t> instants,
               double stepMinutes = 15.0) {
    Observer here;
    here.latitude = place.latitude;
    here.longitude = place.longitude;
    const CivilDay day = CivilDayOf(*instants.begin());
    int compared = 0;
    for (char body : {'l', 's'}) {
        const std::vector<Crossing> crossings =
            reference::HorizonCrossings(body, JdOf(static_cast<double>(day.start - 7200)),
                                        JdOf(static_cast<double>(day.end + 7200)), place.latitude,
                                        place.longitude, stepMinutes);
        const double tolerance = body == 's' ? 1.0 : 2.0;
        for (std::int64_t at : instants) {
            EXPECT_EQ(CivilDayOf(at).start, day.start);
            SkyReport report;
            UpdateSkyReport(report, here, CivilTimeFromTimeValue(at), MachineZoneOffsetAt);
            const std::string what = std::string(place.zone) + " " +
                                     std::to_string(place.latitude) + " at " + std::to_string(at) +
                                     (body == 's' ? " sun" : " moon");
            compared += CompareEvent(body == 's' ? report.sunRise : report.moonRise, crossings,
                                     true, day, tolerance, what + "rise");
            compared += CompareEvent(body == 's' ? report.sunSet : report.moonSet, crossings, false,
                                     day, tolerance, what + "set");
        }
    }
    return compared;
}

const Place kPlaces[] = {
    {"Europe/Helsinki", 60.17, 24.94},    {"Asia/Yekaterinburg", 56.84, 60.61},
    {"America/New_York", 40.71, -74.01},  {"Africa/Nairobi", -1.29, 36.82},
    {"Australia/Perth", -31.95, 115.86},  {"America/Argentina/Ushuaia", -54.8, -68.3},
    {"Pacific/Honolulu", 21.31, -157.86}, {"America/Anchorage", 60.0, -149.0},
};

TEST(SkyReference, RiseAndSetTimesOver2020To2035) {
    int compared = 0;
    for (const Place& place : kPlaces) {
        ZoneScope zone(place.zone);
        for (int k = 0; k < 24; ++k) {
            // Dates spread over the years, the months, the lunar phases and
            // the hours of the day.
            const std::int64_t at = TimeValue(2020, 1, 1, 0, 0, 0) + k * 20995200LL + k * 40000LL +
                                    static_cast<std::int64_t>(place.longitude * 97);
            compared += CompareDay(place, {at});
        }
    }
    EXPECT_GT(compared, 600);
}

// The day's boundary and daylight saving in zones east and west of
// Greenwich, with half- and quarter-hour offsets and a 30-minute daylight
// shift: at local midnight, at noon, in the evening and just before the next
// midnight, on ordinary days and on the days the clocks change.
struct ZoneDays {
    Place place;
    int dates[6][3];
};

TEST(SkyReference, TheDayIsTheLocalCivilDayWithTheOffsetOfEachEvent) {
    const ZoneDays zones[] = {
        {{"Europe/Moscow", 55.75, 37.62},
         {{2026, 3, 11}, {2026, 7, 2}, {2026, 11, 1}, {2027, 1, 20}, {2027, 5, 9}, {2027, 9, 28}}},
        {{"America/New_York", 40.71, -74.01},
         {{2026, 3, 8}, {2026, 11, 1}, {2027, 3, 14}, {2027, 11, 7}, {2026, 6, 4}, {2027, 1, 9}}},
        {{"Asia/Kolkata", 22.57, 88.36},
         {{2026, 3, 11}, {2026, 8, 19}, {2026, 12, 2}, {2027, 2, 14}, {2027, 6, 1}, {2027, 10, 5}}},
        {{"Asia/Kathmandu", 27.72, 85.32},
         {{2026, 2, 3}, {2026, 5, 30}, {2026, 10, 11}, {2027, 1, 28}, {2027, 4, 17}, {2027, 8, 3}}},
        {{"America/St_Johns", 47.56, -52.71},
         {{2026, 3, 8}, {2026, 11, 1}, {2027, 3, 14}, {2027, 11, 7}, {2026, 7, 15}, {2027, 1, 2}}},
        {{"Pacific/Chatham", -43.95, -176.56},
         {{2026, 4, 5}, {2026, 9, 27}, {2027, 4, 4}, {2027, 9, 26}, {2026, 1, 10}, {2027, 7, 7}}},
        {{"Pacific/Kiritimati", 1.87, -157.43},
         {{2026, 3, 10},
          {2026, 6, 25},
          {2026, 10, 30},
          {2027, 2, 12},
          {2027, 5, 22},
          {2027, 12, 1}}},
        {{"Pacific/Pago_Pago", -14.28, -170.7},
         {{2026, 3, 12},
          {2026, 7, 8},
          {2026, 11, 22},
          {2027, 2, 26},
          {2027, 6, 19},
          {2027, 10, 9}}},
        {{"Australia/Lord_Howe", -31.55, 159.08},
         {{2026, 4, 5}, {2026, 10, 4}, {2027, 4, 4}, {2027, 10, 3}, {2026, 1, 21}, {2027, 7, 12}}},
    };
    const int localTimes[][2] = {{0, 10}, {12, 0}, {20, 0}, {23, 50}};
    int compared = 0;
    for (const ZoneDays& z : zones) {
        ZoneScope zone(z.place.zone);
        for (const auto& date : z.dates) {
            auto at = [&](int k) {
                return LocalTimeValue(date[0], date[1], date[2], localTimes[k][0],
                                      localTimes[k][1]);
            };
            compared += CompareDay(z.place, {at(0), at(1), at(2), at(3)});
        }
    }
    EXPECT_GT(compared, 800);
}

// Rises and sets before and after the days on which a body stays up or down
// all day, at 60-78 degrees north and south around the solstices and the
// equinoxes, and the days that once lost them.
TEST(SkyReference, NoEventIsLostAtHighLatitudes) {
    const Place lost[] = {
        {"Europe/Oslo", 69.65, 18.96},          // Tromsø, 2026-05-01: a 02:33 moonset
        {"Arctic/Longyearbyen", 78.22, 15.65},  // 2026-02-06: a 07:04 moonset
        {"Europe/Moscow", 68.97, 33.08},        // Murmansk, 2026-05-21: the last sunset and sunrise
    };
    int compared = 0;
    {
        ZoneScope zone(lost[0].zone);
        compared += CompareDay(lost[0], {LocalTimeValue(2026, 5, 1, 12, 0)}, 5.0);
    }
    {
        ZoneScope zone(lost[1].zone);
        compared += CompareDay(lost[1], {LocalTimeValue(2026, 2, 6, 12, 0)}, 5.0);
    }
    {
        ZoneScope zone(lost[2].zone);
        compared += CompareDay(lost[2], {LocalTimeValue(2026, 5, 21, 12, 0)}, 5.0);
    }
    const double latitudes[] = {61.0, 66.0, 70.0, 74.0, 78.0, -62.0, -68.0, -74.0, -78.0};
    const int days[][3] = {{2026, 3, 19}, {2026, 6, 23}, {2026, 9, 21}, {2026, 12, 20}};
    ZoneScope zone("UTC");
    int k = 0;
    for (double latitude : latitudes) {
        for (const auto& d : days) {
            const Place place = {"UTC", latitude, -150.0 + 37.0 * k};
            // A different day of each season per place, so that the Moon is
            // met in every phase.
            compared += CompareDay(place, {TimeValue(d[0], d[1], d[2] + k % 5, 12, 0, 0)}, 5.0);
            ++k;
        }
    }
    EXPECT_GT(compared, 120);
}

TEST(SkyReference, LunarDayIsOnePlusTheMoonrisesSinceTheNewMoon) {
    // Mid-latitudes, and high latitudes where the Moon stays up or down for
    // days within the month.
    const Place places[] = {
        kPlaces[0],
        kPlaces[2],
        kPlaces[4],
        kPlaces[5],
        {"Atlantic/Reykjavik", 64.15, -21.94},
        {"Europe/Moscow", 64.54, 40.54},  // Arkhangelsk
        {"Europe/Oslo", 69.65, 18.96},    // Tromsø
        {"Antarctica/Palmer", -70.0, -64.0},
    };
    int compared = 0;
    int k = 0;
    for (const Place& place : places) {
        ZoneScope zone(place.zone);
        Observer here;
        here.latitude = place.latitude;
        here.longitude = place.longitude;
        // One lunation per place, its moonrises found once.
        const std::int64_t from = TimeValue(2026, 1, 1, 0, 0, 0) + k++ * 3700000LL;
        const double newMoon = reference::NewMoonBefore(JdOf(static_cast<double>(from)));
        const std::vector<Crossing> crossings = reference::HorizonCrossings(
            'l', newMoon, newMoon + 29.6, place.latitude, place.longitude);
        for (int step = 0; step < 7; ++step) {
            const double jd = newMoon + 0.6 + step * 4.1 + k * 0.13;
            const std::int64_t at = static_cast<std::int64_t>((jd - kUnixEpochJd) * 86400.0);
            SkyReport report;
            UpdateSkyReport(report, here, CivilTimeFromTimeValue(at), MachineZoneOffsetAt);
            int rises = 0;
            bool close = false;
            for (const Crossing& c : crossings) {
                if (c.rising && c.jd <= JdOf(static_cast<double>(at))) {
                    ++rises;
                    close = close || JdOf(static_cast<double>(at)) - c.jd < 10.0 / 1440.0 ||
                            c.jd - newMoon < 10.0 / 1440.0;
                }
            }
            if (close) {
                continue;
            }
            ++compared;
            EXPECT_EQ(report.lunarDay, 1 + rises) << place.zone << " " << place.latitude << " step "
                                                  << step << " text " << report.lunarDayText;
        }
    }
    EXPECT_GE(compared, 40);
}

}  // namespace
