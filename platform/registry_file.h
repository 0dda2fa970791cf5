#pragma once

// The store's files: reading the store file whole, replacing a file
// atomically and durably, the store's folder and its lock. Each function
// that fails for a reason a person must know sets `problem` to one line.
//
// Nothing here follows a symbolic link or waits on a special file: the
// store file, its temporary files and the lock must be regular files in a
// folder of the user's own that nobody else may write.

#include <string>

#include "platform/file_handle.h"

// A larger store file is not ours to parse.
constexpr size_t kRegistryMaxFileSize = 64u << 20;

// Reads the store file whole. 1 with *exists false when it is absent; 0 when
// it exists but cannot be read (a link, not a regular file, too large, no
// access).
int RegistryReadStoreText(const std::string& path, std::string* text, bool* exists,
                          std::string* problem);

// Writes `text` to `path`.tmp, made afresh (a file or link left there is
// removed first, never written through), flushes it to disk and renames it
// over `path`, so the file holds either its old or its new content at any
// moment; then flushes the folder so the rename lasts. Called with the lock
// held, so no other writer uses the temporary name meanwhile.
int RegistryReplaceFile(const std::string& directory, const std::string& path,
                        const std::string& text, std::string* problem);

// Checks the store's folder the way ssh checks ~/.ssh: it must be a folder
// owned by the user that nobody else may write (no write bit for group or
// others). 1 with *exists false when it does not exist yet.
int RegistryCheckDirectory(const std::string& path, bool* exists, std::string* problem);

// Makes the folder and its missing parents (mode 0700), then checks it.
int RegistryMakeDirectories(const std::string& path, std::string* problem);

// Takes the store's exclusive lock, waiting a bounded time for another
// writer. The lock lasts as long as the returned handle; an invalid handle
// when it could not be taken.
FileHandle RegistryLockStore(const std::string& directory, std::string* problem);
