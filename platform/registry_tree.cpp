#include "platform/registry_tree.h"

#include "platform/registry_names.h"

RegistryTreeKey* RegistryFindKey(RegistryTree* tree, const std::string& path) {
    for (RegistryTreeKey& key : tree->keys) {
        if (RegistrySameName(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

RegistryTreeKey* RegistryAddKey(RegistryTree* tree, const std::vector<std::string>& components) {
    RegistryTreeKey* key = RegistryFindKey(tree, "");
    if (key == nullptr) {
        tree->keys.insert(tree->keys.begin(), RegistryTreeKey{});
        key = &tree->keys.front();
    }
    for (size_t depth = 1; depth <= components.size(); ++depth) {
        std::string path = RegistryJoinPath(components, depth);
        key = RegistryFindKey(tree, path);
        if (key == nullptr) {
            tree->keys.push_back(RegistryTreeKey{path, {}});
            key = &tree->keys.back();
        }
    }
    return key;
}

RegistryValue* RegistryFindValue(RegistryTreeKey* key, const std::string& name) {
    for (RegistryValue& value : key->values) {
        if (RegistrySameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void RegistryPutValue(RegistryTreeKey* key, RegistryValue value) {
    RegistryValue* existing = RegistryFindValue(key, value.name);
    if (existing != nullptr) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key->values.push_back(std::move(value));
    }
}

bool RegistryEraseValue(RegistryTreeKey* key, const std::string& name) {
    for (auto it = key->values.begin(); it != key->values.end(); ++it) {
        if (RegistrySameName(it->name, name)) {
            key->values.erase(it);
            return true;
        }
    }
    return false;
}
