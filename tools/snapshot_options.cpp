#include "tools/snapshot_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/egl_offscreen.h"

namespace {

int ParseNumber(const char* text, double low, double high, double& value) {
    if (text == nullptr || *text == '\0') {
        return 0;
    }
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < low || parsed > high) {
        return 0;
    }
    value = parsed;
    return 1;
}

int ParseInteger(const char* text, long low, long high, long& value) {
    if (text == nullptr || *text < '0' || *text > '9') {
        return 0;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return 0;
    }
    value = parsed;
    return 1;
}

int ParseSize(const char* text, int32_t& width, int32_t& height) {
    if (text == nullptr) {
        return 0;
    }
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr) {
        return 0;
    }
    const std::string first(text, cross);
    long w = 0;
    long h = 0;
    if (!ParseInteger(first.c_str(), 1, kOffscreenMaxSide, w) ||
        !ParseInteger(cross + 1, 1, kOffscreenMaxSide, h)) {
        return 0;
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return 1;
}

}  // namespace

const char* SnapshotUsage() {
    return "usage: nocturo-snapshot [--at YYYY-MM-DDTHH:MM:SSZ] [--lat DEG] [--lon DEG] "
           "[--size WxH] [--preview] [--frames N] [--no-stars] [--no-text] [--texture PATH] "
           "-o FILE.png";
}

int ParseUtcInstant(const char* text, int64_t& secondsSinceEpoch) {
    if (text == nullptr || std::strlen(text) != 20) {
        return 0;
    }
    // Digits where digits belong, and the separators in their places.
    const char* pattern = "dddd-dd-ddTdd:dd:ddZ";
    for (int i = 0; i < 20; ++i) {
        if (pattern[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != pattern[i]) {
            return 0;
        }
    }
    auto field = [&](int at, int length) {
        int value = 0;
        for (int i = 0; i < length; ++i) {
            value = value * 10 + (text[at + i] - '0');
        }
        return value;
    };
    std::tm parts{};
    parts.tm_year = field(0, 4) - 1900;
    parts.tm_mon = field(5, 2) - 1;
    parts.tm_mday = field(8, 2);
    parts.tm_hour = field(11, 2);
    parts.tm_min = field(14, 2);
    parts.tm_sec = field(17, 2);
    std::tm asked = parts;
    const time_t value = timegm(&parts);
    // timegm carries out-of-range fields over; a real date comes back unchanged.
    if (parts.tm_year != asked.tm_year || parts.tm_mon != asked.tm_mon ||
        parts.tm_mday != asked.tm_mday || parts.tm_hour != asked.tm_hour ||
        parts.tm_min != asked.tm_min || parts.tm_sec != asked.tm_sec) {
        return 0;
    }
    secondsSinceEpoch = static_cast<int64_t>(value);
    return 1;
}

int ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                         std::string& error) {
    options = SnapshotOptions{};
    error.clear();
    auto fail = [&](const std::string& reason) {
        error = "nocturo-snapshot: " + reason;
        return 0;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool takesValue = option == "--at" || option == "--lat" || option == "--lon" ||
                                option == "--size" || option == "--frames" ||
                                option == "--texture" || option == "-o";
        const char* value = nullptr;
        if (takesValue) {
            if (i + 1 >= argc) {
                return fail(option + " needs a value");
            }
            value = argv[++i];
        }
        if (option == "--at") {
            if (!ParseUtcInstant(value, options.time)) {
                return fail("--at wants YYYY-MM-DDTHH:MM:SSZ, not '" + std::string(value) + "'");
            }
            options.hasTime = true;
        } else if (option == "--lat") {
            if (!ParseNumber(value, -90, 90, options.latitude)) {
                return fail("--lat wants degrees from -90 to 90, not '" + std::string(value) + "'");
            }
            options.hasLatitude = true;
        } else if (option == "--lon") {
            if (!ParseNumber(value, -180, 180, options.longitude)) {
                return fail("--lon wants degrees from -180 to 180, not '" + std::string(value) +
                            "'");
            }
            options.hasLongitude = true;
        } else if (option == "--size") {
            if (!ParseSize(value, options.width, options.height)) {
                return fail("--size wants WxH, each 1 to " + std::to_string(kOffscreenMaxSide) +
                            ", not '" + std::string(value) + "'");
            }
        } else if (option == "--frames") {
            long frames = 0;
            if (!ParseInteger(value, 1, kSnapshotMaxFrames, frames)) {
                return fail("--frames wants a count from 1 to " +
                            std::to_string(kSnapshotMaxFrames) + ", not '" + std::string(value) +
                            "'");
            }
            options.frames = static_cast<int32_t>(frames);
        } else if (option == "--texture") {
            options.hasTexture = true;
            options.texture = value;
        } else if (option == "-o") {
            if (*value == '\0') {
                return fail("-o wants a file name");
            }
            options.output = value;
        } else if (option == "--preview") {
            options.preview = true;
        } else if (option == "--no-stars") {
            options.noStars = true;
        } else if (option == "--no-text") {
            options.noText = true;
        } else {
            return fail("unknown option '" + option + "'; " + SnapshotUsage());
        }
    }
    if (options.output.empty()) {
        return fail("-o FILE.png is required; " + std::string(SnapshotUsage()));
    }
    return 1;
}
