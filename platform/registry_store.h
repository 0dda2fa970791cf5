#pragma once

// The per-user store that stands in for the registry.
//
// Keys form a tree below a root (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE);
// each key holds typed values: binary values keep their exact byte length,
// text values keep their terminating zero. The current user's tree lives in
// one human-readable file, replaced atomically on every change and guarded
// by a lock across each read-modify-write, so several programs can share it.
// A damaged file reads as the values that can still be understood.
//
// Nothing is kept open between calls: a key handle only names a path, and
// every operation reads the store afresh. The format and the decisions are
// described in docs/settings.md.

#include <cstdint>
#include <string>
#include <vector>

enum RegistryRoot : int {
    kRegistryCurrentUser = 0,
    kRegistryLocalMachine = 1,
};

// Value types, numbered as the registry numbers them.
constexpr uint32_t kRegistryTypeNone = 0;
constexpr uint32_t kRegistryTypeString = 1;  // REG_SZ
constexpr uint32_t kRegistryTypeBinary = 3;  // REG_BINARY
constexpr uint32_t kRegistryTypeDword = 4;   // REG_DWORD

// Access asked for when a key is opened.
constexpr int kRegistryRead = 1;
constexpr int kRegistryWrite = 2;

// Limits that keep every buffer bounded.
constexpr size_t kRegistryMaxNameLength = 255;       // one key component or one value name
constexpr size_t kRegistryMaxPathLength = 1024;      // a whole key path
constexpr uint32_t kRegistryMaxValueSize = 1 << 20;  // bytes of one value

// An open key: which tree, which path, what it may do.
struct RegistryKey {
    RegistryRoot root = kRegistryCurrentUser;
    std::string path;  // components joined with '\', "" for the root itself
    int access = 0;
    bool open = false;
};

// One value as the store holds it.
struct RegistryValue {
    std::string name;
    uint32_t type = kRegistryTypeNone;
    std::vector<uint8_t> data;
};

// The environment variable that points the whole store elsewhere.
constexpr const char* kRegistryStoreEnvironment = "NOCTURO_SETTINGS_DIR";

// The folder of the store: $NOCTURO_SETTINGS_DIR when set, otherwise
// $XDG_CONFIG_HOME/nocturo/registry with ~/.config when XDG_CONFIG_HOME is
// unset. Empty when no home folder can be found.
std::string RegistryStoreDirectory();
// The file that holds the current user's keys.
std::string RegistryStoreFile();

// Opens an existing key below a root ("" opens the root). 1 on success.
int RegistryOpenKey(RegistryRoot root, const char* path, int access, RegistryKey* key);
// Creates (or opens) the child `name` of an open writable key, with `access`.
// `name` may itself hold several components separated by '\'.
int RegistryCreateKey(const RegistryKey* parent, const char* name, int access, RegistryKey* child);
// Reads a value. On success *type and *size are set and, when `data` is not
// null, the value's bytes are copied to data[0 .. *size). When the value
// exists but is longer than *size on entry, *type and *size (the needed
// length) are set, `data` is left untouched and 0 is returned. A null `data`
// asks only for the type and size and succeeds when the value exists.
int RegistryQueryValue(const RegistryKey* key, const char* name, uint32_t* type, void* data,
                       uint32_t* size);
// Reads a whole value, whatever its length. 0 when the key or value is missing.
int RegistryReadValue(const RegistryKey* key, const char* name, RegistryValue* value);
// Sets a value in a key opened for writing; the key must still exist.
int RegistrySetValue(const RegistryKey* key, const char* name, uint32_t type, const void* data,
                     uint32_t size);
// Removes a value from a key opened for writing. 0 when it does not exist.
int RegistryDeleteValue(const RegistryKey* key, const char* name);
// All values of a key, in stored order.
int RegistryListValues(const RegistryKey* key, std::vector<RegistryValue>* values);
// Ends the use of a key handle.
void RegistryCloseKey(RegistryKey* key);

// Why the last operation failed because of the store itself, as one line
// for a person: the file unreadable, too large, not a regular file or a
// link, the folder read-only, another user's or writable by others, the
// lock not taken. Empty when it did not fail for such a reason (a missing
// key or value, a bad name).
std::string RegistryStoreProblem();

// 1 when the store file is absent or understood in full; 0 when some of it
// could not be read. `problem`, when given, receives the first difficulty.
int RegistryStoreIsSound(std::string* problem);
