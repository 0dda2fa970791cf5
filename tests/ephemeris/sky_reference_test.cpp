// The sky report against an independent reference over 2020..2035 at
// latitudes up to 60 degrees: rise and set times from a crossing search over
// ERFA's Moon and Sun (standard horizon: upper limb at 34' of refraction,
// topocentric), and the lunar day as 1 plus the moonrises since the new moon.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ephemeris/lunar_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/sky_report.h"
#include "platform/time_zone.h"
#include "tests/ephemeris/sky_test_support.h"
#include "tests/support/erfa_reference.h"

namespace {

using skytest::TimeValue;
using skytest::ZoneScope;

constexpr double kJ2000 = 2451545.0;

double YearOf(double days) {
    return 2000.0 + days / 365.25;
}

// Reference altitude minus the altitude of the event, degrees.
double AboveEvent(char body, double days, double latitude, double longitude) {
    const double jd = days + kJ2000;
    if (body == 's') {
        return reference::SunAltitude(jd, latitude, longitude) + 0.8333;
    }
    const double tt = jd + reference::DeltaTSeconds(YearOf(days)) / 86400.0;
    const double parallax = std::asin(6378.14 / reference::MoonDistanceKm(tt)) * 57.29577951308232;
    return reference::MoonAltitude(jd, latitude, longitude) - (0.7275 * parallax - 0.5667);
}

struct Crossing {
    double days;
    bool rising;
};

// Every crossing in [from, to), to about a second.
std::vector<Crossing> Crossings(char body, double from, double to, double latitude,
                                double longitude) {
    std::vector<Crossing> found;
    const double step = 15.0 / 1440.0;
    double t0 = from;
    double a0 = AboveEvent(body, t0, latitude, longitude);
    while (t0 < to) {
        const double t1 = t0 + step;
        const double a1 = AboveEvent(body, t1, latitude, longitude);
        if ((a0 < 0.0) != (a1 < 0.0)) {
            double lo = t0, hi = t1, alo = a0;
            while (hi - lo > 1e-5) {
                const double mid = 0.5 * (lo + hi);
                const double am = AboveEvent(body, mid, latitude, longitude);
                if ((am < 0.0) == (alo < 0.0)) {
                    lo = mid;
                    alo = am;
                } else {
                    hi = mid;
                }
            }
            const double t = 0.5 * (lo + hi);
            if (t >= from && t < to) {
                found.push_back({t, a0 < 0.0});
            }
        }
        t0 = t1;
        a0 = a1;
    }
    return found;
}

// Compares one report time (hours after the day's start, or a sentinel) with
// the reference crossings of one kind in and around the day.
void CompareEvent(double reported, const std::vector<Crossing>& crossings, bool rising, double base,
                  double toleranceMinutes, const char* what, int& compared) {
    const double margin = toleranceMinutes / 1440.0;
    bool nearEdge = false;
    double best = 1e9;
    bool inside = false;
    for (const Crossing& c : crossings) {
        if (c.rising != rising) {
            continue;
        }
        if (std::fabs(c.days - base) < margin || std::fabs(c.days - base - 1.0) < margin) {
            nearEdge = true;
        }
        if (c.days >= base && c.days < base + 1.0) {
            inside = true;
            if (SkyEventPresent(reported)) {
                best = std::fmin(best, std::fabs((c.days - base) * 24.0 - reported) * 60.0);
            }
        }
    }
    if (nearEdge) {
        return;  // an event on the day's edge may fall on either side
    }
    ++compared;
    if (!inside) {
        EXPECT_FALSE(SkyEventPresent(reported)) << what << " reported " << reported;
        return;
    }
    ASSERT_TRUE(SkyEventPresent(reported)) << what << " absent, reference has one";
    EXPECT_LT(best, toleranceMinutes) << what;
}

struct Place {
    const char* zone;
    double latitude, longitude;
};

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
        observer.latitude = place.latitude;
        observer.longitude = place.longitude;
        for (int k = 0; k < 24; ++k) {
            // Dates spread over the years, the months and the lunar phases.
            const std::int64_t at = TimeValue(2020, 1, 1, 0, 0, 0) + k * 20995200LL + k * 40000LL +
                                    static_cast<std::int64_t>(place.longitude * 97);
            PlatformSetFixedTime(at);
            UpdateSkyReport();
            const CivilTime now = CivilTimeFromTimeValue(at);
            CivilTime day = now;
            day.hour = -observer.utcOffsetHours;
            day.minute = 0;
            day.second = 0;
            const double base = DaysSinceJ2000(day);
            char what[160];
            for (char body : {'l', 's'}) {
                const std::vector<Crossing> crossings =
                    Crossings(body, base - 0.1, base + 1.1, place.latitude, place.longitude);
                const double tolerance = body == 's' ? 1.0 : 2.0;
                const double rise = body == 's' ? skyReport.sunRise : skyReport.moonRise;
                const double set = body == 's' ? skyReport.sunSet : skyReport.moonSet;
                std::snprintf(what, sizeof what, "%s %c rise, step %d", place.zone, body, k);
                CompareEvent(rise, crossings, true, base, tolerance, what, compared);
                std::snprintf(what, sizeof what, "%s %c set, step %d", place.zone, body, k);
                CompareEvent(set, crossings, false, base, tolerance, what, compared);
            }
        }
    }
    EXPECT_GT(compared, 600);
}

// The last new moon before an instant, from the reference elongation.
double ReferenceNewMoonBefore(double days) {
    auto elongation = [](double t) {
        return reference::MoonSunElongation(t + kJ2000 +
                                            reference::DeltaTSeconds(YearOf(t)) / 86400.0);
    };
    double hi = days;
    double lo = days - 0.5;
    // Walk back until the elongation was negative just before a zero.
    while (!(elongation(lo) < 0.0 && elongation(hi) >= 0.0 && elongation(hi) < 90.0)) {
        hi = lo;
        lo -= 0.5;
    }
    while (hi - lo > 1e-5) {
        const double mid = 0.5 * (lo + hi);
        if (elongation(mid) < 0.0) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

TEST(SkyReference, LunarDayIsOnePlusTheMoonrisesSinceTheNewMoon) {
    const Place places[] = {kPlaces[0], kPlaces[2], kPlaces[4], kPlaces[5]};
    int compared = 0;
    for (const Place& place : places) {
        ZoneScope zone(place.zone);
        observer.latitude = place.latitude;
        observer.longitude = place.longitude;
        for (int k = 0; k < 5; ++k) {
            const std::int64_t at =
                TimeValue(2020, 3, 1, 0, 0, 0) + k * 100000000LL + k * 7777777LL;
            PlatformSetFixedTime(at);
            UpdateSkyReport();
            const double now = DaysSinceJ2000(CivilTimeFromTimeValue(at));
            const double newMoon = ReferenceNewMoonBefore(now);
            const std::vector<Crossing> crossings =
                Crossings('l', newMoon, now + 1e-9, place.latitude, place.longitude);
            int rises = 0;
            bool close = std::fabs(now - newMoon) < 10.0 / 1440.0;
            for (const Crossing& c : crossings) {
                if (c.rising) {
                    ++rises;
                    close =
                        close || now - c.days < 10.0 / 1440.0 || c.days - newMoon < 10.0 / 1440.0;
                }
            }
            if (close) {
                continue;
            }
            ++compared;
            EXPECT_EQ(skyReport.lunarDay, 1 + rises)
                << place.zone << " step " << k << " text " << skyReport.lunarDayText;
        }
    }
    EXPECT_GE(compared, 16);
}

}  // namespace
