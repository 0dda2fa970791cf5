#include "tools/snapshot.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ephemeris/observer.h"
#include "platform/egl_offscreen.h"
#include "platform/time_zone.h"
#include "scene/overlay.h"
#include "scene/scene_lifecycle.h"
#include "scene/scene_settings.h"
#include "scene/scene_state.h"
#include "scene/scene_textures.h"
#include "scene/solid_sphere.h"
#include "settings/settings_place.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
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
    SceneInit(0);

    if (options.hasTexture) {
        char* path = options.preview ? sceneState.smallTexturePath : sceneState.largeTexturePath;
        std::strncpy(path, options.texture.c_str(), sizeof sceneState.largeTexturePath - 1);
        path[sizeof sceneState.largeTexturePath - 1] = '\0';
        const GLuint old[3] = {sceneTextures.moonTexture, sceneTextures.limbGlowTexture,
                               sceneTextures.flareGlowTexture};
        glDeleteTextures(3, old);
        BuildSceneTextures(sceneState.preview, sceneState.largeTexturePath,
                           sceneState.smallTexturePath);
    }
    if (options.hasLatitude) {
        observer.latitude = options.latitude;
    }
    if (options.hasLongitude) {
        observer.longitude = options.longitude;
    }
    if (options.hasLatitude || options.hasLongitude) {
        // A coordinate given here counts as read; one not given is defaulted
        // when the store does not hold it either.
        const SettingsPlace stored =
            SettingsReadPlace(uiTextLanguageOffset, sceneStandardBias ? sceneStandardBias() : 0);
        sceneState.placeDefaulted = (!options.hasLatitude && stored.latitudeDefaulted) ||
                                    (!options.hasLongitude && stored.longitudeDefaulted);
    }
    if (options.noStars) {
        sceneState.showStars = false;
    }
    if (options.skyView) {
        sceneState.skyView = true;
    }
    if (options.moonFacts) {
        sceneState.showMoonFacts = true;
    }
    if (options.noText) {
        // No text at all: neither the overlay nor the caption.
        sceneState.showText = false;
        textPassEnabled = false;
    }

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
