// nocturo-unpack INPUT.pack OUTPUT.bmp
// Decodes a packed moon picture into the large moon picture and prints the
// decoder's report.

#include <cstdio>

#include "installer/picture_unpack.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "nocturo-unpack: usage: nocturo-unpack INPUT.pack OUTPUT.bmp\n");
        return 1;
    }
    UnpackResult result;
    const long written = PictureUnpackWithResult(argv[1], argv[2], result, stdout);
    std::fflush(stdout);
    if (written == 0) {
        std::fprintf(stderr, "nocturo-unpack: %s: %s\n", argv[1], result.error.c_str());
        return 1;
    }
    if (!result.crcMatches) {
        // The bitmap stands, but it does not hold the picture the pack was made from.
        std::fprintf(stderr, "nocturo-unpack: %s: the pack is damaged; %s may be wrong\n", argv[1],
                     argv[2]);
        return 1;
    }
    return 0;
}
