// libFuzzer target: any bytes as a pack. The decoder must refuse it or decode
// it without reading or writing outside its buffers and without hanging.

#include <cstddef>
#include <cstdint>

#include "installer/picture_unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UnpackResult result;
    if (UnpackPictureData(data, size, result, nullptr) == 1) {
        // A decoded pack always gives the full bitmap.
        const size_t expected = kPackHeaderSize + 2 * static_cast<size_t>(result.header.width) *
                                                      static_cast<size_t>(result.header.height);
        if (result.bitmap.size() != expected) {
            __builtin_trap();
        }
    }
    return 0;
}
