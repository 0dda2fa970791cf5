#include "settings/data_files.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "settings/settings_store.h"

#ifndef NOCTURO_SYSTEM_DATA_DIR
#define NOCTURO_SYSTEM_DATA_DIR "/usr/share/nocturo"
#endif

namespace {

bool Readable(const std::string& path) {
    return !path.empty() && access(path.c_str(), R_OK) == 0;
}

bool EndsWith(const std::string& text, const char* tail) {
    size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// The folder of the running program, or "" when it cannot be read.
std::string ProgramFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return "";
    }
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        return "";
    }
    *slash = '\0';
    return path;
}

}  // namespace

std::string DataUserFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return std::string(xdg) + "/Nocturo 3D";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/Nocturo 3D";
    }
    return "";
}

std::string DataSystemFolder() {
    std::string folder = ProgramFolder();
    for (const char* installed : {"/bin", "/libexec/xscreensaver", "/libexec/xsecurelock"}) {
        if (EndsWith(folder, installed)) {
            return folder.substr(0, folder.size() - std::strlen(installed)) + "/share/nocturo";
        }
    }
    return NOCTURO_SYSTEM_DATA_DIR;
}

std::string DataFindFile(const char* settingsPath, const char* fileName) {
    std::string named = settingsPath != nullptr ? settingsPath : "";
    if (named != kSettingsDefaultTexturePath && Readable(named)) {
        return named;
    }
    std::string user = DataUserFolder();
    if (!user.empty() && Readable(user + "/" + fileName)) {
        return user + "/" + fileName;
    }
    std::string system = DataSystemFolder() + "/" + fileName;
    if (Readable(system)) {
        return system;
    }
    return named;
}
