#include "platform/registry_machine.h"

#include "platform/registry_location.h"
#include "platform/registry_names.h"

namespace {

constexpr const char* kMachineProgramsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

}  // namespace

bool RegistryMachineKeyExists(const std::string& path) {
    std::vector<std::string> wanted;
    std::vector<std::string> components;
    RegistrySplitPath(kMachineProgramsKey, &wanted);
    if (!RegistrySplitPath(path, &components) || components.size() > wanted.size()) {
        return false;
    }
    for (size_t i = 0; i < components.size(); ++i) {
        if (!RegistrySameName(components[i], wanted[i])) {
            return false;
        }
    }
    return true;
}

void RegistryMachineValues(const std::string& path, std::vector<RegistryValue>* values) {
    values->clear();
    if (!RegistrySameName(path, kMachineProgramsKey)) {
        return;
    }
    std::string folder = RegistryXdgDirectory("XDG_DATA_HOME", ".local/share");
    if (folder.empty()) {
        return;
    }
    RegistryValue value{"ProgramFilesDir", kRegistryTypeString, {}};
    value.data.assign(folder.begin(), folder.end());
    value.data.push_back(0);
    values->push_back(std::move(value));
}
