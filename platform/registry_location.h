#pragma once

// Where the store lives (RegistryStoreDirectory and RegistryStoreFile are
// declared in registry_store.h) and the folders it derives from.

#include <string>

// The home folder: $HOME, or the password database's entry when HOME is
// unset (screen-saver daemons may start programs with a bare environment).
// Empty when neither gives one.
std::string RegistryHomeDirectory();

// An XDG base folder: the variable when it holds an absolute path,
// otherwise the home folder followed by `fallback`.
std::string RegistryXdgDirectory(const char* variable, const char* fallback);
