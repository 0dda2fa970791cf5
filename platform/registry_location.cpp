#include "platform/registry_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/registry_store.h"

namespace {

constexpr const char* kStoreFileName = "user.reg";

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string RegistryHomeDirectory() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) {
        return home;
    }
    struct passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::string();
}

std::string RegistryXdgDirectory(const char* variable, const char* fallback) {
    std::string value = EnvironmentValue(variable);
    if (!value.empty() && value[0] == '/') {
        return value;
    }
    std::string home = RegistryHomeDirectory();
    if (home.empty()) {
        return std::string();
    }
    return home + "/" + fallback;
}

std::string RegistryStoreDirectory() {
    std::string chosen = EnvironmentValue(kRegistryStoreEnvironment);
    if (!chosen.empty()) {
        return chosen;
    }
    std::string config = RegistryXdgDirectory("XDG_CONFIG_HOME", ".config");
    return config.empty() ? std::string() : config + "/nocturo/registry";
}

std::string RegistryStoreFile() {
    std::string directory = RegistryStoreDirectory();
    return directory.empty() ? std::string() : directory + "/" + kStoreFileName;
}
