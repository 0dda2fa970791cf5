// libFuzzer target: any bytes as a Moon picture file. Reading it and making
// the textures' images must stay inside every buffer, whatever the header
// claims, in both the full-screen and the preview reading.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/moon_picture.h"
#include "scene/scene_textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader takes a path: the bytes go into a file in memory.
    static const int fd = memfd_create("moon-picture", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))) {
        return 0;
    }
    for (bool preview : {false, true}) {
        const SceneTextureImages images = PrepareSceneTextures(preview, path.c_str(), path.c_str());
        const SceneTextures& sizes = images.sizes;
        // A picture that is read gives a Moon texture of exactly its size;
        // one that is not gives none.
        const size_t texels =
            static_cast<size_t>(sizes.moonWidth) * static_cast<size_t>(sizes.moonHeight) * 4;
        if ((sizes.pixelCount > 0) != !images.moon.empty() ||
            (!images.moon.empty() && images.moon.size() != texels)) {
            __builtin_trap();
        }
    }
    return 0;
}
