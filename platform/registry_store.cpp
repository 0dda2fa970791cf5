#include "platform/registry_store.h"

#include <cstring>
#include <functional>

#include "platform/registry_file.h"
#include "platform/registry_machine.h"
#include "platform/registry_names.h"
#include "platform/registry_text.h"
#include "platform/registry_tree.h"

namespace {

std::string lastProblem;  // why the last operation failed because of the store

// Reads the current user's tree. 0 when the file exists but cannot be read,
// or the folder is not one the user alone may write.
int LoadStore(RegistryTree* store, std::string* text) {
    std::string directory = RegistryStoreDirectory();
    if (directory.empty()) {
        lastProblem = "no home folder for the store (HOME is not set)";
        return 0;
    }
    bool exists = false;
    if (!RegistryCheckDirectory(directory, &exists, &lastProblem)) {
        return 0;
    }
    if (!exists) {
        RegistryParse("", store);
        return 1;
    }
    if (!RegistryReadStoreText(RegistryStoreFile(), text, &exists, &lastProblem)) {
        return 0;
    }
    RegistryParse(*text, store);
    return 1;
}

// One read-modify-write of the current user's tree under the lock. `change`
// returns 0 to leave the store as it is.
int ModifyStore(const std::function<int(RegistryTree*)>& change) {
    std::string directory = RegistryStoreDirectory();
    if (directory.empty()) {
        lastProblem = "no home folder for the store (HOME is not set)";
        return 0;
    }
    if (!RegistryMakeDirectories(directory, &lastProblem)) {
        return 0;
    }
    FileHandle lock = RegistryLockStore(directory, &lastProblem);
    if (!lock.valid()) {
        return 0;
    }
    RegistryTree store;
    std::string oldText;
    if (!LoadStore(&store, &oldText) || !change(&store)) {
        return 0;
    }
    std::string file = RegistryStoreFile();
    if (store.damaged) {
        // Keep what could not be read for a person to look at.
        std::string ignored;
        RegistryReplaceFile(directory, file + ".damaged", oldText, &ignored);
    }
    return RegistryReplaceFile(directory, file, RegistrySerialize(store), &lastProblem);
}

// The values of an open key as stored now. 0 when the key is gone.
int KeyValues(const RegistryKey* key, std::vector<RegistryValue>* values) {
    if (key == nullptr || !key->open) {
        return 0;
    }
    if (key->root == kRegistryLocalMachine) {
        RegistryMachineValues(key->path, values);
        return 1;
    }
    RegistryTree store;
    std::string text;
    if (!LoadStore(&store, &text)) {
        return 0;
    }
    RegistryTreeKey* found = RegistryFindKey(&store, key->path);
    if (found == nullptr) {
        return 0;
    }
    *values = std::move(found->values);
    return 1;
}

}  // namespace

int RegistryOpenKey(RegistryRoot root, const char* path, int access, RegistryKey* key) {
    lastProblem.clear();
    std::string normal;
    if (key == nullptr || !RegistryNormalizePath(path, &normal) ||
        (access & (kRegistryRead | kRegistryWrite)) == 0) {
        return 0;
    }
    if (root == kRegistryLocalMachine) {
        // The machine's keys belong to the system: readable, never writable.
        if ((access & kRegistryWrite) != 0 || !RegistryMachineKeyExists(normal)) {
            return 0;
        }
    } else if (root == kRegistryCurrentUser) {
        if (!normal.empty()) {
            RegistryTree store;
            std::string text;
            if (!LoadStore(&store, &text) || RegistryFindKey(&store, normal) == nullptr) {
                return 0;
            }
        }
    } else {
        return 0;
    }
    key->root = root;
    key->path = normal;
    key->access = access;
    key->open = true;
    return 1;
}

int RegistryCreateKey(const RegistryKey* parent, const char* name, int access, RegistryKey* child) {
    lastProblem.clear();
    std::vector<std::string> relative;
    if (parent == nullptr || child == nullptr || !parent->open ||
        parent->root != kRegistryCurrentUser || (parent->access & kRegistryWrite) == 0 ||
        name == nullptr || !RegistrySplitPath(name, &relative) || relative.empty() ||
        (access & (kRegistryRead | kRegistryWrite)) == 0) {
        return 0;
    }
    std::vector<std::string> components;
    RegistrySplitPath(parent->path, &components);
    components.insert(components.end(), relative.begin(), relative.end());
    std::string path = RegistryJoinPath(components, components.size());
    if (path.size() > kRegistryMaxPathLength) {
        return 0;
    }
    int ok = ModifyStore([&](RegistryTree* store) {
        if (RegistryFindKey(store, parent->path) == nullptr) {
            return 0;  // the parent went away meanwhile
        }
        if (RegistryFindKey(store, path) == nullptr) {
            RegistryAddKey(store, components);
        }
        return 1;
    });
    if (!ok) {
        return 0;
    }
    child->root = kRegistryCurrentUser;
    child->path = path;
    child->access = access;
    child->open = true;
    return 1;
}

int RegistryQueryValue(const RegistryKey* key, const char* name, uint32_t* type, void* data,
                       uint32_t* size) {
    lastProblem.clear();
    if (key == nullptr || !key->open || (key->access & kRegistryRead) == 0 ||
        !RegistryValidValueName(name) || size == nullptr) {
        return 0;
    }
    std::vector<RegistryValue> values;
    if (!KeyValues(key, &values)) {
        return 0;
    }
    for (const RegistryValue& value : values) {
        if (!RegistrySameName(value.name, name)) {
            continue;
        }
        uint32_t room = *size;
        uint32_t length = static_cast<uint32_t>(value.data.size());
        if (type != nullptr) {
            *type = value.type;
        }
        *size = length;
        if (data == nullptr) {
            return 1;
        }
        if (length > room) {
            return 0;
        }
        if (length > 0) {
            std::memcpy(data, value.data.data(), length);
        }
        return 1;
    }
    return 0;
}

int RegistryReadValue(const RegistryKey* key, const char* name, RegistryValue* value) {
    lastProblem.clear();
    if (key == nullptr || value == nullptr || !key->open || (key->access & kRegistryRead) == 0 ||
        !RegistryValidValueName(name)) {
        return 0;
    }
    std::vector<RegistryValue> values;
    if (!KeyValues(key, &values)) {
        return 0;
    }
    for (RegistryValue& candidate : values) {
        if (RegistrySameName(candidate.name, name)) {
            *value = std::move(candidate);
            return 1;
        }
    }
    return 0;
}

int RegistrySetValue(const RegistryKey* key, const char* name, uint32_t type, const void* data,
                     uint32_t size) {
    lastProblem.clear();
    if (key == nullptr || !key->open || key->root != kRegistryCurrentUser ||
        (key->access & kRegistryWrite) == 0 || !RegistryValidValueName(name) ||
        size > kRegistryMaxValueSize || (data == nullptr && size > 0)) {
        return 0;
    }
    // A write to a key that is gone fails before anything is made or locked,
    // so a saver without settings leaves no trace in the user's folders.
    std::vector<RegistryValue> current;
    if (!KeyValues(key, &current)) {
        return 0;
    }
    RegistryValue value{name, type, {}};
    if (size > 0) {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        value.data.assign(bytes, bytes + size);
    }
    return ModifyStore([&](RegistryTree* store) {
        RegistryTreeKey* found = RegistryFindKey(store, key->path);
        if (found == nullptr) {
            return 0;  // a write never brings a key back
        }
        RegistryPutValue(found, std::move(value));
        return 1;
    });
}

int RegistryDeleteValue(const RegistryKey* key, const char* name) {
    lastProblem.clear();
    if (key == nullptr || !key->open || key->root != kRegistryCurrentUser ||
        (key->access & kRegistryWrite) == 0 || !RegistryValidValueName(name)) {
        return 0;
    }
    return ModifyStore([&](RegistryTree* store) {
        RegistryTreeKey* found = RegistryFindKey(store, key->path);
        return found != nullptr && RegistryEraseValue(found, name) ? 1 : 0;
    });
}

int RegistryListValues(const RegistryKey* key, std::vector<RegistryValue>* values) {
    lastProblem.clear();
    if (key == nullptr || values == nullptr || (key->access & kRegistryRead) == 0) {
        return 0;
    }
    return KeyValues(key, values);
}

void RegistryCloseKey(RegistryKey* key) {
    if (key != nullptr) {
        key->open = false;
        key->path.clear();
        key->access = 0;
    }
}

int RegistryStoreIsSound(std::string* problem) {
    lastProblem.clear();
    RegistryTree store;
    std::string text;
    if (!LoadStore(&store, &text)) {
        if (problem != nullptr) {
            *problem = lastProblem;
        }
        return 0;
    }
    if (problem != nullptr) {
        *problem = store.problem;
    }
    return store.damaged ? 0 : 1;
}

std::string RegistryStoreProblem() {
    return lastProblem;
}
