#pragma once

// The settings of both programs: one key, SOFTWARE\Quillfen\Nocturo\Setting
// of the current user, and the twelve values it holds. Every operation opens
// the key, does one thing and closes it again; each returns 1 on success and
// 0 on failure, and no failure is ever shown to the user.

#include <cstdint>

// The subkey every caller names, and the fixed start of its path.
constexpr const char* kSettingsSubkey = "Setting";
constexpr const char* kSettingsKeyPrefix = "SOFTWARE\\Quillfen\\Nocturo\\";
constexpr int kSettingsKeyPathSize = 200;  // room for the whole path and its zero

// Makes sure SOFTWARE\Quillfen\Nocturo exists and creates the subkey below
// it. 0 when SOFTWARE cannot be opened or Quillfen or Nocturo cannot be
// created; a failure to create the subkey itself is not reported.
int SettingsCreateKey(const char* subkey);

// Reads a value of any type into buffer[0 .. size). Fails, leaving the buffer
// as it was, when the key or the value is missing or the value is longer
// than `size`; a shorter value fills only its own length.
int SettingsReadValue(const char* subkey, const char* name, void* buffer, uint32_t size);

// As SettingsReadValue, but only a text value (with its terminating zero) is
// accepted.
int SettingsReadString(const char* subkey, const char* name, char* buffer, uint32_t size);

// Sets a binary value of `size` bytes. The key must exist: a write never
// creates it, and a write to a missing key is lost.
int SettingsWriteBinary(const char* subkey, const char* name, const void* data, uint32_t size);

// Sets a text value: the first `length` bytes of `text` and a terminating
// zero. The key must exist.
int SettingsWriteString(const char* subkey, const char* name, const char* text, uint32_t length);

// The twelve values of the Setting key.
constexpr const char* kSettingLanguage = "Language";
constexpr const char* kSettingShowStar = "ShowStar";
constexpr const char* kSettingShowText = "ShowText";
constexpr const char* kSettingLatitude = "Latitude";
constexpr const char* kSettingLongitude = "Longitude";
constexpr const char* kSettingPlaceOther = "PlaceOther";
constexpr const char* kSettingCityCurrentEn = "CityCurrent_en";
constexpr const char* kSettingCityCurrentRu = "CityCurrent_ru";
constexpr const char* kSettingPlaces00 = "places00";
constexpr const char* kSettingPlaces01 = "places01";
constexpr const char* kSettingTextures00 = "textures00";
constexpr const char* kSettingTextures01 = "textures01";
constexpr const char* kSettingSkyView = "SkyView";
constexpr const char* kSettingShowMoonFacts = "ShowMoonFacts";

// How a value is written and what its readers hold it in.
enum SettingsKind : int {
    kSettingsInt32 = 0,   // 4-byte binary, signed, little-endian
    kSettingsByte = 1,    // 1-byte binary
    kSettingsDouble = 2,  // 8-byte binary, IEEE 754
    kSettingsText = 3,    // text with its terminating zero
};

struct SettingsValueInfo {
    const char* name;
    SettingsKind kind;
    uint32_t readerSize;  // the buffer its readers read it into
};

constexpr int kSettingsValueCount = 14;
extern const SettingsValueInfo settingsValues[kSettingsValueCount];

// The entry for a value name (compared without regard to case), or null.
const SettingsValueInfo* SettingsFindValue(const char* name);

// Defaults that are the same for every reader.
constexpr int32_t kSettingsDefaultLanguage = 0;  // English
constexpr uint8_t kSettingsDefaultShowStar = 1;
constexpr uint8_t kSettingsDefaultShowText = 1;
constexpr uint8_t kSettingsDefaultSkyView = 0;        // the Moon drawn north up
constexpr uint8_t kSettingsDefaultShowMoonFacts = 0;  // no facts block
constexpr uint8_t kSettingsDefaultPlaceOther = 0;
constexpr int32_t kSettingsDefaultCityCurrent = -1;  // the time zone's default city
constexpr const char* kSettingsDefaultTexturePath = "null";
// Language values; any other keeps the language already selected.
constexpr int32_t kSettingsLanguageEnglish = 0;
constexpr int32_t kSettingsLanguageRussian = 1;
