#include "tools/snapshot_options.h"

#include <getopt.h>

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

const char* SnapshotHelp() {
    return "Draws frames of the screen saver's scene offscreen, with the saver's own start-up\n"
           "and frames, and writes the last one as a PNG file.\n"
           "\n"
           "  --at YYYY-MM-DDTHH:MM:SSZ  the instant in universal time; the clock stands still\n"
           "  --lat DEG, --lon DEG       the observer's place instead of the settings' one\n"
           "  --size WxH                 the picture's size (default 1280x1024)\n"
           "  --preview                  draw as the preview does\n"
           "  --frames N                 frames drawn before the picture is taken (default 1)\n"
           "  --no-stars, --no-text      leave out the star field or the text\n"
           "  --sky-view                 the Moon turned and librated as in the observer's sky\n"
           "  --moon-facts               the Moon's facts in the overlay\n"
           "  --texture PATH             the Moon picture to use\n"
           "  -o FILE.png                the output file (required)\n"
           "  -h, --help                 this text\n"
           "  --version                  the version\n"
           "\n"
           "Example: nocturo-snapshot --at 2026-01-03T22:00:00Z --size 640x512 -o moon.png\n"
           "Exit status: 0; 1 when drawing or writing fails; 2 for a bad command line.\n";
}

int ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                         std::string& error) {
    options = SnapshotOptions{};
    error.clear();
    auto fail = [&](const std::string& reason) {
        error = "nocturo-snapshot: " + reason;
        return 0;
    };
    enum {
        kAt = 1,
        kLatitude,
        kLongitude,
        kSize,
        kFrames,
        kTexture,
        kPreview,
        kNoStars,
        kNoText,
        kSkyView,
        kMoonFacts,
        kVersion
    };
    static const option kOptions[] = {
        {"at", required_argument, nullptr, kAt},
        {"lat", required_argument, nullptr, kLatitude},
        {"lon", required_argument, nullptr, kLongitude},
        {"size", required_argument, nullptr, kSize},
        {"frames", required_argument, nullptr, kFrames},
        {"texture", required_argument, nullptr, kTexture},
        {"preview", no_argument, nullptr, kPreview},
        {"no-stars", no_argument, nullptr, kNoStars},
        {"no-text", no_argument, nullptr, kNoText},
        {"sky-view", no_argument, nullptr, kSkyView},
        {"moon-facts", no_argument, nullptr, kMoonFacts},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    // getopt_long never writes to argv when it may not reorder it ("+").
    char* const* words = const_cast<char* const*>(argv);
    optind = 0;  // a fresh scan each call (glibc)
    opterr = 0;  // the reasons below are one line each, in this tool's words
    int c;
    while ((c = getopt_long(argc, words, "+:ho:", kOptions, nullptr)) != -1) {
        const char* value = optarg;
        switch (c) {
            case kAt:
                if (!ParseUtcInstant(value, options.time)) {
                    return fail("--at: " + UtcInstantProblem(value));
                }
                options.hasTime = true;
                break;
            case kLatitude:
                if (!ParseNumber(value, -90, 90, options.latitude)) {
                    return fail("--lat wants degrees from -90 to 90, not '" + std::string(value) +
                                "'");
                }
                options.hasLatitude = true;
                break;
            case kLongitude:
                if (!ParseNumber(value, -180, 180, options.longitude)) {
                    return fail("--lon wants degrees from -180 to 180, not '" + std::string(value) +
                                "'");
                }
                options.hasLongitude = true;
                break;
            case kSize:
                if (!ParseSize(value, options.width, options.height)) {
                    return fail("--size wants WxH, each 1 to " + std::to_string(kOffscreenMaxSide) +
                                ", not '" + std::string(value) + "'");
                }
                break;
            case kFrames: {
                long frames = 0;
                if (!ParseInteger(value, 1, kSnapshotMaxFrames, frames)) {
                    return fail("--frames wants a count from 1 to " +
                                std::to_string(kSnapshotMaxFrames) + ", not '" +
                                std::string(value) + "'");
                }
                options.frames = static_cast<int32_t>(frames);
                break;
            }
            case kTexture:
                if (std::strlen(value) > kSnapshotMaxTexturePath) {
                    return fail("--texture wants a path of at most " +
                                std::to_string(kSnapshotMaxTexturePath) + " bytes");
                }
                options.hasTexture = true;
                options.texture = value;
                break;
            case 'o':
                if (*value == '\0') {
                    return fail("-o wants a file name");
                }
                options.output = value;
                break;
            case kPreview:
                options.preview = true;
                break;
            case kNoStars:
                options.noStars = true;
                break;
            case kNoText:
                options.noText = true;
                break;
            case kSkyView:
                options.skyView = true;
                break;
            case kMoonFacts:
                options.moonFacts = true;
                break;
            case 'h':
                options.help = true;
                break;
            case kVersion:
                options.version = true;
                break;
            case ':':
                return fail(std::string(argv[optind - 1]) + " needs a value");
            default:
                return fail("unknown option '" + std::string(argv[optind - 1]) + "'; " +
                            SnapshotUsage());
        }
    }
    if (optind < argc) {
        return fail("unknown option '" + std::string(argv[optind]) + "'; " + SnapshotUsage());
    }
    if (options.help || options.version) {
        return 1;  // nothing else is needed to print them
    }
    if (options.output.empty()) {
        return fail("-o FILE.png is required; " + std::string(SnapshotUsage()));
    }
    return 1;
}
