#include "scene/scene_settings.h"

#include <cstring>

#include "platform/time_zone.h"
#include "settings/data_files.h"
#include "settings/settings_place.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"
#include "shell/saver_api.h"

namespace {

// The system's standard-time bias; daylight saving is not counted.
int32_t SystemStandardBias() {
    TimeZoneInformation zone;
    GetTimeZoneInformation(zone);
    return static_cast<int32_t>(zone.bias + zone.standardBias);
}

// A byte flag: nonzero is on; an unreadable value keeps the default.
bool ReadFlag(const char* name, bool fallback) {
    uint8_t byte = fallback ? 1 : 0;
    if (!SettingsReadValue(kSettingsSubkey, name, &byte, 1)) {
        return fallback;
    }
    return byte != 0;
}

void ReadTexturePath(const char* name, char (&path)[kSceneTexturePathSize]) {
    if (!SettingsReadString(kSettingsSubkey, name, path, sizeof path)) {
        std::strcpy(path, kSettingsDefaultTexturePath);
    }
}

}  // namespace

int32_t (*sceneStandardBias)() = SystemStandardBias;

void SceneReadLanguage() {
    int32_t language = kSettingsDefaultLanguage;
    if (!SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, sizeof language)) {
        language = kSettingsDefaultLanguage;
        SettingsWriteBinary(kSettingsSubkey, kSettingLanguage, &language, sizeof language);
    }
    UiTextSelectLanguage(language);
}

void SceneReadSettings(SceneOptions& options) {
    ReadTexturePath(kSettingTextures00, options.largeTexturePath);
    ReadTexturePath(kSettingTextures01, options.smallTexturePath);

    options.showText = ReadFlag(kSettingShowText, true);
    options.showStars = ReadFlag(kSettingShowStar, true);
    options.skyView = ReadFlag(kSettingSkyView, kSettingsDefaultSkyView != 0);
    options.showMoonFacts = ReadFlag(kSettingShowMoonFacts, kSettingsDefaultShowMoonFacts != 0);

    int32_t bias = sceneStandardBias != nullptr ? sceneStandardBias() : 0;
    options.place = SettingsReadPlace(uiTextLanguageOffset, bias);
}
