#include "installer/setup_steps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "installer/carried_files.h"
#include "installer/picture_unpack.h"
#include "installer/setup_text.h"
#include "platform/registry_store.h"
#include "settings/settings_store.h"

namespace {

// Reads the value as it stands before the installer writes it.
void NoteValueBefore(SetupSession* session, const char* name) {
    for (const SetupValueRecord& record : session->manifest.values) {
        if (record.name == name) {
            return;  // an earlier install already noted what the user had
        }
    }
    SetupValueRecord record;
    record.name = name;
    RegistryKey key;
    std::string path = std::string(kSettingsKeyPrefix) + kSettingsSubkey;
    if (RegistryOpenKey(kRegistryCurrentUser, path.c_str(), kRegistryRead, &key)) {
        RegistryValue value;
        if (RegistryReadValue(&key, name, &value)) {
            record.existedBefore = true;
            record.typeBefore = value.type;
            record.before = value.data;
        }
        RegistryCloseKey(&key);
    }
    session->manifest.values.push_back(record);
}

void NoteValueWritten(SetupSession* session, const char* name, uint32_t type, const void* data,
                      size_t size) {
    for (SetupValueRecord& record : session->manifest.values) {
        if (record.name == name) {
            record.type = type;
            const uint8_t* bytes = static_cast<const uint8_t*>(data);
            record.written.assign(bytes, bytes + size);
        }
    }
}

int WriteText(SetupSession* session, const char* name, const std::string& text) {
    NoteValueBefore(session, name);
    const int ok = SettingsWriteString(kSettingsSubkey, name, text.c_str(),
                                       static_cast<uint32_t>(text.size()));
    NoteValueWritten(session, name, kRegistryTypeString, text.c_str(), text.size() + 1);
    return ok;
}

int WriteBinary(SetupSession* session, const char* name, const void* data, uint32_t size) {
    NoteValueBefore(session, name);
    const int ok = SettingsWriteBinary(kSettingsSubkey, name, data, size);
    NoteValueWritten(session, name, kRegistryTypeBinary, data, size);
    return ok;
}

void Report(const SetupCopyHooks& hooks, const char* text) {
    if (hooks.message != nullptr) {
        hooks.message(hooks.context, text);
    }
}

}  // namespace

int SetupPrepareSettings() {
    return SettingsCreateKey(kSettingsSubkey);
}

int SetupWriteSettings(SetupSession* session) {
    const std::string& folder = session->folder;
    int ok = 1;
    ok &= WriteText(session, kSettingTextures00, folder + kSetupLargePicture);
    ok &= WriteText(session, kSettingTextures01, folder + "moon_256x128.bmp");
    ok &= WriteText(session, kSettingPlaces00, folder + "town_en");
    ok &= WriteText(session, kSettingPlaces01, folder + "town_ru");
    const int32_t language = session->languageOffset == kSetupTextEnglish
                                 ? kSettingsLanguageEnglish
                                 : kSettingsLanguageRussian;
    const uint8_t language_bytes[4] = {
        static_cast<uint8_t>(language), static_cast<uint8_t>(language >> 8),
        static_cast<uint8_t>(language >> 16), static_cast<uint8_t>(language >> 24)};
    ok &= WriteBinary(session, kSettingLanguage, language_bytes, 4);
    const uint8_t on = 1;
    ok &= WriteBinary(session, kSettingShowStar, &on, 1);
    ok &= WriteBinary(session, kSettingShowText, &on, 1);
    session->settingsResult = ok;
    return ok;
}

int SetupProgressStep(int count) {
    return count > 0 ? (100 + count - 1) / count : 0;
}

int SetupCopyCarriedFiles(SetupSession* session, const SetupCopyHooks& hooks) {
    session->copyResult = 0;
    if (!SetupCreateFolder(session->folder, &session->manifest)) {
        return 0;
    }
    char count_text[16];
    SetupLoadString(kCarriedCountString, count_text, sizeof count_text);
    const int count = std::atoi(count_text);
    if (count <= 0) {
        session->copyResult = 1;
        return 1;
    }
    const int step = SetupProgressStep(count);
    int total = 0;
    for (int i = 0; i < count; ++i) {
        if (hooks.pause != nullptr) {
            hooks.pause(50);
        }
        CarriedFile carried;
        char name[259];
        if (!SetupFindResource(kCarriedFirstResource + i, &carried) ||
            SetupLoadString(kCarriedFirstNameString + i, name, sizeof name) == 0) {
            return 0;
        }
        std::string path;
        unsigned mode = 0644;
        if (i == kCarriedSaver) {
            if (!SetupCreateFolder(session->programFolder, &session->manifest)) {
                char message[400];
                SetupCannotWriteMessage(name, message, sizeof message);
                Report(hooks, message);
                return 0;
            }
            path = session->programFolder + "/" + name;
            mode = 0755;
        } else {
            path = session->folder + name;
        }
        if (!SetupWriteFileAtomically(path, carried.data, carried.size, mode)) {
            char message[400];
            SetupCannotWriteMessage(name, message, sizeof message);
            Report(hooks, message);
            return 0;
        }
        if (i == kCarriedSaver) {
            session->saverPath = path;
        }
        if (i != kCarriedPack) {  // the pack is gone once it is unpacked
            SetupManifestAddFile(&session->manifest, path);
        }
        total += step;
        if (hooks.progress != nullptr) {
            hooks.progress(hooks.context, total);
        }
    }
    session->copyResult = 1;
    return 1;
}

int SetupUnpackPicture(SetupSession* session, SetupUnpackControl* control) {
    const std::string pack = session->folder + kSetupPackName;
    const std::string bitmap = session->folder + kSetupLargePicture;
    std::string temporary = session->folder + "." + kSetupLargePicture + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    bool ok = fd >= 0;
    if (ok) {
        close(fd);
        UnpackResult result;
        const long written =
            PictureUnpackWithResult(pack.c_str(), temporary.c_str(), result, stdout);
        std::fflush(stdout);
        // A pack whose check sum fails decodes into a damaged picture: that
        // is no picture to install.
        ok = written > 0 && result.crcMatches && !result.truncated && !result.stalled;
        if (ok) {
            const int sync = open(temporary.c_str(), O_RDONLY);
            ok = sync >= 0 && fsync(sync) == 0 && chmod(temporary.c_str(), 0644) == 0;
            if (sync >= 0) {
                close(sync);
            }
        }
    }
    unlink(pack.c_str());
    std::lock_guard<std::mutex> hold(control->lock);
    if (control->cancelled) {
        ok = false;
    }
    if (ok) {
        ok = rename(temporary.c_str(), bitmap.c_str()) == 0;
    }
    if (!ok && fd >= 0) {
        unlink(temporary.c_str());
    }
    if (ok) {
        SetupManifestAddFile(&session->manifest, bitmap);
    }
    control->finished = true;
    session->unpackResult = ok ? 1 : 0;
    return session->unpackResult;
}
