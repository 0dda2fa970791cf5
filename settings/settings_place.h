#pragma once

// The observer's place and the interface language as the screen saver takes
// them from the settings when it starts, with their fallbacks. Shared by the
// scene and the tools, so that both see the same place.

#include <cstdint>

struct SettingsPlace {
    double latitude = 0.0;            // degrees, north positive
    double longitude = 0.0;           // degrees, east positive
    bool latitudeDefaulted = false;   // the latitude was unreadable; a fallback stands in
    bool longitudeDefaulted = false;  // likewise the longitude

    bool Defaulted() const { return latitudeDefaulted || longitudeDefaulted; }
};

// The longitude that stands in for an absent one: 15 degrees for each whole
// hour of the standard-time offset, halves rounded up, at most 12 hours
// either way. `standardBiasMinutes` follows UTC = local time + bias.
double SettingsLongitudeFromStandardBias(int32_t standardBiasMinutes);

// Reads Latitude and Longitude. An absent or unreadable latitude becomes
// 40.0 in English and 55.0 in Russian; an absent longitude comes from the
// standard bias; either marks the place as defaulted. A value shorter than
// 8 bytes replaces only the first bytes of the fallback, as every reader
// presets its target; a value that is no finite angle counts as unreadable.
SettingsPlace SettingsReadPlace(int languageOffset, int32_t standardBiasMinutes);

// The place as the screen saver takes it when it starts, without changing
// anything: the language that Language selects from the start-up language
// (Russian) decides the latitude's fallback; nothing is written back.
SettingsPlace SettingsReadStartPlace(int32_t standardBiasMinutes);
