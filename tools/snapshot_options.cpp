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
           "[--size WxH] [--preview] [--frames N] [--no-stars] [--no-text] [--sky-view] "
           "[--moon-facts] [--texture PATH] -o FILE.png";
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
                return fail("--at: " + UtcInstantProblem(value));
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
            if (std::strlen(value) > kSnapshotMaxTexturePath) {
                return fail("--texture wants a path of at most " +
                            std::to_string(kSnapshotMaxTexturePath) + " bytes");
            }
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
        } else if (option == "--sky-view") {
            options.skyView = true;
        } else if (option == "--moon-facts") {
            options.moonFacts = true;
        } else {
            return fail("unknown option '" + option + "'; " + SnapshotUsage());
        }
    }
    if (options.output.empty()) {
        return fail("-o FILE.png is required; " + std::string(SnapshotUsage()));
    }
    return 1;
}
