#pragma once

// The store's files: reading the store file whole, replacing a file
// atomically and durably, the store's folder and its lock.

#include <string>

#include "platform/file_handle.h"

// Reads the store file whole. 1 with *exists false when it is absent; 0 when
// it exists but cannot be read (not a regular file, too large, no access).
int RegistryReadStoreText(const std::string& path, std::string* text, bool* exists);

// Writes `text` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, so the file holds either its old or its new
// content at any moment; then flushes the folder so the rename lasts.
int RegistryReplaceFile(const std::string& directory, const std::string& path,
                        const std::string& text);

// Makes the folder and its missing parents (mode 0700).
int RegistryMakeDirectories(const std::string& path);

// Takes the store's exclusive lock, waiting a bounded time for another
// writer. The lock lasts as long as the returned handle; an invalid handle
// when it could not be taken.
FileHandle RegistryLockStore(const std::string& directory);
