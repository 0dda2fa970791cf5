// nocturo-snapshot: draws frames of the scene without a display and writes
// the last one as a PNG. See docs/scene.md.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/png_file.h"
#include "tools/snapshot.h"
#include "tools/snapshot_options.h"

int main(int argc, char** argv) {
    SnapshotOptions options;
    std::string error;
    if (ParseSnapshotOptions(argc, argv, options, error) != 1) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s\n%s", SnapshotUsage(), SnapshotHelp());
        return 0;
    }
    if (options.version) {
        std::printf("nocturo-snapshot (Nocturo) %s\n", NOCTURO_VERSION);
        return 0;
    }
    std::vector<uint8_t> rgba;
    if (RunSnapshot(options, rgba, error) != 1) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (WritePngFile(options.output, options.width, options.height, rgba) != 1) {
        std::fprintf(stderr, "nocturo-snapshot: cannot write %s\n", options.output.c_str());
        return 1;
    }
    return 0;
}
