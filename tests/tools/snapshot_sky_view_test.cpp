// The Moon as seen from the observer's place (SkyView): the turn of the face
// and the libration measured on pictures of made-up Moon maps against the
// report's angles, the earthshine on the untextured Moon, and the setting
// read from the store. With both new settings off nothing changes.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ephemeris/moon_face.h"
#include "ephemeris/sky_report.h"
#include "ephemeris/time_base.h"
#include "scene/moon_pass.h"
#include "settings/settings_store.h"
#include "tests/tools/snapshot_runner.h"
#include "tools/utc_instant.h"

namespace {

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 1024;
constexpr double kCentreColumn = 640;
constexpr double kCentreRow = 512;
constexpr double kRadius = 38.25 * 10.24;
constexpr double kPi = 3.14159265358979323846;

// A large (negative) Moon map of 1024 x 512: the near side's longitudes
// -90 ... 90 on columns 0 ... 511, the first stored row the south pole.
// `shade` gives the grey to show at a latitude and longitude.
template <typename Shade>
std::string WriteMap(const std::string& folder, const char* name, Shade shade) {
    constexpr int32_t w = 1024, h = 512;
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h);
    for (int32_t row = 0; row < h; ++row) {
        const double latitude = (row + 0.5) / h * 180.0 - 90.0;
        for (int32_t column = 0; column < w; ++column) {
            const double longitude = (column + 0.5) / w * 360.0 - 90.0;
            pixels[static_cast<size_t>(row) * w + column] =
                static_cast<uint8_t>(255 - shade(latitude, longitude));
        }
    }
    PictureLayout layout;
    layout.width = w;
    layout.height = h;
    layout.pixelOffset = 54;
    const std::string path = folder + "/" + name;
    WritePicture(path, layout, pixels);
    return path;
}

struct Case {
    const char* at;
    double latitude, longitude;
};

SkyReport ReportFor(const Case& c) {
    int64_t seconds = 0;
    EXPECT_TRUE(ParseUtcInstant(c.at, seconds));
    Observer here;
    here.latitude = c.latitude;
    here.longitude = c.longitude;
    SkyReport report;
    UpdateSkyReport(report, here, CivilTimeFromTimeValue(seconds), [](double) { return 0.0; });
    return report;
}

std::string Arguments(const Case& c) {
    char text[160];
    std::snprintf(text, sizeof text, "--at %s --lat %.4f --lon %.4f --no-stars --no-text", c.at,
                  c.latitude, c.longitude);
    return text;
}

// Where a point of the Moon (selenographic degrees) shows on the screen,
// counterclockwise from the right, after the libration and the turn of the
// view: the independent statement of what the Moon pass should draw.
double ScreenAngleOf(double latitude, double longitude, const MoonView& view) {
    const double la = latitude * kPi / 180, lo = longitude * kPi / 180;
    double x = std::sin(lo) * std::cos(la), y = std::sin(la), z = std::cos(lo) * std::cos(la);
    const double l = -view.librationLongitude * kPi / 180;
    const double x1 = x * std::cos(l) + z * std::sin(l);
    const double z1 = -x * std::sin(l) + z * std::cos(l);
    x = x1;
    z = z1;
    const double b = view.librationLatitude * kPi / 180;
    const double y2 = y * std::cos(b) - z * std::sin(b);
    y = y2;
    const double t = view.faceTurn * kPi / 180;
    return std::atan2(x * std::sin(t) + y * std::cos(t), x * std::cos(t) - y * std::sin(t)) * 180 /
           kPi;
}

double Gap(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180)
        d -= 360;
    if (d < -180)
        d += 360;
    return d;
}

// Centroid direction (degrees, counterclockwise from the right) of the dark
// pixels well inside the disc.
double DarkSpotAngle(const std::vector<uint8_t>& rgba, int* count) {
    double sx = 0, sy = 0;
    *count = 0;
    for (int32_t row = 0; row < kHeight; ++row) {
        for (int32_t column = 0; column < kWidth; ++column) {
            const double dx = column + 0.5 - kCentreColumn, dy = kCentreRow - (row + 0.5);
            if (dx * dx + dy * dy > 0.8 * 0.8 * kRadius * kRadius)
                continue;
            if (Grey(rgba, kWidth, column, row) < 30) {
                sx += dx;
                sy += dy;
                ++*count;
            }
        }
    }
    return std::atan2(sy, sx) * 180 / kPi;
}

// Bright pixels of the band just inside the limb.
int BrightNearLimb(const std::vector<uint8_t>& rgba) {
    int count = 0;
    for (int32_t row = 0; row < kHeight; ++row) {
        for (int32_t column = 0; column < kWidth; ++column) {
            const double dx = column + 0.5 - kCentreColumn, dy = kCentreRow - (row + 0.5);
            const double r = std::sqrt(dx * dx + dy * dy) / kRadius;
            if (r > 0.88 && r < 0.985 && Grey(rgba, kWidth, column, row) > 55)
                ++count;
        }
    }
    return count;
}

int DarkestInside(const std::vector<uint8_t>& rgba) {
    int darkest = 255;
    for (int32_t row = 0; row < kHeight; ++row) {
        for (int32_t column = 0; column < kWidth; ++column) {
            const double dx = column + 0.5 - kCentreColumn, dy = kCentreRow - (row + 0.5);
            if (dx * dx + dy * dy < 0.9 * 0.9 * kRadius * kRadius)
                darkest = std::min(darkest, Grey(rgba, kWidth, column, row));
        }
    }
    return darkest;
}

using SkyView = Snapshot;

// A dark spot 35 degrees north of the centre of the near side, near full
// moon so that it is lit: in the north-up picture it lies straight above
// the centre; with SkyView it turns by the computed angle. Southern places
// and low Moons (rising and setting), the equator and the north.
TEST_F(SkyView, FaceTurnsByTheComputedAngle) {
    const std::string map = WriteMap(folder, "spot.bmp", [](double la, double lo) {
        return std::hypot(la - 35.0, lo) < 6.0 ? 0 : 180;
    });
    const Case cases[] = {
        {"2026-12-24T10:00:00Z", -33.87, 151.21},  // Sydney, rising, 4 degrees up
        {"2026-12-24T14:00:00Z", -33.87, 151.21},  // Sydney, highest
        {"2026-12-24T18:00:00Z", -33.87, 151.21},  // Sydney, setting
        {"2026-12-24T00:00:00Z", -0.18, -78.47},   // Quito, rising
        {"2026-12-24T10:00:00Z", -0.18, -78.47},   // Quito, setting
        {"2026-12-24T06:00:00Z", 55.75, 37.62},    // Moscow, 5 degrees up
    };
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(Arguments(c));
        const MoonView view = MoonViewFor(ReportFor(c), true);
        int count = 0;
        ASSERT_TRUE(Draw(Arguments(c) + " --texture '" + map + "'", rgba, w, h));
        const double northUp = DarkSpotAngle(rgba, &count);
        ASSERT_GT(count, 500);
        EXPECT_LT(std::fabs(Gap(northUp, 90.0)), 2.0);
        ASSERT_TRUE(Draw(Arguments(c) + " --sky-view --texture '" + map + "'", rgba, w, h));
        const double turned = DarkSpotAngle(rgba, &count);
        ASSERT_GT(count, 500);
        const double expected = ScreenAngleOf(35.0, 0.0, view);
        EXPECT_LT(std::fabs(Gap(turned - northUp, expected - 90.0)), 2.0)
            << "turn " << view.faceTurn << " measured " << turned << " expected " << expected;
    }
}

// A bright band just inside the north limb (and one inside the east limb)
// shows when the libration tips that limb toward the Earth and hides when
// it tips away: full moons with the libration at its extremes.
TEST_F(SkyView, LimbFeatureShowsOrHidesWithLibration) {
    struct Feature {
        const char* name;
        bool (*inside)(double la, double lo);
        Case toward, away;
    } const features[] = {
        {"north",
         [](double la, double lo) { return la > 76 && la < 88 && std::fabs(lo) < 90; },
         {"2026-05-31T08:46:00Z", -33.87, 151.21},   // latitude libration +6.5
         {"2026-11-24T14:55:00Z", -33.87, 151.21}},  // -6.5
        {"east",
         [](double la, double lo) { return lo > 76 && lo < 88 && std::fabs(la) < 80; },
         {"2026-03-03T11:39:00Z", -33.87, 151.21},   // longitude libration +4.8
         {"2026-09-26T16:51:00Z", -33.87, 151.21}},  // -5.0
    };
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    for (const Feature& f : features) {
        SCOPED_TRACE(f.name);
        const std::string map = WriteMap(
            folder, "limb.bmp", [&](double la, double lo) { return f.inside(la, lo) ? 255 : 60; });
        ASSERT_TRUE(Draw(Arguments(f.toward) + " --sky-view --texture '" + map + "'", rgba, w, h));
        const int shown = BrightNearLimb(rgba);
        ASSERT_TRUE(Draw(Arguments(f.away) + " --sky-view --texture '" + map + "'", rgba, w, h));
        const int hidden = BrightNearLimb(rgba);
        ASSERT_TRUE(Draw(Arguments(f.toward) + " --texture '" + map + "'", rgba, w, h));
        const int northUp = BrightNearLimb(rgba);
        EXPECT_GT(northUp, 200) << "shown " << shown << " hidden " << hidden;
        EXPECT_GT(shown, northUp * 3 / 2) << "north up " << northUp << " hidden " << hidden;
        EXPECT_LT(hidden, northUp / 4) << "north up " << northUp << " shown " << shown;
    }
}

// The untextured Moon's night side from a thin crescent to a gibbous Moon:
// the level follows the Earth's phase (brightest near new moon) with
// SkyView, and stays at 8 % without it.
TEST_F(SkyView, EarthshineFallsFromNewToFullMoon) {
    const Case cases[] = {
        {"2027-01-09T20:00:00Z", -33.87, 151.21},
        {"2027-01-15T20:36:00Z", -33.87, 151.21},
        {"2027-01-19T20:00:00Z", -33.87, 151.21},
    };
    std::vector<uint8_t> rgba;
    int32_t w = 0, h = 0;
    int previous = 256;
    double previousFraction = -1;
    for (const Case& c : cases) {
        SCOPED_TRACE(Arguments(c));
        const SkyReport report = ReportFor(c);
        ASSERT_GT(report.illuminatedFraction, previousFraction);
        previousFraction = report.illuminatedFraction;
        ASSERT_TRUE(Draw(Arguments(c) + " --texture null --sky-view", rgba, w, h));
        const int night = DarkestInside(rgba);
        const double level = MoonViewFor(report, true).nightLevel;
        EXPECT_NEAR(night, 255 * 0.9978 * level, 2.0) << "lit " << report.illuminatedFraction;
        EXPECT_LT(night, previous);
        EXPECT_LE(level, kNightLevelNewMoon);
        previous = night;
        ASSERT_TRUE(Draw(Arguments(c) + " --texture null", rgba, w, h));
        EXPECT_NEAR(DarkestInside(rgba), 20, 1);
    }
    EXPECT_FLOAT_EQ(MoonViewFor(ReportFor(cases[0]), false).nightLevel, kNightLevelFullMoon);
}

// The flags come from the store; stored as 0 they change nothing, byte for
// byte, picture and overlay alike.
TEST_F(SkyView, SettingsFromTheStoreAndOffChangesNothing) {
    const std::string args = "--at 2026-12-24T10:00:00Z --lat -33.87 --lon 151.21 --frames 2";
    std::vector<uint8_t> plain, off, on, stored;
    int32_t w = 0, h = 0;
    ASSERT_TRUE(Draw(args, plain, w, h));
    const uint8_t zero = 0, one = 1;
    ASSERT_EQ(SettingsCreateKey(kSettingsSubkey), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingSkyView, &zero, 1), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingShowMoonFacts, &zero, 1), 1);
    ASSERT_TRUE(Draw(args, off, w, h));
    EXPECT_TRUE(off == plain);
    ASSERT_TRUE(Draw(args + " --sky-view --moon-facts", on, w, h));
    EXPECT_FALSE(on == plain);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingSkyView, &one, 1), 1);
    ASSERT_EQ(SettingsWriteBinary(kSettingsSubkey, kSettingShowMoonFacts, &one, 1), 1);
    ASSERT_TRUE(Draw(args, stored, w, h));
    EXPECT_TRUE(stored == on);
}

}  // namespace
