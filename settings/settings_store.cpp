#include "settings/settings_store.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "platform/registry_store.h"

const SettingsValueInfo settingsValues[kSettingsValueCount] = {
    {kSettingLanguage, kSettingsInt32, 4},      {kSettingShowStar, kSettingsByte, 1},
    {kSettingShowText, kSettingsByte, 1},       {kSettingLatitude, kSettingsDouble, 8},
    {kSettingLongitude, kSettingsDouble, 8},    {kSettingPlaceOther, kSettingsByte, 1},
    {kSettingCityCurrentEn, kSettingsInt32, 4}, {kSettingCityCurrentRu, kSettingsInt32, 4},
    {kSettingPlaces00, kSettingsText, 300},     {kSettingPlaces01, kSettingsText, 300},
    {kSettingTextures00, kSettingsText, 100},   {kSettingTextures01, kSettingsText, 100},
    {kSettingSkyView, kSettingsByte, 1},        {kSettingShowMoonFacts, kSettingsByte, 1},
};

namespace {

// "SOFTWARE\Quillfen\Nocturo\" + subkey; 0 when it does not fit the path
// buffer, rather than cutting the name short.
int BuildKeyPath(const char* subkey, char (&path)[kSettingsKeyPathSize]) {
    if (subkey == nullptr) {
        return 0;
    }
    size_t prefix = std::strlen(kSettingsKeyPrefix);
    size_t length = std::strlen(subkey);
    if (prefix + length + 1 > sizeof path) {
        return 0;
    }
    std::memcpy(path, kSettingsKeyPrefix, prefix);
    std::memcpy(path + prefix, subkey, length + 1);
    return 1;
}

int OpenSubkey(const char* subkey, int access, RegistryKey* key) {
    char path[kSettingsKeyPathSize];
    return BuildKeyPath(subkey, path) && RegistryOpenKey(kRegistryCurrentUser, path, access, key);
}

int ReadTyped(const char* subkey, const char* name, void* buffer, uint32_t size, bool textOnly) {
    if (name == nullptr || (buffer == nullptr && size > 0)) {
        return 0;
    }
    RegistryKey key;
    if (!OpenSubkey(subkey, kRegistryRead, &key)) {
        return 0;
    }
    // The whole value in one read of the store, so that a value another
    // program changes meanwhile is taken whole or not at all, and nothing
    // touches the buffer unless the value is accepted.
    RegistryValue value;
    int ok = RegistryReadValue(&key, name, &value) && value.data.size() <= size;
    if (ok && textOnly) {
        // Text must end in its zero, or its readers would run past the buffer.
        ok = value.type == kRegistryTypeString && !value.data.empty() && value.data.back() == 0;
    }
    if (ok && !value.data.empty()) {
        std::memcpy(buffer, value.data.data(), value.data.size());
    }
    RegistryCloseKey(&key);
    return ok;
}

int Write(const char* subkey, const char* name, uint32_t type, const void* data, uint32_t size) {
    if (name == nullptr) {
        return 0;
    }
    RegistryKey key;
    if (!OpenSubkey(subkey, kRegistryWrite, &key)) {
        return 0;
    }
    int ok = RegistrySetValue(&key, name, type, data, size);
    RegistryCloseKey(&key);
    return ok;
}

}  // namespace

int SettingsCreateKey(const char* subkey) {
    RegistryKey software;
    // The root itself always exists; SOFTWARE is made when missing, as a
    // fresh per-user store starts empty.
    RegistryKey user;
    if (!RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &user) ||
        !RegistryCreateKey(&user, "SOFTWARE", kRegistryWrite, &software)) {
        return 0;
    }
    RegistryKey quillfen;
    RegistryKey nocturo;
    int ok = RegistryCreateKey(&software, "Quillfen", kRegistryWrite, &quillfen) &&
             RegistryCreateKey(&quillfen, "Nocturo", kRegistryWrite, &nocturo);
    RegistryCloseKey(&software);
    RegistryCloseKey(&quillfen);
    RegistryCloseKey(&nocturo);
    if (!ok) {
        return 0;
    }
    RegistryKey parent;
    if (!RegistryOpenKey(kRegistryCurrentUser, "SOFTWARE\\Quillfen\\Nocturo", kRegistryWrite,
                         &parent)) {
        return 0;
    }
    char path[kSettingsKeyPathSize];
    RegistryKey child;
    if (subkey != nullptr && BuildKeyPath(subkey, path) &&
        RegistryCreateKey(&parent, subkey, kRegistryWrite, &child)) {
        RegistryCloseKey(&child);
    }
    RegistryCloseKey(&parent);
    return 1;
}

int SettingsReadValue(const char* subkey, const char* name, void* buffer, uint32_t size) {
    return ReadTyped(subkey, name, buffer, size, false);
}

int SettingsReadString(const char* subkey, const char* name, char* buffer, uint32_t size) {
    return ReadTyped(subkey, name, buffer, size, true);
}

int SettingsWriteBinary(const char* subkey, const char* name, const void* data, uint32_t size) {
    if (data == nullptr && size > 0) {
        return 0;
    }
    return Write(subkey, name, kRegistryTypeBinary, data, size);
}

int SettingsWriteString(const char* subkey, const char* name, const char* text, uint32_t length) {
    if (text == nullptr || length >= kRegistryMaxValueSize) {
        return 0;
    }
    // Never reads past the text's own zero, and always ends the value with one.
    std::string value(text, strnlen(text, length));
    return Write(subkey, name, kRegistryTypeString, value.c_str(),
                 static_cast<uint32_t>(value.size()) + 1);
}

const SettingsValueInfo* SettingsFindValue(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (const SettingsValueInfo& info : settingsValues) {
        if (strcasecmp(info.name, name) == 0) {
            return &info;
        }
    }
    return nullptr;
}
