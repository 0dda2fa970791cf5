#include "installer/setup_uninstall.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "installer/desktop_handover.h"
#include "installer/setup_manifest.h"
#include "installer/xscreensaver_programs.h"
#include "platform/registry_store.h"
#include "settings/settings_store.h"

namespace {

int RemoveXscreensaverEntry(const SetupManifest& manifest, FILE* out) {
    if (manifest.xscreensaverEntry.empty()) {
        return 1;
    }
    std::string path = SetupXscreensaverFile();
    char resolved[4096];
    if (realpath(path.c_str(), resolved) != nullptr) {
        path = resolved;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return 1;  // the user removed the file meanwhile
    }
    std::ostringstream content;
    content << in.rdbuf();
    const std::string before = content.str();
    const std::string after =
        XscreensaverRemoveEntry(before, manifest.xscreensaverEntry, manifest.xscreensaverReplaced);
    if (manifest.xscreensaverCreated && SetupTextHash(after) == manifest.xscreensaverCreatedHash) {
        // The installer made the file and nobody changed it since.
        if (unlink(path.c_str()) != 0) {
            return 0;
        }
        std::fprintf(out, "Removed %s\n", path.c_str());
        return 1;
    }
    if (after == before) {
        return 1;
    }
    struct stat info {};
    const unsigned mode = stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0644;
    if (!SetupWriteFileAtomically(path, after.data(), after.size(), mode)) {
        return 0;
    }
    std::fprintf(out, "Removed the Nocturo 3D entry from %s\n", path.c_str());
    return 1;
}

int RestoreSettings(const SetupManifest& manifest, FILE* out) {
    if (manifest.values.empty()) {
        return 1;
    }
    RegistryKey key;
    const std::string path = std::string(kSettingsKeyPrefix) + kSettingsSubkey;
    if (!RegistryOpenKey(kRegistryCurrentUser, path.c_str(), kRegistryWrite | kRegistryRead,
                         &key)) {
        return 1;  // the settings are gone already
    }
    int ok = 1;
    for (const SetupValueRecord& record : manifest.values) {
        RegistryValue now;
        if (!RegistryReadValue(&key, record.name.c_str(), &now) || now.type != record.type ||
            now.data != record.written) {
            continue;  // changed since: the user's value now
        }
        if (record.existedBefore) {
            ok &=
                RegistrySetValue(&key, record.name.c_str(), record.typeBefore, record.before.data(),
                                 static_cast<uint32_t>(record.before.size()));
            std::fprintf(out, "Restored the setting %s\n", record.name.c_str());
        } else {
            ok &= RegistryDeleteValue(&key, record.name.c_str());
            std::fprintf(out, "Removed the setting %s\n", record.name.c_str());
        }
    }
    RegistryCloseKey(&key);
    return ok;
}

}  // namespace

int SetupUninstall(const std::string& manifestPath, FILE* out) {
    SetupManifest manifest;
    if (!SetupManifestLoad(manifestPath, &manifest)) {
        std::fprintf(out, "Nocturo 3D is not installed for this user (no record %s).\n",
                     manifestPath.c_str());
        return 0;
    }
    int ok = RemoveXscreensaverEntry(manifest, out);
    for (const std::string& file : manifest.files) {
        if (unlink(file.c_str()) == 0) {
            std::fprintf(out, "Removed %s\n", file.c_str());
        } else if (errno != ENOENT) {
            std::fprintf(out, "Could not remove %s\n", file.c_str());
            ok = 0;
        }
    }
    ok &= RestoreSettings(manifest, out);
    if (unlink(manifestPath.c_str()) != 0 && errno != ENOENT) {
        ok = 0;
    }
    // The folders it made, the deepest first; a folder that holds something
    // of the user's stays.
    for (auto folder = manifest.folders.rbegin(); folder != manifest.folders.rend(); ++folder) {
        if (rmdir(folder->c_str()) == 0) {
            std::fprintf(out, "Removed %s/\n", folder->c_str());
        }
    }
    return ok;
}
