#include "platform/registry_names.h"

#include <cstring>

#include "platform/registry_store.h"

namespace {

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool ValidComponent(const std::string& component) {
    if (component.empty() || component.size() > kRegistryMaxNameLength) {
        return false;
    }
    for (unsigned char c : component) {
        if (RegistryIsControl(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string RegistryFoldName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        c = FoldCase(c);
    }
    return folded;
}

bool RegistrySameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

bool RegistryIsControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

bool RegistrySplitPath(const std::string& path, std::vector<std::string>* components) {
    if (path.size() > kRegistryMaxPathLength) {
        return false;
    }
    components->clear();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string component = path.substr(start, end - start);
        if (!component.empty()) {
            if (!ValidComponent(component)) {
                return false;
            }
            components->push_back(component);
        }
        start = end + 1;
    }
    return true;
}

std::string RegistryJoinPath(const std::vector<std::string>& components, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            path += '\\';
        }
        path += components[i];
    }
    return path;
}

bool RegistryNormalizePath(const char* path, std::string* normal) {
    std::vector<std::string> components;
    if (path == nullptr || !RegistrySplitPath(path, &components)) {
        return false;
    }
    *normal = RegistryJoinPath(components, components.size());
    return true;
}

bool RegistryValidValueName(const char* name) {
    return name != nullptr && std::strlen(name) <= kRegistryMaxNameLength;
}
