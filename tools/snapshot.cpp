#include "tools/snapshot.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "platform/egl_offscreen.h"
#include "platform/time_zone.h"
#include "scene/scene_lifecycle.h"

#include "scene/solid_sphere.h"
#include "shell/headless_host.h"

int RunSnapshot(const SnapshotOptions& options, std::vector<uint8_t>& rgba, std::string& error) {
    const int64_t now = options.hasTime ? options.time : static_cast<int64_t>(std::time(nullptr));
    PlatformSetFixedTime(now);
    // The same instant draws the same stars.
    std::srand(static_cast<unsigned>(now));

    OffscreenContext offscreen;
    if (OffscreenContextCreate(offscreen, options.width, options.height) != 1) {
        error =
            "nocturo-snapshot: no offscreen OpenGL context (EGL on Mesa's surfaceless platform)";
        return 0;
    }
    HeadlessSetPreview(options.preview ? 1 : 0);
    SolidSphereForget();  // lists of an earlier context are gone

    // The saver's own options, then what the command line changes.
    SceneOptions scene = SceneReadOptions();
    if (options.hasTexture) {
        (options.preview ? scene.smallPicture : scene.largePicture) = options.texture;
    }
    // A coordinate given here counts as read; one not given is defaulted
    // when the store does not hold it either.
    if (options.hasLatitude) {
        scene.place.latitude = options.latitude;
        scene.place.latitudeDefaulted = false;
    }
    if (options.hasLongitude) {
        scene.place.longitude = options.longitude;
        scene.place.longitudeDefaulted = false;
    }
    if (options.noStars) {
        scene.showStars = false;
    }
    if (options.skyView) {
        scene.skyView = true;
    }
    if (options.moonFacts) {
        scene.showMoonFacts = true;
    }
    if (options.noText) {
        // No text at all: neither the overlay nor the caption.
        scene.showText = false;
        scene.textPass = false;
    }
    SceneInit(scene);

    for (int32_t frame = 0; frame < options.frames; ++frame) {
        if (frame > 0) {
            SceneTick(0, 0, 0, 0);
        }
        SceneFrame(0);
    }
    const int read = OffscreenReadPixels(offscreen, rgba);
    OffscreenContextDestroy(offscreen);
    if (read != 1) {
        error = "nocturo-snapshot: the picture could not be read back";
        return 0;
    }
    return 1;
}
