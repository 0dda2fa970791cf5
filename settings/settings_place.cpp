#include "settings/settings_place.h"

#include <cmath>

#include "settings/settings_store.h"
#include "settings/ui_text.h"

namespace {

// Reads a coordinate over `preset`. A value that is no finite angle within
// `limit` degrees is taken as unreadable, like an absent one.
bool ReadCoordinate(const char* name, double preset, double limit, double* result) {
    double value = preset;
    if (!SettingsReadValue(kSettingsSubkey, name, &value, sizeof value) || !std::isfinite(value) ||
        std::fabs(value) > limit) {
        return false;
    }
    *result = value;
    return true;
}

}  // namespace

double SettingsLongitudeFromStandardBias(int32_t standardBiasMinutes) {
    double hours = -static_cast<double>(standardBiasMinutes) / 60.0;
    double whole = std::floor(hours);
    if (hours - whole >= 0.5) {
        whole += 1.0;
    }
    if (whole < -12.0) {
        whole = -12.0;
    } else if (whole > 12.0) {
        whole = 12.0;
    }
    return 15.0 * whole;
}

SettingsPlace SettingsReadPlace(int languageOffset, int32_t standardBiasMinutes) {
    SettingsPlace place;
    double latitudeFallback = languageOffset == kUiTextEnglish ? 40.0 : 55.0;
    if (!ReadCoordinate(kSettingLatitude, latitudeFallback, 90.0, &place.latitude)) {
        place.latitude = latitudeFallback;
        place.latitudeDefaulted = true;
    }
    double longitudeFallback = SettingsLongitudeFromStandardBias(standardBiasMinutes);
    if (!ReadCoordinate(kSettingLongitude, longitudeFallback, 180.0, &place.longitude)) {
        place.longitude = longitudeFallback;
        place.longitudeDefaulted = true;
    }
    return place;
}

SettingsPlace SettingsReadStartPlace(int32_t standardBiasMinutes) {
    int32_t language = kSettingsDefaultLanguage;
    SettingsReadValue(kSettingsSubkey, kSettingLanguage, &language, sizeof language);
    // The saver starts in Russian; Language may switch it.
    return SettingsReadPlace(UiTextOffsetForLanguage(language, kUiTextRussian),
                             standardBiasMinutes);
}
