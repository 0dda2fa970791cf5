// nocturo-unpack INPUT.pack OUTPUT.bmp
// Decodes a packed moon picture into the large moon picture and prints the
// decoder's report.

#include <cstdio>
#include <string>
#include <vector>

#include "installer/picture_unpack.h"
#include "tools/file_arguments.h"

namespace {

const char kUsage[] = "usage: nocturo-unpack INPUT.pack OUTPUT.bmp";
const char kHelp[] =
    "Decodes a packed moon picture into the large moon picture (an 8-bit grey\n"
    "bitmap) and prints the decoder's report.\n"
    "\n"
    "  -h, --help    this text\n"
    "  --version     the version\n"
    "\n"
    "Example: nocturo-unpack resources/moon_1024x1024.pack moon_2048x1024.bmp\n"
    "Exit status: 0; 1 for a bad command line, a pack that cannot be read or\n"
    "decoded, or a damaged one.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    int status = ParseFileArguments(argc, argv, "nocturo-unpack", kUsage, kHelp, 1, &files);
    if (status >= 0) {
        return status;
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "nocturo-unpack: %s\n", kUsage);
        return 1;
    }
    const char* input = files[0].c_str();
    const char* output = files[1].c_str();
    UnpackResult result;
    const long written = PictureUnpackWithResult(input, output, result, stdout);
    std::fflush(stdout);
    if (written == 0) {
        std::fprintf(stderr, "nocturo-unpack: %s: %s\n", input, result.error.c_str());
        return 1;
    }
    if (!result.crcMatches) {
        // The bitmap stands, but it does not hold the picture the pack was made from.
        std::fprintf(stderr, "nocturo-unpack: %s: the pack is damaged; %s may be wrong\n", input,
                     output);
        return 1;
    }
    return 0;
}
