#pragma once

// The installer's record of what it added to the user's home, so that
// removal takes away exactly that: the files and folders it made, each
// setting with the value it held before, and its xscreensaver entry.
// One text file, replaced atomically, kept across installs (a second
// install adds to the first's record and keeps the values from before the
// first).

#include <cstdint>
#include <string>
#include <vector>

struct SetupValueRecord {
    std::string name;
    bool existedBefore = false;
    uint32_t typeBefore = 0;
    std::vector<uint8_t> before;  // the value the user had
    uint32_t type = 0;
    std::vector<uint8_t> written;  // the value the installer wrote
};

struct SetupManifest {
    std::vector<std::string> files;    // absolute paths the installer wrote
    std::vector<std::string> folders;  // folders it created, in the order made
    std::vector<SetupValueRecord> values;
    // The line the installer added to the programs of ~/.xscreensaver.
    std::string xscreensaverEntry;
    // The Nocturo entry it replaced (another install's), to put back.
    std::string xscreensaverReplaced;
    // ~/.xscreensaver did not exist: the hash of what it wrote there, less
    // its own entry (0 when the file was there before).
    uint64_t xscreensaverCreatedHash = 0;
    bool xscreensaverCreated = false;
};

// ~/.local/share/nocturo/setup.manifest (under $XDG_DATA_HOME when set).
std::string SetupManifestPath();

// Reads the record. 0 when there is none (the manifest is then empty); a
// damaged line is skipped.
int SetupManifestLoad(const std::string& path, SetupManifest* manifest);

// Writes it atomically, creating its folder (recorded in the manifest). 1 on success.
int SetupManifestSave(const std::string& path, SetupManifest* manifest);

// Adds a path once.
void SetupManifestAddFile(SetupManifest* manifest, const std::string& path);
void SetupManifestAddFolder(SetupManifest* manifest, const std::string& path);

// A 64-bit FNV-1a hash of a text (stable between builds).
uint64_t SetupTextHash(const std::string& text);

// Makes a folder and, when that fails, each of its ancestors from the
// shortest to the full path; each folder made is noted. 1 when the folder
// exists afterwards.
int SetupCreateFolder(const std::string& folder, SetupManifest* manifest);

// Writes bytes to path through a temporary file in the same folder, synced
// and renamed over the old one, so the file is either the old or the new one.
// 1 on success. A short or failed write is a failure, and the temporary file
// is removed. `mode` is the new file's permission bits.
int SetupWriteFileAtomically(const std::string& path, const void* data, size_t size, unsigned mode);

// The write used by SetupWriteFileAtomically; a test may replace it to make
// writes come out short.
extern long (*setupWriteBytes)(int fd, const void* data, size_t size);
