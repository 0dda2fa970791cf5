// Pictures of the scene at fixed instants: the phases, and the lit fraction
// and the bright limb's direction against an independent ephemeris.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/erfa_reference.h"
#include "tests/tools/snapshot_runner.h"
#include "tools/snapshot_options.h"

namespace {

// The untextured Moon at 1280 x 1024: 10.24 pixels per world unit, centre
// (640, 512), radius 38.25 units.
constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 1024;
constexpr double kCentreColumn = 640;
constexpr double kCentreRow = 512;
constexpr double kRadius = 38.25 * 10.24;
constexpr int kAmbient = 20;  // 8 % of the Moon's colour
constexpr int kLitAbove = kAmbient + 3;

struct DiscLight {
    double litFraction = 0;
    double limbDegrees =
        0;  // direction of the lit part's centroid, from the right, counter-clockwise
    int brightest = 0;
    int darkest = 255;
};

DiscLight MeasureDisc(const std::vector<uint8_t>& rgba) {
    DiscLight light;
    double count = 0;
    double lit = 0;
    double sx = 0;
    double sy = 0;
    for (int32_t row = 0; row < kHeight; ++row) {
        for (int32_t column = 0; column < kWidth; ++column) {
            const double dx = column + 0.5 - kCentreColumn;
            const double dy = kCentreRow - (row + 0.5);
            if (dx * dx + dy * dy > (kRadius - 1) * (kRadius - 1)) {
                continue;
            }
            const int grey = Grey(rgba, kWidth, column, row);
            light.brightest = std::max(light.brightest, grey);
            light.darkest = std::min(light.darkest, grey);
            count += 1;
            if (grey > kLitAbove) {
                lit += 1;
                sx += dx;
                sy += dy;
            }
        }
    }
    light.litFraction = lit / count;
    light.limbDegrees = std::atan2(sy, sx) * 180 / M_PI;
    return light;
}

constexpr const char* kUntextured =
    "--texture /nonexistent.bmp --no-text --no-stars --lat 51.5 --lon 0";

TEST_F(Snapshot, PhasesAtFixedInstants) {
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    const std::string common = std::string(kUntextured) + " --size 1280x1024 ";

    // Full moon 2024-04-23 23:49 UTC: lit all over.
    ASSERT_TRUE(Draw(common + "--at 2024-04-23T23:49:00Z", rgba, width, height));
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    DiscLight full = MeasureDisc(rgba);
    EXPECT_GT(full.litFraction, 0.99);
    EXPECT_GT(full.darkest, kLitAbove);
    EXPECT_GT(full.brightest, 240);

    // New moon 2024-04-08 18:21 UTC: only the 8 % ambient.
    ASSERT_TRUE(Draw(common + "--at 2024-04-08T18:21:00Z", rgba, width, height));
    DiscLight dark = MeasureDisc(rgba);
    EXPECT_LT(dark.litFraction, 0.01);
    EXPECT_NEAR(dark.darkest, kAmbient, 2);
    EXPECT_LE(dark.brightest, kLitAbove);
    EXPECT_GT(Grey(rgba, kWidth, 640, 512), Grey(rgba, kWidth, 20, 20));  // darker sky around

    // First quarter 2024-04-15 19:13 UTC and last quarter 2024-05-01 11:27 UTC:
    // half lit, and lit on opposite sides, the evening Moon's lit half toward
    // the west (right when facing the Moon), the morning Moon's toward the east.
    ASSERT_TRUE(Draw(common + "--at 2024-04-15T19:13:00Z", rgba, width, height));
    DiscLight first = MeasureDisc(rgba);
    ASSERT_TRUE(Draw(common + "--at 2024-05-01T11:27:00Z", rgba, width, height));
    DiscLight last = MeasureDisc(rgba);
    EXPECT_NEAR(first.litFraction, 0.5, 0.05);
    EXPECT_NEAR(last.litFraction, 0.5, 0.05);
    EXPECT_LT(std::fabs(first.limbDegrees), 90) << first.limbDegrees;
    EXPECT_GT(std::fabs(last.limbDegrees), 90) << last.limbDegrees;
}

}  // namespace

namespace {

// The sky from an independent ephemeris (ERFA): unit vectors east, north, up.
struct Vector {
    double e, n, u;
};

double Dot(const Vector& a, const Vector& b) {
    return a.e * b.e + a.n * b.n + a.u * b.u;
}

Vector Horizontal(double rightAscension, double declination, double siderealHours, double latitude,
                  double longitude) {
    const double d = M_PI / 180;
    const double h = (siderealHours * 15 + longitude - rightAscension) * d;
    const double dec = declination * d;
    const double lat = latitude * d;
    return {-std::cos(dec) * std::sin(h),
            std::cos(lat) * std::sin(dec) - std::sin(lat) * std::cos(dec) * std::cos(h),
            std::sin(lat) * std::sin(dec) + std::cos(lat) * std::cos(dec) * std::cos(h)};
}

struct ExpectedLight {
    double litFraction;
    double limbDegrees;  // in the picture: from the right, counter-clockwise, up = zenith
};

ExpectedLight ReferenceLight(int64_t secondsSinceEpoch, double latitude, double longitude) {
    const double jdUT = secondsSinceEpoch / 86400.0 + 2440587.5;
    const double jdTT = jdUT + reference::DeltaTSeconds(2000 + (jdUT - 2451545.0) / 365.25) / 86400;
    double moonRa = 0, moonDec = 0, sunRa = 0, sunDec = 0;
    reference::MoonApparent(jdTT, moonRa, moonDec);
    reference::SunApparent(jdTT, sunRa, sunDec);
    const double sidereal = reference::ApparentSiderealHours(jdUT);
    const Vector m = Horizontal(moonRa, moonDec, sidereal, latitude, longitude);
    const Vector s = Horizontal(sunRa, sunDec, sidereal, latitude, longitude);

    const double psi = std::acos(std::clamp(Dot(m, s), -1.0, 1.0));
    const double sunKm = 1.496e8;
    const double phase =
        std::atan2(sunKm * std::sin(psi), reference::MoonDistanceKm(jdTT) - sunKm * std::cos(psi));
    // Up: the zenith seen past the Moon; right = forward x up.
    Vector up{-m.u * m.e, -m.u * m.n, 1 - m.u * m.u};
    const double length = std::sqrt(Dot(up, up));
    up = {up.e / length, up.n / length, up.u / length};
    const Vector right{m.n * up.u - m.u * up.n, m.u * up.e - m.e * up.u, m.e * up.n - m.n * up.e};
    return {(1 + std::cos(phase)) / 2, std::atan2(Dot(s, up), Dot(s, right)) * 180 / M_PI};
}

TEST_F(Snapshot, PhaseAndBrightLimbMatchTheSky) {
    const struct {
        const char* at;
        double latitude, longitude;
    } skies[] = {
        {"2024-04-10T20:00:00Z", 51.5, -0.1},   {"2024-04-13T21:30:00Z", 40.7, -74.0},
        {"2024-04-17T12:00:00Z", -33.9, 151.2}, {"2024-04-20T03:00:00Z", 55.75, 37.6},
        {"2024-04-27T06:00:00Z", 35.7, 139.7},  {"2024-05-01T11:27:00Z", 51.5, -0.1},
        {"2024-05-05T04:00:00Z", -0.2, -78.5},  {"2025-01-03T17:00:00Z", 64.1, -21.9},
        {"2025-06-10T22:00:00Z", -34.6, -58.4}, {"2026-12-11T09:00:00Z", 48.9, 2.35},
    };
    for (const auto& sky : skies) {
        int64_t at = 0;
        ASSERT_EQ(ParseUtcInstant(sky.at, at), 1);
        std::ostringstream arguments;
        arguments << "--texture /nonexistent.bmp --no-text --no-stars --size 1280x1024 --at "
                  << sky.at << " --lat " << sky.latitude << " --lon " << sky.longitude;
        std::vector<uint8_t> rgba;
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_TRUE(Draw(arguments.str(), rgba, width, height));
        const DiscLight seen = MeasureDisc(rgba);
        const ExpectedLight expected = ReferenceLight(at, sky.latitude, sky.longitude);
        EXPECT_NEAR(seen.litFraction, expected.litFraction, 0.05) << sky.at;
        if (expected.litFraction > 0.05 && expected.litFraction < 0.95) {
            const double off = std::remainder(seen.limbDegrees - expected.limbDegrees, 360.0);
            EXPECT_LT(std::fabs(off), 10)
                << sky.at << ": seen " << seen.limbDegrees << ", expected " << expected.limbDegrees;
        }
    }
}

}  // namespace

namespace {

// The lit disc on a window of any shape: its extent, and the direction of
// the lit part's centroid seen from the centre the projection gives it.
struct DiscShape {
    int width = 0, height = 0;  // pixels, of the lit disc's bounding box
    double limbDegrees = 0;
};

DiscShape MeasureShape(const std::vector<uint8_t>& rgba, int32_t width, int32_t height) {
    const double centreColumn = width / 2.0;
    const double centreRow = height / 2.0;
    const double radius = 38.25 * std::min(width, height) / 100.0;
    int left = width, right = -1, top = height, bottom = -1;
    double sx = 0, sy = 0;
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            if (Grey(rgba, width, column, row) <= kLitAbove) {
                continue;
            }
            left = std::min(left, column);
            right = std::max(right, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
            const double dx = column + 0.5 - centreColumn;
            const double dy = centreRow - (row + 0.5);
            if (dx * dx + dy * dy < (radius - 1) * (radius - 1)) {
                sx += dx;
                sy += dy;
            }
        }
    }
    return {right - left + 1, bottom - top + 1, std::atan2(sy, sx) * 180 / M_PI};
}

const char* const kWindowSizes[] = {"1280x1024", "1920x1080", "2560x1080", "1080x1920", "800x600"};

TEST_F(Snapshot, FullMoonIsRoundOnEveryWindowShape) {
    for (const char* size : kWindowSizes) {
        std::vector<uint8_t> rgba;
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_TRUE(
            Draw(std::string(kUntextured) + " --size " + size + " --at 2024-04-23T23:49:00Z", rgba,
                 width, height));
        const DiscShape disc = MeasureShape(rgba, width, height);
        EXPECT_NEAR(static_cast<double>(disc.width) / disc.height, 1.0, 0.01)
            << size << ": " << disc.width << " x " << disc.height;
        // The Moon keeps its size against the shorter side, whole and centred.
        EXPECT_NEAR(disc.width, 0.765 * std::min(width, height), 0.01 * std::min(width, height))
            << size;
        std::cout << size << ": lit disc " << disc.width << " x " << disc.height << "\n";
    }
}

TEST_F(Snapshot, BrightLimbPointsAtTheSunOnEveryWindowShape) {
    // Quarter moons whose bright limb stands well off the screen's axes,
    // where a stretched picture turns it most.
    const struct {
        const char* at;
        double latitude, longitude;
    } skies[] = {{"2024-04-15T19:13:00Z", 51.5, -0.1}, {"2024-05-01T11:27:00Z", 51.5, -0.1}};
    for (const auto& sky : skies) {
        int64_t at = 0;
        ASSERT_EQ(ParseUtcInstant(sky.at, at), 1);
        const ExpectedLight expected = ReferenceLight(at, sky.latitude, sky.longitude);
        for (const char* size : kWindowSizes) {
            std::ostringstream arguments;
            arguments << kUntextured << " --size " << size << " --at " << sky.at << " --lat "
                      << sky.latitude << " --lon " << sky.longitude;
            std::vector<uint8_t> rgba;
            int32_t width = 0;
            int32_t height = 0;
            ASSERT_TRUE(Draw(arguments.str(), rgba, width, height));
            const DiscShape disc = MeasureShape(rgba, width, height);
            const double off = std::remainder(disc.limbDegrees - expected.limbDegrees, 360.0);
            EXPECT_LT(std::fabs(off), 2) << sky.at << " " << size << ": seen " << disc.limbDegrees
                                         << ", expected " << expected.limbDegrees;
            std::cout << sky.at << " " << size << ": limb " << disc.limbDegrees << ", sky "
                      << expected.limbDegrees << "\n";
        }
    }
}

}  // namespace
