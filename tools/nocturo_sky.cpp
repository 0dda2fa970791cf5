// nocturo-sky: prints what the ephemeris computes for an instant and a place.
//
//   nocturo-sky [--at YYYY-MM-DDTHH:MM:SSZ] [--lat DEG] [--lon DEG] [--json] [--detail]
//   nocturo-sky --help | --version
//
// The instant defaults to the clock, the time zone comes from TZ and the
// place from the settings, as for the saver. Bad input prints one line on standard error and exits
// with status 2.

#include <getopt.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "ephemeris/angles.h"
#include "ephemeris/fundamental_arguments.h"
#include "ephemeris/lunar_day.h"
#include "ephemeris/moon.h"
#include "ephemeris/moon_face.h"
#include "ephemeris/moon_phases.h"
#include "ephemeris/nutation.h"
#include "ephemeris/observer.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/sky_report.h"
#include "ephemeris/sun.h"
#include "ephemeris/time_base.h"
#include "ephemeris/transforms.h"
#include "platform/time_zone.h"
#include "scene/overlay_format.h"
#include "settings/settings_place.h"
#include "tools/utc_instant.h"

namespace {

const char kUsage[] =
    "usage: nocturo-sky [--at YYYY-MM-DDTHH:MM:SSZ] [--lat DEG] [--lon DEG] [--json] [--detail]";

const char kHelp[] =
    "Prints what the screen saver computes for an instant and a place: the Moon's\n"
    "and the Sun's azimuth and height, their rise and set times, the day's length\n"
    "and the lunar day. The time zone comes from TZ.\n"
    "\n"
    "  --at YYYY-MM-DDTHH:MM:SSZ  the instant in universal time (default: the clock)\n"
    "  --lat DEG                  latitude, -90 to 90, north positive\n"
    "  --lon DEG                  longitude, -180 to 180, east positive\n"
    "                             (default place: the one in the settings, as the saver)\n"
    "  --json                     one JSON object instead of text\n"
    "  --detail                   the intermediate quantities too\n"
    "  -h, --help                 this text\n"
    "  --version                  the version\n"
    "\n"
    "Example: nocturo-sky --at 2026-01-03T00:00:00Z --lat 55.75 --lon 37.62\n"
    "Exit status: 0, or 2 for a bad command line (one line on standard error).\n";

// The observer used when no place is given: the place the screen saver
// takes from the settings, with its fallbacks (the longitude from the
// standard time zone at the clock's instant).
void DefaultPlace(double& latitude, double& longitude) {
    TimeZoneInformation zone;
    GetTimeZoneInformation(zone);
    const SettingsPlace place =
        SettingsReadStartPlace(static_cast<std::int32_t>(zone.bias + zone.standardBias));
    latitude = place.latitude;
    longitude = place.longitude;
}

struct Options {
    bool haveAt = false;
    std::string at;
    std::int64_t instant = 0;
    bool haveLatitude = false;
    bool haveLongitude = false;
    double latitude = 0.0;
    double longitude = 0.0;
    bool json = false;
    bool detail = false;
    bool help = false;
    bool version = false;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "nocturo-sky: %s\n", message.c_str());
    std::exit(2);
}

bool ParseDegrees(const char* text, double limit, double& value) {
    if (*text == '\0') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return errno == 0 && *end == '\0' && std::isfinite(value) && std::fabs(value) <= limit;
}

Options ParseOptions(int argc, char** argv) {
    enum { kAt = 1, kLatitude, kLongitude, kJson, kDetail, kVersion };
    static const option kOptions[] = {
        {"at", required_argument, nullptr, kAt},
        {"lat", required_argument, nullptr, kLatitude},
        {"lon", required_argument, nullptr, kLongitude},
        {"json", no_argument, nullptr, kJson},
        {"detail", no_argument, nullptr, kDetail},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    Options options;
    opterr = 0;  // the messages below say it in this tool's words
    int c;
    // "+": stop at the first word that is not an option; ":": a missing value is ':'.
    while ((c = getopt_long(argc, argv, "+:h", kOptions, nullptr)) != -1) {
        switch (c) {
            case kJson:
                options.json = true;
                break;
            case kDetail:
                options.detail = true;
                break;
            case 'h':
                options.help = true;
                break;
            case kVersion:
                options.version = true;
                break;
            case kAt:
                options.at = optarg;
                if (!ParseUtcInstant(options.at.c_str(), options.instant)) {
                    Fail("--at: " + UtcInstantProblem(options.at.c_str()));
                }
                options.haveAt = true;
                break;
            case kLatitude:
                if (!ParseDegrees(optarg, 90.0, options.latitude)) {
                    Fail("--lat: '" + std::string(optarg) +
                         "' is not a latitude between -90 and 90 degrees");
                }
                options.haveLatitude = true;
                break;
            case kLongitude:
                if (!ParseDegrees(optarg, 180.0, options.longitude)) {
                    Fail("--lon: '" + std::string(optarg) +
                         "' is not a longitude between -180 and 180 degrees");
                }
                options.haveLongitude = true;
                break;
            case ':':
                Fail("option " + std::string(argv[optind - 1]) + " needs a value");
            default:
                Fail("unknown option '" + std::string(argv[optind - 1]) + "'");
        }
    }
    if (optind < argc) {
        Fail("unknown option '" + std::string(argv[optind]) + "'");
    }
    return options;
}

std::string FormatInstant(std::int64_t instant) {
    const std::time_t value = static_cast<std::time_t>(instant);
    std::tm broken{};
    gmtime_r(&value, &broken);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &broken);
    return text;
}

// One named quantity of the output, a number or a text.
struct Field {
    std::string key;
    std::string label;
    bool isText = false;
    double number = 0.0;
    std::string text;
    bool isClock = false;  // hours after local midnight, or a sentinel
    bool isWhole = false;  // printed without decimals
};

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string JsonString(const std::string& value) {
    std::string out = "\"";
    for (unsigned char c : value) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string ReadableNumber(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

void Print(const std::vector<Field>& fields, bool json) {
    if (json) {
        std::string out = "{";
        for (std::size_t k = 0; k < fields.size(); ++k) {
            const Field& f = fields[k];
            out += (k == 0 ? "\n  " : ",\n  ") + JsonString(f.key) + ": " +
                   (f.isText ? JsonString(f.text) : JsonNumber(f.number));
        }
        out += "\n}\n";
        std::fputs(out.c_str(), stdout);
        return;
    }
    for (const Field& f : fields) {
        std::string value = f.isText    ? f.text
                            : f.isClock ? FormatClock(f.number)
                            : f.isWhole ? std::to_string(static_cast<long long>(f.number))
                                        : ReadableNumber(f.number);
        std::printf("%-34s %s\n", (f.label + ":").c_str(), value.c_str());
    }
}

Field Number(const char* key, const char* label, double value) {
    Field f;
    f.key = key;
    f.label = label;
    f.number = value;
    return f;
}

Field Text(const char* key, const char* label, const std::string& value) {
    Field f;
    f.key = key;
    f.label = label;
    f.isText = true;
    f.text = value;
    return f;
}

// A declination as EclipticToEquatorial carries it, back in -90..90.
double SignedDeclination(double declination) {
    return declination > 180.0 ? declination - 360.0 : declination;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    if (options.help) {
        std::printf("%s\n%s", kUsage, kHelp);
        return 0;
    }
    if (options.version) {
        std::printf("nocturo-sky (Nocturo) %s\n", NOCTURO_VERSION);
        return 0;
    }

    // The saver reads the clock; a given instant stands the clock still there.
    const std::int64_t instant = options.haveAt ? options.instant : PlatformTimeNow();
    PlatformSetFixedTime(instant);

    DefaultPlace(observer.latitude, observer.longitude);
    if (options.haveLatitude) {
        observer.latitude = options.latitude;
    }
    if (options.haveLongitude) {
        observer.longitude = options.longitude;
    }

    CivilTime now = ReadClock(observer.utcOffsetHours);
    SkyReport report;
    UpdateSkyReport(report, observer, now, MachineZoneOffsetAt);
    const double d = DaysSinceJ2000(now);

    std::vector<Field> fields;
    fields.push_back(
        Text("at", "Instant (UT)", options.haveAt ? options.at : FormatInstant(instant)));
    fields.push_back(Number("latitude", "Latitude (deg N)", observer.latitude));
    fields.push_back(Number("longitude", "Longitude (deg E)", observer.longitude));
    fields.push_back(Number("utcOffsetHours", "UTC offset (hours)", observer.utcOffsetHours));

    Field lunarDayText = Text("lunarDayText", "Lunar day text", report.lunarDayText);
    const SkyReport& r = report;
    auto clock = [](const char* key, const char* label, double value) {
        Field f = Number(key, label, value);
        f.isClock = true;
        return f;
    };
    fields.push_back(Number("moonAzimuth", "Moon azimuth (deg from south, west +)", r.moonAzimuth));
    fields.push_back(Number("moonAltitude", "Moon altitude (deg)", r.moonAltitude));
    fields.push_back(clock("moonRise", "Moonrise (local)", r.moonRise));
    fields.push_back(clock("moonSet", "Moonset (local)", r.moonSet));
    fields.push_back(Number("sunAzimuth", "Sun azimuth (deg from south, west +)", r.sunAzimuth));
    fields.push_back(Number("sunAltitude", "Sun altitude (deg)", r.sunAltitude));
    fields.push_back(clock("sunRise", "Sunrise (local)", r.sunRise));
    fields.push_back(clock("sunSet", "Sunset (local)", r.sunSet));
    Field lunarDay = Number("lunarDay", "Lunar day", r.lunarDay);
    lunarDay.isWhole = true;
    fields.push_back(lunarDay);
    fields.push_back(lunarDayText);

    // How the Moon presents itself, its age and the next phases (UT).
    fields.push_back(Number("parallacticAngle", "Parallactic angle (deg)", r.parallacticAngle));
    fields.push_back(
        Number("axisPositionAngle", "Moon axis position angle (deg)", r.axisPositionAngle));
    fields.push_back(Number("faceTurn", "Moon face turn, sky view (deg)",
                            MoonFaceTurn(r.axisPositionAngle, r.parallacticAngle)));
    fields.push_back(
        Number("librationLongitude", "Libration in longitude (deg)", r.librationLongitude));
    fields.push_back(
        Number("librationLatitude", "Libration in latitude (deg)", r.librationLatitude));
    fields.push_back(Number("illuminatedFraction", "Illuminated fraction", r.illuminatedFraction));
    const MoonFacts facts = MoonFactsAt(d);
    fields.push_back(Number("ageDays", "Age (days since the new moon)", facts.ageDays));
    fields.push_back(Number("distanceKm", "Distance (km)", r.distanceKm));
    static const char* const kPhaseKeys[4][2] = {
        {"nextNewMoonAt", "Next new moon (UT)"},
        {"nextFirstQuarterAt", "Next first quarter (UT)"},
        {"nextFullMoonAt", "Next full moon (UT)"},
        {"nextLastQuarterAt", "Next last quarter (UT)"},
    };
    for (int k = 0; k < 4; ++k) {
        // To the nearest second.
        const long long at = TimeValueFromDays(facts.nextPhase[k] + 0.5 / 86400.0);
        fields.push_back(Text(kPhaseKeys[k][0], kPhaseKeys[k][1], FormatInstant(at)));
    }

    if (options.detail) {
        const Lunation lunation = LunationAround(now, MachineZoneOffsetAt);
        fields.push_back(
            Number("newMoon", "New moon before the local day (days)", lunation.newMoon));
        fields.push_back(Number("nextNewMoon", "Next new moon (days)", lunation.nextNewMoon));
        GreenwichSiderealTime(now);
        double moonRa, moonDec, sunRa, sunDec;
        ApparentEquatorial(kBodyMoon, d, moonRa, moonDec);
        ApparentEquatorial(kBodySun, d, sunRa, sunDec);
        fields.push_back(Number("d", "Days since J2000.0", d));
        fields.push_back(Number("l", "Moon mean anomaly l (deg)", MoonMeanAnomaly(d)));
        fields.push_back(Number("lp", "Sun mean anomaly l' (deg)", SunMeanAnomaly(d)));
        fields.push_back(
            Number("F", "Moon argument of latitude F (deg)", MoonArgumentOfLatitude(d)));
        fields.push_back(Number("D", "Moon mean elongation D (deg)", MoonMeanElongation(d)));
        fields.push_back(Number("Om", "Moon node longitude Om (deg)", MoonNodeLongitude(d)));
        fields.push_back(Number("moonLongitude", "Moon longitude (deg)", MoonLongitude(d)));
        fields.push_back(Number("moonLatitude", "Moon latitude (deg)", MoonLatitude(d)));
        fields.push_back(Number("moonParallax", "Moon parallax (deg)", MoonParallax(d)));
        fields.push_back(
            Number("moonMeanLongitude", "Moon mean longitude (deg)", MoonMeanLongitude(d)));
        fields.push_back(Number("sunLongitude", "Sun longitude (deg)", SunLongitude(d)));
        fields.push_back(Number("sunDistance", "Sun distance (AU)", SunDistance(d)));
        fields.push_back(
            Number("sunMeanLongitude", "Sun mean longitude (deg)", SunMeanLongitude(d)));
        fields.push_back(
            Number("nutationLongitude", "Nutation in longitude (arcsec)", NutationLongitude(d)));
        fields.push_back(
            Number("nutationObliquity", "Nutation in obliquity (arcsec)", NutationObliquity(d)));
        fields.push_back(Number("trueObliquity", "True obliquity (deg)", TrueObliquity(d)));
        fields.push_back(
            Number("siderealObliquity", "Sidereal obliquity (deg)", SiderealObliquity(d)));
        fields.push_back(
            Number("siderealHours", "Greenwich sidereal time (hours)", now.siderealHours));
        fields.push_back(Number("moonRightAscension", "Moon right ascension (deg)", moonRa));
        fields.push_back(
            Number("moonDeclination", "Moon declination (deg)", SignedDeclination(moonDec)));
        fields.push_back(Number("sunRightAscension", "Sun right ascension (deg)", sunRa));
        fields.push_back(
            Number("sunDeclination", "Sun declination (deg)", SignedDeclination(sunDec)));
    }

    Print(fields, options.json);
    return 0;
}
