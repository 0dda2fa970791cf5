#include "scene/scene_settings.h"

#include <cstring>

#include "ephemeris/observer.h"
#include "platform/time_zone.h"
#include "scene/scene_state.h"
#include "settings/settings_place.h"
#include "settings/settings_store.h"
#include "settings/ui_text.h"

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

void ReadTexturePath(const char* name, char (&path)[100]) {
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

void SceneReadSettings() {
    ReadTexturePath(kSettingTextures00, sceneState.largeTexturePath);
    ReadTexturePath(kSettingTextures01, sceneState.smallTexturePath);

    sceneState.showText = ReadFlag(kSettingShowText, true);
    sceneState.showStars = ReadFlag(kSettingShowStar, true);
    sceneState.skyView = ReadFlag(kSettingSkyView, kSettingsDefaultSkyView != 0);
    sceneState.showMoonFacts = ReadFlag(kSettingShowMoonFacts, kSettingsDefaultShowMoonFacts != 0);

    int32_t bias = sceneStandardBias != nullptr ? sceneStandardBias() : 0;
    SettingsPlace place = SettingsReadPlace(uiTextLanguageOffset, bias);
    observer.latitude = place.latitude;
    observer.longitude = place.longitude;
    if (place.Defaulted()) {
        sceneState.placeDefaulted = true;
    }
}
