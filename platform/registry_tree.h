#pragma once

// The current user's keys and values in memory, as one operation reads them
// from the store file, changes them and writes them back.

#include <string>
#include <vector>

#include "platform/registry_store.h"

struct RegistryTreeKey {
    std::string path;                   // components joined with '\', "" for the root
    std::vector<RegistryValue> values;  // in stored order
};

struct RegistryTree {
    std::vector<RegistryTreeKey> keys;  // every key, ancestors before descendants
    bool damaged = false;               // some of the text could not be read
    std::string problem;                // the first difficulty, for a person
};

// The key with this path (compared without regard to case), or null.
RegistryTreeKey* RegistryFindKey(RegistryTree* tree, const std::string& path);
// Makes sure the key and all its ancestors exist; returns the key.
RegistryTreeKey* RegistryAddKey(RegistryTree* tree, const std::vector<std::string>& components);
// The value with this name in a key, or null.
RegistryValue* RegistryFindValue(RegistryTreeKey* key, const std::string& name);
// Sets a value, keeping its place when it exists, appending it otherwise.
void RegistryPutValue(RegistryTreeKey* key, RegistryValue value);
// Removes a value; false when there is none of that name.
bool RegistryEraseValue(RegistryTreeKey* key, const std::string& name);
