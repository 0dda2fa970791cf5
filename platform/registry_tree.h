#pragma once

// The current user's keys and values in memory, as one operation reads them
// from the store file, changes them and writes them back. Keys and values
// are found through indexes of their case-folded names, so reading or
// changing a store of n values costs O(n) lookups of O(1) each, not O(n²).

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry_store.h"

struct RegistryTreeKey {
    std::string path;                   // components joined with '\', "" for the root
    std::vector<RegistryValue> values;  // in stored order; change through the functions below
    std::unordered_map<std::string, size_t> valueIndex;  // folded name -> place in values
};

struct RegistryTree {
    std::deque<RegistryTreeKey> keys;  // every key, ancestors before descendants
    std::unordered_map<std::string, RegistryTreeKey*> keyIndex;  // folded path -> key
    bool damaged = false;  // some of the text could not be read
    std::string problem;   // the first difficulty, for a person
};

// The key with this path (compared without regard to case), or null.
RegistryTreeKey* RegistryFindKey(RegistryTree* tree, const std::string& path);
// Makes sure the key and all its ancestors exist; returns the key. Keys
// stay where they are while others are added.
RegistryTreeKey* RegistryAddKey(RegistryTree* tree, const std::vector<std::string>& components);
// The value with this name in a key, or null.
RegistryValue* RegistryFindValue(RegistryTreeKey* key, const std::string& name);
// Sets a value, keeping its place when it exists, appending it otherwise.
void RegistryPutValue(RegistryTreeKey* key, RegistryValue value);
// Removes a value; false when there is none of that name.
bool RegistryEraseValue(RegistryTreeKey* key, const std::string& name);
