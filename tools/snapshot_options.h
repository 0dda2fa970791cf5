#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/scene_options.h"
#include "tools/utc_instant.h"

// The command line of nocturo-snapshot:
//   nocturo-snapshot [--at YYYY-MM-DDTHH:MM:SSZ] [--lat DEG] [--lon DEG] [--size WxH]
//                    [--preview] [--frames N] [--no-stars] [--no-text] [--sky-view]
//                    [--moon-facts] [--texture PATH] -o FILE.png
//   nocturo-snapshot --help | --version
struct SnapshotOptions {
    bool hasTime = false;
    int64_t time = 0;  // seconds since 1970 UTC; the clock stands still here
    bool hasLatitude = false;
    double latitude = 0;
    bool hasLongitude = false;
    double longitude = 0;
    int32_t width = 1280;  // 5:4 like the scene's world, so the Moon is round
    int32_t height = 1024;
    bool preview = false;
    int32_t frames = 1;
    bool noStars = false;
    bool noText = false;
    bool skyView = false;    // turn SkyView on whatever the store holds
    bool moonFacts = false;  // turn ShowMoonFacts on whatever the store holds
    bool hasTexture = false;
    std::string texture;
    std::string output;
    bool help = false;     // -h, --help: print the help, draw nothing
    bool version = false;  // --version
};

constexpr int32_t kSnapshotMaxFrames = 100000;
// The longest picture path the scene can hold (its buffer less the ending zero).
constexpr size_t kSnapshotMaxTexturePath = kSceneTexturePathSize - 1;

// Fills `options` from argv[1 ...]. Returns 1 when the command line is good,
// else 0 with a one-line reason in `error`.
int ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                         std::string& error);

// The usage line.
const char* SnapshotUsage();
// The help text after the usage line: what the tool does, every option, an example.
const char* SnapshotHelp();
