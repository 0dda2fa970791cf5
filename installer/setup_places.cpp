#include "installer/setup_places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/settings_store.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) {
        return "/";
    }
    return buffer.data();
}

}  // namespace

std::string SetupHomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty()) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string SetupDataHome() {
    // The base directory rules: a relative value is to be ignored.
    std::string data = Environment("XDG_DATA_HOME");
    if (!data.empty() && data[0] == '/') {
        return data;
    }
    return SetupHomeFolder() + "/.local/share";
}

std::string SetupDefaultFolder() {
    return SetupDataHome() + "/Nocturo 3D";
}

std::string SetupProgramFolder() {
    return SetupHomeFolder() + "/.local/bin";
}

SetupFolderCheck SetupNormalizeFolder(const std::string& typed, std::string* folder) {
    const size_t first = typed.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return kSetupFolderIsEmpty;
    }
    const size_t last = typed.find_last_not_of(" \t\r\n");
    std::string path = typed.substr(first, last - first + 1);
    if (path == "~") {
        path = SetupHomeFolder();
    } else if (path.rfind("~/", 0) == 0) {
        path = SetupHomeFolder() + path.substr(1);
    } else if (path[0] != '/') {
        path = CurrentDirectory() + "/" + path;
    }
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    // The saver reads each picture path into a buffer of fixed size; a path
    // that does not fit would leave it without its picture.
    const SettingsValueInfo* texture = SettingsFindValue(kSettingTextures00);
    const std::string largest = path + "moon_2048x1024.bmp";
    if (texture != nullptr && largest.size() + 1 > texture->readerSize) {
        return kSetupFolderLong;
    }
    *folder = path;
    return kSetupFolderOk;
}
