#pragma once

// The machine-wide keys (HKEY_LOCAL_MACHINE): read-only, with one answer,
// the folder of programs that the installer asks for.

#include <string>
#include <vector>

#include "platform/registry_store.h"

// True when `path` (in plain form) is the programs key or one of its ancestors.
bool RegistryMachineKeyExists(const std::string& path);
// The values of a machine key: "ProgramFilesDir" for the programs key,
// none for the others.
void RegistryMachineValues(const std::string& path, std::vector<RegistryValue>* values);
