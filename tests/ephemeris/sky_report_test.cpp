// The sky report: ranges and sentinels, polar days, the Sun in the Moon's
// frame, and kept searches that leave the report bit-identical. The day it
// reports is checked against the reference in sky_reference_test.

#include "ephemeris/sky_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ephemeris/lunar_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/rise_set.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/time_base.h"
#include "ephemeris/transforms.h"
#include "platform/time_zone.h"
#include "tests/ephemeris/sky_test_support.h"

namespace {

using skytest::TimeValue;
using skytest::ZoneScope;

// The place of the reports.
Observer here;

SkyReport ReportAt(std::int64_t at) {
    SkyReport report;
    EXPECT_EQ(UpdateSkyReport(report, here, CivilTimeFromTimeValue(at), MachineZoneOffsetAt), 1);
    return report;
}

void ExpectClockOrSentinel(double hours, const char* what) {
    if (hours == kEventBeforeDay || hours == kEventAfterDay) {
        return;
    }
    EXPECT_GE(hours, 0.0) << what;
    EXPECT_LT(hours, 24.0) << what;
}

void ExpectSane(const SkyReport& r) {
    for (double azimuth : {r.moonAzimuth, r.sunAzimuth}) {
        EXPECT_GT(azimuth, -180.0);
        EXPECT_LE(azimuth, 180.0);
    }
    for (double altitude : {r.moonAltitude, r.sunAltitude}) {
        EXPECT_GE(altitude, -90.0);
        EXPECT_LE(altitude, 90.0);
    }
    ExpectClockOrSentinel(r.moonRise, "moonRise");
    ExpectClockOrSentinel(r.moonSet, "moonSet");
    ExpectClockOrSentinel(r.sunRise, "sunRise");
    ExpectClockOrSentinel(r.sunSet, "sunSet");
    EXPECT_EQ(r.lunarDay, std::trunc(r.lunarDay));
    if (r.lunarDay == -1) {
        EXPECT_STREQ(r.lunarDayText, "");
    } else {
        EXPECT_GE(r.lunarDay, 1);
        EXPECT_LE(r.lunarDay, 31);
        EXPECT_GT(std::strlen(r.lunarDayText), 0u);
    }
}

struct Place {
    const char* zone;
    double latitude, longitude;
};

const Place kPlaces[] = {
    {"Asia/Yekaterinburg", 55.0 + 8.0 / 60.0, 60.0 + 8.0 / 60.0},
    {"America/Los_Angeles", 34.05, -118.25},
    {"Australia/Sydney", -33.87, 151.21},
    {"Asia/Kolkata", 28.6, 77.2},
    {"Pacific/Auckland", -36.85, 174.76},
};

TEST(UpdateSkyReport, FieldsStayInTheirRanges) {
    for (const Place& place : kPlaces) {
        ZoneScope zone(place.zone);
        here.latitude = place.latitude;
        here.longitude = place.longitude;
        for (int k = 0; k < 12; ++k) {
            ExpectSane(ReportAt(TimeValue(2021, 1, 1, 0, 0, 0) + k * 2629800LL + k * 4111));
        }
    }
}

TEST(UpdateSkyReport, AClockOutsideTheSupportedRangeStillGivesAReport) {
    // The saver keeps running on any clock: far from 1900..2100 the figures
    // lose accuracy, but every field stays a value or a sentinel.
    ZoneScope zone("Europe/Berlin");
    here.latitude = 52.5;
    here.longitude = 13.4;
    for (std::int64_t at : {TimeValue(1601, 3, 3, 12, 0, 0), TimeValue(1899, 12, 31, 23, 30, 0),
                            TimeValue(2100, 3, 1, 0, 30, 0), TimeValue(2900, 7, 4, 18, 0, 0)}) {
        ExpectSane(ReportAt(at));
    }
}

TEST(UpdateSkyReport, PlacesFollowTheTransforms) {
    ZoneScope zone("UTC");
    here.latitude = 45.0;
    here.longitude = -10.0;
    const SkyReport report = ReportAt(TimeValue(2027, 5, 17, 21, 14, 9));
    CivilTime now = CivilTimeFromTimeValue(TimeValue(2027, 5, 17, 21, 14, 9));
    GreenwichSiderealTime(now);
    double a, h;
    ApparentEquatorial(kBodyMoon, DaysSinceJ2000(now), a, h);
    EquatorialToHorizontal(a, h, now.siderealHours * 15.0 + here.longitude, here.latitude);
    EXPECT_EQ(report.moonAltitude, h);
    // The azimuth is folded into (-180, 180]: the same direction.
    EXPECT_NEAR(std::remainder(report.moonAzimuth - a, 360.0), 0.0, 1e-12);
}

TEST(UpdateSkyReport, PolarDayAndNightAreSentinels) {
    ZoneScope zone("Europe/Oslo");
    here.latitude = 70.0;
    here.longitude = 25.0;
    const SkyReport summer = ReportAt(TimeValue(2025, 6, 25, 10, 0, 0));
    EXPECT_EQ(summer.sunRise, kEventAfterDay);
    EXPECT_EQ(summer.sunSet, kEventAfterDay);
    EXPECT_GT(summer.sunAltitude, 0.0);
    const SkyReport winter = ReportAt(TimeValue(2025, 12, 22, 10, 0, 0));
    EXPECT_EQ(winter.sunRise, kEventBeforeDay);
    EXPECT_EQ(winter.sunSet, kEventBeforeDay);
    EXPECT_LT(winter.sunAltitude, 0.0);
}

TEST(UpdateSkyReport, HighLatitudesAlwaysGiveTimesOrSentinels) {
    ZoneScope zone("Arctic/Longyearbyen");
    for (double latitude : {70.0, 72.5, 75.0, 77.5, 80.0, -70.0, -80.0}) {
        here.latitude = latitude;
        here.longitude = 15.0;
        for (int k = 0; k < 24; ++k) {
            ExpectSane(ReportAt(TimeValue(2024, 1, 3, 7, 0, 0) + k * 15 * 86400LL + k * 3600));
        }
    }
}

TEST(SkyCache, KeptSearchesLeaveTheReportBitIdentical) {
    struct Walk {
        Place place;
        int steps;
        std::int64_t stepSeconds;
    };
    // More than a lunar month each, in steps that land on every hour of the
    // day, with runs of refreshes a few seconds apart.
    const Walk walks[] = {{kPlaces[0], 290, 19997}, {kPlaces[2], 100, 57037}};
    for (const Walk& walk : walks) {
        ZoneScope zone(walk.place.zone);
        here.latitude = walk.place.latitude;
        here.longitude = walk.place.longitude;
        SkyCacheEnable(1);
        SkyCacheClear();
        const std::int64_t start = TimeValue(2031, 10, 2, 3, 0, 0);
        for (int k = 0; k < walk.steps; ++k) {
            const std::int64_t at = start + (k / 2) * walk.stepSeconds + (k % 2) * 3;
            SkyCacheEnable(1);
            const SkyReport kept = ReportAt(at);
            SkyCacheEnable(0);
            const SkyReport direct = ReportAt(at);
            ASSERT_EQ(std::memcmp(&kept, &direct, sizeof kept), 0)
                << walk.place.zone << " step " << k;
        }
        EXPECT_GT(walk.steps / 2 * walk.stepSeconds, 32 * 86400);
        SkyCacheEnable(1);
    }
}

TEST(SkyCache, APlaceChangeIsNeverServedAnotherPlacesSearch) {
    ZoneScope zone("UTC");
    const std::int64_t at = TimeValue(2030, 4, 4, 12, 0, 0);
    SkyCacheEnable(1);
    here.latitude = 10.0;
    here.longitude = 0.0;
    ReportAt(at);
    here.latitude = 10.0 + 1e-9;
    const SkyReport moved = ReportAt(at);
    SkyCacheEnable(0);
    const SkyReport direct = ReportAt(at);
    EXPECT_EQ(std::memcmp(&moved, &direct, sizeof moved), 0);
    SkyCacheEnable(1);
}

TEST(FoldAzimuth, WestPositiveNorthIsPlus180) {
    const double cases[][2] = {
        {0.0, 0.0},      {45.0, 45.0},   {90.0, 90.0},      {179.5, 179.5}, {180.0, 180.0},
        {180.5, -179.5}, {270.0, -90.0}, {359.999, -0.001}, {360.0, 0.0},   {-180.0, 180.0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(FoldAzimuth(c[0]), c[1], 1e-9) << c[0];
    }
    EXPECT_EQ(FoldAzimuth(180.0), 180.0);
}

struct RotationCase {
    double x, y, z, angle;
    char axis;
    double ex, ey, ez;
};

TEST(RotateAboutAxis, SignConventions) {
    const RotationCase cases[] = {
        {1, 0, 0, 90, 'z', 0, -1, 0}, {0, 1, 0, 90, 'z', 1, 0, 0}, {0, 1, 0, 90, 'x', 0, 0, -1},
        {0, 0, 1, 90, 'x', 0, 1, 0},  {1, 0, 0, 90, 'y', 0, 0, 1}, {0, 0, 1, 90, 'y', -1, 0, 0},
        {1, 2, 3, 30, 'q', 1, 2, 3},  // an unknown axis leaves the vector alone
    };
    for (const RotationCase& c : cases) {
        double x = c.x, y = c.y, z = c.z;
        RotateAboutAxis(x, y, z, c.angle, c.axis);
        EXPECT_NEAR(x, c.ex, 1e-6) << c.axis;
        EXPECT_NEAR(y, c.ey, 1e-6) << c.axis;
        EXPECT_NEAR(z, c.ez, 1e-6) << c.axis;
    }
}

// Unit vector of an azimuth (from south, west positive) and an altitude:
// x west, y up, z north.
void Direction(double azimuth, double altitude, double v[3]) {
    const double k = 0.017453292519943295;
    v[0] = std::cos(altitude * k) * std::sin(azimuth * k);
    v[1] = std::sin(altitude * k);
    v[2] = -std::cos(altitude * k) * std::cos(azimuth * k);
}

TEST(SunInMoonFrame, TheMoonLiesOnTheNegativeZAxis) {
    const double cases[][4] = {
        // moon azimuth, moon altitude, sun azimuth, sun altitude
        {45, 20, 45, 20},  {-120, 35, 10, -5}, {180, 60, -90, 10},
        {0, -10, 170, 40}, {90, 0, -90, 0},    {-30, 80, 150, -70},
    };
    for (const auto& c : cases) {
        SkyReport report;
        report.moonAzimuth = c[0];
        report.moonAltitude = c[1];
        report.sunAzimuth = c[2];
        report.sunAltitude = c[3];
        double x, y, z;
        SunInMoonFrame(report, x, y, z);
        const double length = std::sqrt(x * x + y * y + z * z);
        EXPECT_NEAR(length, 1e19, 1e13);
        // The angle between Sun and Moon is kept: the Sun's z component is
        // minus the cosine of their separation.
        double moon[3], sun[3];
        Direction(c[0], c[1], moon);
        Direction(c[2], c[3], sun);
        const double cosine = moon[0] * sun[0] + moon[1] * sun[1] + moon[2] * sun[2];
        EXPECT_NEAR(-z / length, cosine, 1e-6) << c[0] << " " << c[1];
        if (c[0] == c[2] && c[1] == c[3]) {
            EXPECT_NEAR(x / length, 0.0, 1e-6);
            EXPECT_NEAR(y / length, 0.0, 1e-6);
            EXPECT_NEAR(z / length, -1.0, 1e-6);
        }
    }
}

}  // namespace
