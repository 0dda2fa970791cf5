#include "platform/registry_tree.h"

#include "platform/registry_names.h"

namespace {

RegistryTreeKey* Append(RegistryTree* tree, std::string path, bool atFront) {
    std::string folded = RegistryFoldName(path);
    if (atFront) {
        tree->keys.push_front(RegistryTreeKey{std::move(path), {}, {}});
    } else {
        tree->keys.push_back(RegistryTreeKey{std::move(path), {}, {}});
    }
    RegistryTreeKey* key = atFront ? &tree->keys.front() : &tree->keys.back();
    tree->keyIndex[folded] = key;  // a deque keeps its elements in place
    return key;
}

}  // namespace

RegistryTreeKey* RegistryFindKey(RegistryTree* tree, const std::string& path) {
    auto found = tree->keyIndex.find(RegistryFoldName(path));
    return found != tree->keyIndex.end() ? found->second : nullptr;
}

RegistryTreeKey* RegistryAddKey(RegistryTree* tree, const std::vector<std::string>& components) {
    RegistryTreeKey* key = RegistryFindKey(tree, "");
    if (key == nullptr) {
        key = Append(tree, "", true);
    }
    std::string path;
    for (size_t depth = 0; depth < components.size(); ++depth) {
        path += (depth > 0 ? "\\" : "") + components[depth];
        key = RegistryFindKey(tree, path);
        if (key == nullptr) {
            key = Append(tree, path, false);
        }
    }
    return key;
}

RegistryValue* RegistryFindValue(RegistryTreeKey* key, const std::string& name) {
    auto found = key->valueIndex.find(RegistryFoldName(name));
    return found != key->valueIndex.end() ? &key->values[found->second] : nullptr;
}

void RegistryPutValue(RegistryTreeKey* key, RegistryValue value) {
    RegistryValue* existing = RegistryFindValue(key, value.name);
    if (existing != nullptr) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key->valueIndex[RegistryFoldName(value.name)] = key->values.size();
        key->values.push_back(std::move(value));
    }
}

bool RegistryEraseValue(RegistryTreeKey* key, const std::string& name) {
    auto found = key->valueIndex.find(RegistryFoldName(name));
    if (found == key->valueIndex.end()) {
        return false;
    }
    size_t place = found->second;
    key->values.erase(key->values.begin() + static_cast<std::ptrdiff_t>(place));
    key->valueIndex.erase(found);
    for (auto& [folded, index] : key->valueIndex) {
        if (index > place) {
            --index;
        }
    }
    return true;
}
