// nocturo-sky as a user runs it: the command line, the exit status on bad
// input, and the JSON numbers against independent references.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "tests/support/erfa_reference.h"

namespace {

struct SkyRun {
    int status = -1;
    std::string out;
    std::string err;
};

SkyRun Sky(const std::string& arguments, const std::string& zone = "UTC") {
    // Test cases run in parallel processes: one standard-error file each.
    const std::string errFile = std::string(NOCTURO_BINARY_DIR) + "/nocturo_sky_test_stderr_" +
                                std::to_string(getpid()) + ".txt";
    const std::string command = "env TZ=" + zone + " " + NOCTURO_BINARY_DIR + "/bin/nocturo-sky " +
                                arguments + " 2>" + errFile;
    SkyRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        while ((n = std::fread(buffer, 1, sizeof buffer, err)) > 0) {
            run.err.append(buffer, n);
        }
        std::fclose(err);
    }
    std::remove(errFile.c_str());
    return run;
}

// The flat JSON object the tool prints: numbers and strings by key.
struct Json {
    std::map<std::string, double> numbers;
    std::map<std::string, std::string> texts;
};

Json Parse(const std::string& text) {
    Json json;
    std::size_t at = 0;
    while ((at = text.find('"', at)) != std::string::npos) {
        const std::size_t end = text.find('"', at + 1);
        const std::string key = text.substr(at + 1, end - at - 1);
        std::size_t value = text.find_first_not_of(" :", end + 1);
        if (text[value] == '"') {
            const std::size_t close = text.find('"', value + 1);
            json.texts[key] = text.substr(value + 1, close - value - 1);
            at = close + 1;
        } else {
            json.numbers[key] = std::strtod(text.c_str() + value, nullptr);
            at = text.find_first_of(",}", value);
        }
    }
    return json;
}

struct BadCase {
    const char* arguments;
};

TEST(NocturoSky, BadInputExitsWithStatusTwoAndOneLine) {
    const BadCase cases[] = {
        {"--at 2023-02-29T00:00:00Z"},
        {"--at 2024-13-01T00:00:00Z"},
        {"--at 2024-04-31T00:00:00Z"},
        {"--at 2024-01-01T24:00:00Z"},
        {"--at 2024-01-01T00:60:00Z"},
        {"--at 2024-01-01T00:00:60Z"},
        {"--at 2024-01-01 00:00:00"},
        {"--at 2024-01-01T00:00:00"},
        {"--at 1900-02-28T23:59:59Z"},
        {"--at 2100-03-01T00:00:00Z"},
        {"--at 0001-01-01T00:00:00Z"},
        {"--at 9999-12-31T23:59:59Z"},
        {"--at"},
        {"--lat 90.5"},
        {"--lat -91"},
        {"--lat north"},
        {"--lat nan"},
        {"--lon 180.01"},
        {"--lon -200"},
        {"--lon 1e999"},
        {"--lon"},
        {"--frobnicate"},
        {"--json=1"},
        {"extra"},
    };
    for (const BadCase& c : cases) {
        const SkyRun run = Sky(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_TRUE(run.out.empty()) << c.arguments;
        ASSERT_FALSE(run.err.empty()) << c.arguments;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.arguments << ": " << run.err;
    }
}

TEST(NocturoSky, AnInstantOutsideTheSupportedRangeNamesTheRange) {
    const SkyRun run = Sky("--at 1582-10-10T00:00:00Z");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("1900-03-01T00:00:00Z"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("2100-02-28T23:59:59Z"), std::string::npos) << run.err;
}

TEST(NocturoSky, EdgesOfTheAcceptedInput) {
    for (const char* arguments :
         {"--at 2024-02-29T23:59:59Z --lat 90 --lon -180", "--lat=-90 --lon=180",
          "--at 2000-01-01T12:00:00Z --lat 0 --lon 0", "--at 1900-03-01T00:00:00Z --lat 50",
          "--at 2100-02-28T23:59:59Z --lat -50"}) {
        const SkyRun run = Sky(std::string(arguments) + " --json");
        EXPECT_EQ(run.status, 0) << arguments << run.err;
    }
}

TEST(NocturoSky, JsonHoldsTheInstantThePlaceAndTheOffset) {
    const SkyRun run = Sky("--at 2024-03-01T00:00:00Z --json", "Asia/Kolkata");
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Parse(run.out);
    EXPECT_EQ(json.texts.at("at"), "2024-03-01T00:00:00Z");
    // No place given and none stored: the saver's fallbacks, 40 degrees north
    // (English) and 15 degrees per hour of the standard zone, +5:30 rounded up.
    EXPECT_DOUBLE_EQ(json.numbers.at("latitude"), 40.0);
    EXPECT_DOUBLE_EQ(json.numbers.at("longitude"), 90.0);
    // -330 minutes times the single-precision 1/60.
    EXPECT_EQ(json.numbers.at("utcOffsetHours"), 330.0 * static_cast<double>(0.016666668f));
    EXPECT_EQ(json.numbers.count("moonLongitude"), 0u);

    const Json detail = Parse(Sky("--at 2024-03-01T00:00:00Z --json --detail --lat -33.9 "
                                  "--lon 18.4")
                                  .out);
    for (const char* key : {"d",
                            "l",
                            "lp",
                            "F",
                            "D",
                            "Om",
                            "moonLongitude",
                            "moonLatitude",
                            "moonParallax",
                            "moonMeanLongitude",
                            "sunLongitude",
                            "sunDistance",
                            "sunMeanLongitude",
                            "nutationLongitude",
                            "nutationObliquity",
                            "trueObliquity",
                            "siderealObliquity",
                            "siderealHours",
                            "moonRightAscension",
                            "moonDeclination",
                            "sunRightAscension",
                            "sunDeclination"}) {
        EXPECT_EQ(detail.numbers.count(key), 1u) << key;
    }
    EXPECT_DOUBLE_EQ(detail.numbers.at("latitude"), -33.9);
    EXPECT_DOUBLE_EQ(detail.numbers.at("longitude"), 18.4);
    EXPECT_DOUBLE_EQ(detail.numbers.at("d"), 8825.5);
}

TEST(NocturoSky, PrintsTheSkyReport) {
    // Polar day at 70 N: the Sun's sentinels are printed as the numbers they are.
    const SkyRun polar = Sky("--at 2025-06-25T10:00:00Z --lat 70 --lon 25 --json --detail");
    ASSERT_EQ(polar.status, 0) << polar.err;
    const Json json = Parse(polar.out);
    EXPECT_EQ(json.numbers.at("sunRise"), 1e200);
    EXPECT_EQ(json.numbers.at("sunSet"), 1e200);
    for (const char* key : {"moonAzimuth", "moonAltitude", "moonRise", "moonSet", "sunAzimuth",
                            "sunAltitude", "lunarDay", "newMoon", "nextNewMoon"}) {
        EXPECT_EQ(json.numbers.count(key), 1u) << key;
    }
    EXPECT_EQ(json.texts.count("lunarDayText"), 1u);
    EXPECT_GT(json.numbers.at("nextNewMoon"), json.numbers.at("newMoon") + 29.0);
    EXPECT_LT(json.numbers.at("nextNewMoon"), json.numbers.at("newMoon") + 30.0);
    EXPECT_LT(json.numbers.at("newMoon"), json.numbers.at("d"));

    // Readable: clock times as hh:mm, an absent event as "--".
    const SkyRun readable = Sky("--at 2025-06-25T10:00:00Z --lat 70 --lon 25");
    EXPECT_NE(readable.out.find("Sunrise (local):                   --\n"), std::string::npos)
        << readable.out;
    const SkyRun ordinary = Sky("--at 2025-03-20T10:00:00Z --lat 48.85 --lon 2.35", "Europe/Paris");
    const std::size_t sunrise = ordinary.out.find("Sunrise (local):");
    ASSERT_NE(sunrise, std::string::npos);
    const std::string value = ordinary.out.substr(sunrise + 35, 5);
    EXPECT_EQ(value, "06:53") << ordinary.out;  // 6.886 h after local midnight
}

TEST(NocturoSky, ReadableOutputNamesTheQuantities) {
    const SkyRun run = Sky("--at 2000-01-01T12:00:00Z --detail");
    ASSERT_EQ(run.status, 0);
    for (const char* label : {"Instant", "Latitude", "Moon longitude", "Sun distance",
                              "Greenwich sidereal time", "Moon declination"}) {
        EXPECT_NE(run.out.find(label), std::string::npos) << label;
    }
}

TEST(NocturoSky, AgreesWithIndependentReferencesOver1900To2100) {
    for (int year = 1900; year <= 2100; year += 8) {
        char at[32];
        std::snprintf(at, sizeof at, "%04d-%02d-%02dT%02d:%02d:%02dZ", year, 1 + year % 12,
                      1 + year % 28, year % 24, (year * 7) % 60, (year * 13) % 60);
        const SkyRun run = Sky(std::string("--json --detail --at ") + at);
        ASSERT_EQ(run.status, 0) << at << run.err;
        const Json json = Parse(run.out);
        const double d = json.numbers.at("d");
        const double jd = d + 2451545.0;

        double dpsi, deps;
        reference::Nutation1980(jd, dpsi, deps);
        EXPECT_NEAR(json.numbers.at("nutationLongitude"), dpsi, 0.001) << at;
        EXPECT_NEAR(json.numbers.at("nutationObliquity"), deps, 0.001) << at;

        const double sidereal = std::remainder(
            json.numbers.at("siderealHours") - reference::ApparentSiderealHours(jd), 24.0);
        EXPECT_LT(std::fabs(sidereal) * 3600.0, 0.001) << at;

        double ra, dec;
        reference::MoonApparent(jd, ra, dec);
        EXPECT_LT(reference::Separation(json.numbers.at("moonRightAscension"),
                                        json.numbers.at("moonDeclination"), ra, dec),
                  2.0 / 60.0)
            << at;
        reference::SunApparent(jd, ra, dec);
        EXPECT_LT(reference::Separation(json.numbers.at("sunRightAscension"),
                                        json.numbers.at("sunDeclination"), ra, dec),
                  40.0 / 3600.0)
            << at;
    }
}

}  // namespace

namespace {

// Julian Date of a "YYYY-MM-DDTHH:MM:SSZ" text (the tool's own form).
double JulianDate(const std::string& text) {
    std::tm t{};
    if (strptime(text.c_str(), "%Y-%m-%dT%H:%M:%SZ", &t) == nullptr) {
        return 0.0;
    }
    return static_cast<double>(timegm(&t)) / 86400.0 + 2440587.5;
}

// The Moon's aspect and next phases in the JSON: the turn is the axis
// position angle minus the parallactic angle, the age runs from the new moon
// before, and the four phases come within a lunation, each within 5 minutes
// of ERFA's.
TEST(NocturoSky, PrintsTheMoonsAspectAndNextPhases) {
    const SkyRun run = Sky("--at 2026-12-22T10:00:00Z --lat -33.87 --lon 151.21 --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Parse(run.out);
    const double turn = json.numbers.at("axisPositionAngle") - json.numbers.at("parallacticAngle");
    EXPECT_NEAR(std::remainder(json.numbers.at("faceTurn") - turn, 360.0), 0.0, 1e-9);
    EXPECT_LE(std::fabs(json.numbers.at("librationLongitude")), 8.5);
    EXPECT_LE(std::fabs(json.numbers.at("librationLatitude")), 7.0);
    EXPECT_GT(json.numbers.at("illuminatedFraction"), 0.9);  // two days before full moon
    EXPECT_GT(json.numbers.at("distanceKm"), 356000.0);
    EXPECT_LT(json.numbers.at("distanceKm"), 407000.0);

    const double at = JulianDate("2026-12-22T10:00:00Z");
    EXPECT_NEAR(json.numbers.at("ageDays"), at - reference::NewMoonBefore(at), 5.0 / 1440.0);
    const char* const keys[4] = {"nextNewMoonAt", "nextFirstQuarterAt", "nextFullMoonAt",
                                 "nextLastQuarterAt"};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(keys[k]);
        const double phase = JulianDate(json.texts.at(keys[k]));
        // The reference's next one: the first after the one before the instant.
        const double before = reference::MoonPhaseBefore(at, 90.0 * k);
        EXPECT_NEAR(phase, reference::MoonPhaseBefore(before + 31.0, 90.0 * k), 5.0 / 1440.0);
    }
}

}  // namespace
