#include "platform/registry_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string_view>

namespace {

constexpr const char* kStoreFileName = "user.reg";
constexpr const char* kLockFileName = "lock";
constexpr size_t kMaxFileSize = 64u << 20;  // a larger file is not ours to parse
constexpr int kLockWaitMilliseconds = 10000;

// ---------------------------------------------------------------------------
// Places

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeDirectory() {
    std::string home = EnvironmentValue("HOME");
    if (!home.empty()) {
        return home;
    }
    // Screen-saver daemons may start programs with a bare environment.
    struct passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return std::string();
}

// An XDG base folder: the variable when it holds an absolute path,
// otherwise the home folder followed by `fallback`.
std::string XdgDirectory(const char* variable, const char* fallback) {
    std::string value = EnvironmentValue(variable);
    if (!value.empty() && value[0] == '/') {
        return value;
    }
    std::string home = HomeDirectory();
    if (home.empty()) {
        return std::string();
    }
    return home + "/" + fallback;
}

// ---------------------------------------------------------------------------
// Names and paths

char FoldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

bool ValidComponent(const std::string& component) {
    if (component.empty() || component.size() > kRegistryMaxNameLength) {
        return false;
    }
    for (unsigned char c : component) {
        if (IsControl(c)) {
            return false;
        }
    }
    return true;
}

// Splits a key path into its components; empty components (leading,
// trailing or doubled separators) are skipped. False for a bad name.
bool SplitPath(const std::string& path, std::vector<std::string>* components) {
    if (path.size() > kRegistryMaxPathLength) {
        return false;
    }
    components->clear();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string component = path.substr(start, end - start);
        if (!component.empty()) {
            if (!ValidComponent(component)) {
                return false;
            }
            components->push_back(component);
        }
        start = end + 1;
    }
    return true;
}

std::string JoinPath(const std::vector<std::string>& components, size_t count) {
    std::string path;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            path += '\\';
        }
        path += components[i];
    }
    return path;
}

bool ValidValueName(const char* name) {
    return name != nullptr && std::strlen(name) <= kRegistryMaxNameLength;
}

// ---------------------------------------------------------------------------
// The tree in memory

struct StoreKey {
    std::string path;
    std::vector<RegistryValue> values;
};

struct Store {
    std::vector<StoreKey> keys;  // every key, ancestors before descendants
    bool damaged = false;
    std::string problem;
};

void NoteDamage(Store* store, size_t lineNumber, const char* what) {
    if (!store->damaged) {
        store->problem = "line " + std::to_string(lineNumber) + ": " + what;
    }
    store->damaged = true;
}

StoreKey* FindKey(Store* store, const std::string& path) {
    for (StoreKey& key : store->keys) {
        if (SameName(key.path, path)) {
            return &key;
        }
    }
    return nullptr;
}

// Makes sure the key and all its ancestors exist; returns the key.
StoreKey* AddKey(Store* store, const std::vector<std::string>& components) {
    StoreKey* key = FindKey(store, "");
    if (key == nullptr) {
        store->keys.insert(store->keys.begin(), StoreKey{});
        key = &store->keys.front();
    }
    for (size_t depth = 1; depth <= components.size(); ++depth) {
        std::string path = JoinPath(components, depth);
        key = FindKey(store, path);
        if (key == nullptr) {
            store->keys.push_back(StoreKey{path, {}});
            key = &store->keys.back();
        }
    }
    return key;
}

RegistryValue* FindValue(StoreKey* key, const std::string& name) {
    for (RegistryValue& value : key->values) {
        if (SameName(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

void PutValue(StoreKey* key, RegistryValue value) {
    RegistryValue* existing = FindValue(key, value.name);
    if (existing != nullptr) {
        existing->type = value.type;
        existing->data = std::move(value.data);
    } else {
        key->values.push_back(std::move(value));
    }
}

// ---------------------------------------------------------------------------
// Text form
//
//   [SOFTWARE\Quillfen\Nocturo\Setting]
//   Language = binary[4] 00 00 00 00   ; int32 0
//   textures00 = string "/home/me/.local/share/Nocturo 3D/moon_2048x1024.bmp"
//
// Every line ends with a newline; a line without one (a cut file) is not
// read. What follows ';' after a value is a reading aid and is ignored.

bool BareNameChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.' || c == '-';
}

void AppendQuoted(std::string* out, const uint8_t* bytes, size_t count) {
    static const char kHex[] = "0123456789abcdef";
    *out += '"';
    for (size_t i = 0; i < count; ++i) {
        unsigned char c = bytes[i];
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += static_cast<char>(c);
        } else if (c == '\n') {
            *out += "\\n";
        } else if (c == '\t') {
            *out += "\\t";
        } else if (IsControl(c)) {
            *out += "\\x";
            *out += kHex[c >> 4];
            *out += kHex[c & 15];
        } else {
            *out += static_cast<char>(c);
        }
    }
    *out += '"';
}

void AppendHex(std::string* out, const std::vector<uint8_t>& data) {
    static const char kHex[] = "0123456789abcdef";
    for (uint8_t byte : data) {
        *out += ' ';
        *out += kHex[byte >> 4];
        *out += kHex[byte & 15];
    }
}

// What a binary value most likely holds, for a person reading the file.
void AppendReadingAid(std::string* out, const std::vector<uint8_t>& data) {
    char text[64];
    if (data.size() == 1) {
        std::snprintf(text, sizeof text, "   ; byte %u", data[0]);
    } else if (data.size() == 4) {
        int32_t number;
        std::memcpy(&number, data.data(), 4);
        std::snprintf(text, sizeof text, "   ; int32 %d", number);
    } else if (data.size() == 8) {
        double number;
        std::memcpy(&number, data.data(), 8);
        char digits[40];
        auto result = std::to_chars(digits, digits + sizeof digits - 1, number);
        *result.ptr = '\0';
        std::snprintf(text, sizeof text, "   ; double %s", digits);
    } else {
        return;
    }
    *out += text;
}

std::string Serialize(const Store& store) {
    std::string out =
        "# Nocturo settings store: the keys and values of the current user.\n"
        "# Programs replace this file as a whole; change it with nocturo-settings.\n"
        "# binary[N] is N bytes in hex, string is a text with its terminating zero;\n"
        "# the note after ';' only helps reading and is ignored.\n";
    for (size_t index = 0; index < store.keys.size(); ++index) {
        const StoreKey& key = store.keys[index];
        // A key without values is implied by its descendants; only the
        // others need a line of their own.
        if (key.values.empty()) {
            bool hasChild = false;
            for (const StoreKey& other : store.keys) {
                hasChild = hasChild || (other.path.size() > key.path.size() &&
                                        SameName(other.path.substr(0, key.path.size()), key.path) &&
                                        (key.path.empty() || other.path[key.path.size()] == '\\'));
            }
            if (hasChild) {
                continue;
            }
        }
        out += "\n[";
        out += key.path;
        out += "]\n";
        for (const RegistryValue& value : key.values) {
            bool bare = !value.name.empty();
            for (unsigned char c : value.name) {
                bare = bare && BareNameChar(c);
            }
            if (bare) {
                out += value.name;
            } else {
                AppendQuoted(&out, reinterpret_cast<const uint8_t*>(value.name.data()),
                             value.name.size());
            }
            out += " = ";
            if (value.type == kRegistryTypeString && !value.data.empty() &&
                value.data.back() == 0) {
                out += "string ";
                AppendQuoted(&out, value.data.data(), value.data.size() - 1);
            } else if (value.type == kRegistryTypeString) {
                out += "string-raw ";
                AppendQuoted(&out, value.data.data(), value.data.size());
            } else {
                if (value.type == kRegistryTypeBinary) {
                    out += "binary[";
                } else {
                    out += "hex(" + std::to_string(value.type) + ")[";
                }
                out += std::to_string(value.data.size());
                out += ']';
                AppendHex(&out, value.data);
                AppendReadingAid(&out, value.data);
            }
            out += '\n';
        }
    }
    return out;
}

// A cursor over one line.
struct LineReader {
    const char* at;
    const char* end;

    bool Done() const { return at >= end; }
    void SkipBlanks() {
        while (at < end && (*at == ' ' || *at == '\t')) {
            ++at;
        }
    }
    bool Take(char c) {
        if (at < end && *at == c) {
            ++at;
            return true;
        }
        return false;
    }
    bool TakeWord(const char* word) {
        size_t length = std::strlen(word);
        if (static_cast<size_t>(end - at) >= length && std::memcmp(at, word, length) == 0) {
            at += length;
            return true;
        }
        return false;
    }
    bool TakeNumber(uint32_t* number) {
        auto result = std::from_chars(at, end, *number);
        if (result.ec != std::errc() || result.ptr == at) {
            return false;
        }
        at = result.ptr;
        return true;
    }
    // Only blanks or a reading aid are left.
    bool AtEnd() {
        SkipBlanks();
        return at == end || *at == ';';
    }
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Two hex digits at the reader's position into one byte; the reader moves
// past them only when both are there.
bool ReadHexPair(LineReader* line, uint8_t* byte) {
    if (line->end - line->at < 2) {
        return false;
    }
    int high = HexDigit(line->at[0]);
    int low = HexDigit(line->at[1]);
    if (high < 0 || low < 0) {
        return false;
    }
    *byte = static_cast<uint8_t>(high * 16 + low);
    line->at += 2;
    return true;
}

bool ReadQuoted(LineReader* line, std::string* text) {
    if (!line->Take('"')) {
        return false;
    }
    text->clear();
    while (!line->Done()) {
        char c = *line->at++;
        if (c == '"') {
            return true;
        }
        if (c != '\\') {
            if (IsControl(static_cast<unsigned char>(c))) {
                return false;
            }
            *text += c;
            continue;
        }
        if (line->Done()) {
            return false;
        }
        char escaped = *line->at++;
        if (escaped == '"' || escaped == '\\') {
            *text += escaped;
        } else if (escaped == 'n') {
            *text += '\n';
        } else if (escaped == 't') {
            *text += '\t';
        } else if (escaped == 'x') {
            uint8_t byte = 0;
            if (!ReadHexPair(line, &byte)) {
                return false;
            }
            *text += static_cast<char>(byte);
        } else {
            return false;
        }
    }
    return false;  // no closing quote
}

bool ReadHexBytes(LineReader* line, uint32_t count, std::vector<uint8_t>* data) {
    data->clear();
    for (uint32_t i = 0; i < count; ++i) {
        line->SkipBlanks();
        uint8_t byte = 0;
        if (!ReadHexPair(line, &byte)) {
            return false;
        }
        data->push_back(byte);
    }
    return true;
}

bool ReadValueLine(LineReader* line, RegistryValue* value) {
    if (*line->at == '"') {
        if (!ReadQuoted(line, &value->name)) {
            return false;
        }
    } else {
        const char* start = line->at;
        while (!line->Done() && BareNameChar(static_cast<unsigned char>(*line->at))) {
            ++line->at;
        }
        value->name.assign(start, line->at);
        if (value->name.empty()) {
            return false;
        }
    }
    if (value->name.size() > kRegistryMaxNameLength ||
        value->name.find('\0') != std::string::npos) {
        return false;
    }
    line->SkipBlanks();
    if (!line->Take('=')) {
        return false;
    }
    line->SkipBlanks();
    bool raw = line->TakeWord("string-raw ");
    if (raw || line->TakeWord("string ")) {
        std::string text;
        line->SkipBlanks();
        if (!ReadQuoted(line, &text)) {
            return false;
        }
        value->type = kRegistryTypeString;
        value->data.assign(text.begin(), text.end());
        if (!raw) {
            value->data.push_back(0);
        }
    } else {
        uint32_t type = kRegistryTypeBinary;
        if (line->TakeWord("hex(")) {
            if (!line->TakeNumber(&type) || !line->Take(')') || type == kRegistryTypeString) {
                return false;
            }
        } else if (!line->TakeWord("binary")) {
            return false;
        }
        uint32_t count = 0;
        if (!line->Take('[') || !line->TakeNumber(&count) || !line->Take(']') ||
            count > kRegistryMaxValueSize) {
            return false;
        }
        if (!ReadHexBytes(line, count, &value->data)) {
            return false;
        }
        value->type = type;
    }
    if (value->data.size() > kRegistryMaxValueSize) {
        return false;
    }
    return line->AtEnd();
}

// Reads what can be understood; every line that cannot is skipped, and a
// damaged key header makes its values unreachable rather than misplaced.
void Parse(const std::string& text, Store* store) {
    store->keys.clear();
    store->damaged = false;
    store->problem.clear();
    AddKey(store, {});
    StoreKey* current = nullptr;  // no header yet: values have no home
    size_t position = 0;
    size_t lineNumber = 0;
    while (position < text.size()) {
        ++lineNumber;
        size_t newline = text.find('\n', position);
        if (newline == std::string::npos) {
            NoteDamage(store, lineNumber, "cut off before its end");
            break;
        }
        size_t length = newline - position;
        if (length > 0 && text[newline - 1] == '\r') {
            --length;
        }
        const char* begin = text.data() + position;
        const char* end = begin + length;
        bool hasZero = std::string_view(begin, length).find('\0') != std::string_view::npos;
        position = newline + 1;
        if (hasZero) {
            NoteDamage(store, lineNumber, "holds a zero byte");
            continue;
        }
        LineReader line{begin, end};
        line.SkipBlanks();
        if (line.Done() || *line.at == '#' || *line.at == ';') {
            continue;
        }
        if (*line.at == '[') {
            current = nullptr;
            const char* close = end;
            while (close > line.at && close[-1] != ']') {
                --close;
            }
            std::vector<std::string> components;
            LineReader rest{close, end};
            rest.SkipBlanks();
            if (close <= line.at + 1 || !rest.Done() ||
                !SplitPath(std::string(line.at + 1, close - 1), &components)) {
                NoteDamage(store, lineNumber, "not a key name");
                continue;
            }
            current = AddKey(store, components);
            continue;
        }
        RegistryValue value;
        if (!ReadValueLine(&line, &value)) {
            NoteDamage(store, lineNumber, "not a value");
            continue;
        }
        if (current == nullptr) {
            NoteDamage(store, lineNumber, "value outside a readable key");
            continue;
        }
        PutValue(current, std::move(value));
    }
}

// ---------------------------------------------------------------------------
// Files

// Reads a whole file. 1 with *exists false when it is absent.
int ReadWholeFile(const std::string& path, std::string* text, bool* exists) {
    text->clear();
    *exists = false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? 1 : 0;
    }
    *exists = true;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<uint64_t>(info.st_size) > kMaxFileSize) {
        close(fd);
        return 0;
    }
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || text->size() + static_cast<size_t>(got) > kMaxFileSize) {
            close(fd);
            return 0;
        }
        if (got == 0) {
            break;
        }
        text->append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return 1;
}

int WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return 0;
        }
        done += static_cast<size_t>(put);
    }
    return 1;
}

// Writes `text` to a temporary file, flushes it to disk and renames it over
// `path`, so the file holds either its old or its new content at any moment.
int ReplaceFile(const std::string& directory, const std::string& path, const std::string& text) {
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return 0;
    }
    if (!WriteAll(fd, text) || fsync(fd) != 0) {
        close(fd);
        unlink(temporary.c_str());
        return 0;
    }
    if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return 0;
    }
    int directoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        fsync(directoryFd);  // makes the rename itself durable
        close(directoryFd);
    }
    return 1;
}

int MakeDirectories(const std::string& path) {
    std::string partial;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start + 1);
        if (end == std::string::npos) {
            end = path.size();
        }
        partial = path.substr(0, end);
        if (!partial.empty() && mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
            return 0;
        }
        start = end;
    }
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

// Takes the store's lock, waiting a bounded time for another writer.
int LockStore(const std::string& directory) {
    std::string path = directory + "/" + kLockFileName;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    int waited = 0;
    int pause = 1;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockWaitMilliseconds) {
            close(fd);
            return -1;
        }
        struct timespec delay = {0, pause * 1000000L};
        nanosleep(&delay, nullptr);
        waited += pause;
        pause = pause < 16 ? pause * 2 : 16;
    }
    return fd;
}

void UnlockStore(int fd) {
    flock(fd, LOCK_UN);
    close(fd);
}

// Reads the current user's tree. 0 when the file exists but cannot be read.
int LoadStore(Store* store, std::string* text) {
    std::string file = RegistryStoreFile();
    if (file.empty()) {
        return 0;
    }
    bool exists = false;
    if (!ReadWholeFile(file, text, &exists)) {
        return 0;
    }
    Parse(*text, store);
    return 1;
}

// One read-modify-write of the current user's tree under the lock. `change`
// returns 0 to leave the store as it is.
int ModifyStore(const std::function<int(Store*)>& change) {
    std::string directory = RegistryStoreDirectory();
    if (directory.empty() || !MakeDirectories(directory)) {
        return 0;
    }
    int lock = LockStore(directory);
    if (lock < 0) {
        return 0;
    }
    Store store;
    std::string oldText;
    int ok = LoadStore(&store, &oldText) && change(&store);
    if (ok) {
        std::string file = RegistryStoreFile();
        if (store.damaged) {
            // Keep what could not be read for a person to look at.
            ReplaceFile(directory, file + ".damaged", oldText);
        }
        ok = ReplaceFile(directory, file, Serialize(store));
    }
    UnlockStore(lock);
    return ok;
}

// ---------------------------------------------------------------------------
// The machine-wide keys: one read-only answer for the installer's
// question about the folder of programs.

constexpr const char* kMachineProgramsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

bool MachineKeyExists(const std::string& path) {
    std::vector<std::string> wanted;
    std::vector<std::string> components;
    SplitPath(kMachineProgramsKey, &wanted);
    if (!SplitPath(path, &components) || components.size() > wanted.size()) {
        return false;
    }
    for (size_t i = 0; i < components.size(); ++i) {
        if (!SameName(components[i], wanted[i])) {
            return false;
        }
    }
    return true;
}

void MachineValues(const std::string& path, std::vector<RegistryValue>* values) {
    values->clear();
    if (!SameName(path, kMachineProgramsKey)) {
        return;
    }
    std::string folder = XdgDirectory("XDG_DATA_HOME", ".local/share");
    if (folder.empty()) {
        return;
    }
    RegistryValue value{"ProgramFilesDir", kRegistryTypeString, {}};
    value.data.assign(folder.begin(), folder.end());
    value.data.push_back(0);
    values->push_back(std::move(value));
}

bool NormalizePath(const char* path, std::string* normal) {
    std::vector<std::string> components;
    if (path == nullptr || !SplitPath(path, &components)) {
        return false;
    }
    *normal = JoinPath(components, components.size());
    return true;
}

// The values of an open key as stored now. 0 when the key is gone.
int KeyValues(const RegistryKey* key, std::vector<RegistryValue>* values) {
    if (key == nullptr || !key->open) {
        return 0;
    }
    if (key->root == kRegistryLocalMachine) {
        MachineValues(key->path, values);
        return 1;
    }
    Store store;
    std::string text;
    if (!LoadStore(&store, &text)) {
        return 0;
    }
    StoreKey* found = FindKey(&store, key->path);
    if (found == nullptr) {
        return 0;
    }
    *values = std::move(found->values);
    return 1;
}

}  // namespace

std::string RegistryStoreDirectory() {
    std::string chosen = EnvironmentValue(kRegistryStoreEnvironment);
    if (!chosen.empty()) {
        return chosen;
    }
    std::string config = XdgDirectory("XDG_CONFIG_HOME", ".config");
    return config.empty() ? std::string() : config + "/nocturo/registry";
}

std::string RegistryStoreFile() {
    std::string directory = RegistryStoreDirectory();
    return directory.empty() ? std::string() : directory + "/" + kStoreFileName;
}

int RegistryOpenKey(RegistryRoot root, const char* path, int access, RegistryKey* key) {
    std::string normal;
    if (key == nullptr || !NormalizePath(path, &normal) ||
        (access & (kRegistryRead | kRegistryWrite)) == 0) {
        return 0;
    }
    if (root == kRegistryLocalMachine) {
        // The machine's keys belong to the system: readable, never writable.
        if ((access & kRegistryWrite) != 0 || !MachineKeyExists(normal)) {
            return 0;
        }
    } else if (root == kRegistryCurrentUser) {
        if (!normal.empty()) {
            Store store;
            std::string text;
            if (!LoadStore(&store, &text) || FindKey(&store, normal) == nullptr) {
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
    std::vector<std::string> relative;
    if (parent == nullptr || child == nullptr || !parent->open ||
        parent->root != kRegistryCurrentUser || (parent->access & kRegistryWrite) == 0 ||
        name == nullptr || !SplitPath(name, &relative) || relative.empty() ||
        (access & (kRegistryRead | kRegistryWrite)) == 0) {
        return 0;
    }
    std::vector<std::string> components;
    SplitPath(parent->path, &components);
    components.insert(components.end(), relative.begin(), relative.end());
    std::string path = JoinPath(components, components.size());
    if (path.size() > kRegistryMaxPathLength) {
        return 0;
    }
    int ok = ModifyStore([&](Store* store) {
        if (FindKey(store, parent->path) == nullptr) {
            return 0;  // the parent went away meanwhile
        }
        StoreKey* existing = FindKey(store, path);
        if (existing != nullptr) {
            return 1;
        }
        AddKey(store, components);
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
    if (key == nullptr || !key->open || (key->access & kRegistryRead) == 0 ||
        !ValidValueName(name) || size == nullptr) {
        return 0;
    }
    std::vector<RegistryValue> values;
    if (!KeyValues(key, &values)) {
        return 0;
    }
    for (const RegistryValue& value : values) {
        if (!SameName(value.name, name)) {
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
    if (key == nullptr || value == nullptr || !key->open || (key->access & kRegistryRead) == 0 ||
        !ValidValueName(name)) {
        return 0;
    }
    std::vector<RegistryValue> values;
    if (!KeyValues(key, &values)) {
        return 0;
    }
    for (RegistryValue& candidate : values) {
        if (SameName(candidate.name, name)) {
            *value = std::move(candidate);
            return 1;
        }
    }
    return 0;
}

int RegistrySetValue(const RegistryKey* key, const char* name, uint32_t type, const void* data,
                     uint32_t size) {
    if (key == nullptr || !key->open || key->root != kRegistryCurrentUser ||
        (key->access & kRegistryWrite) == 0 || !ValidValueName(name) ||
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
    return ModifyStore([&](Store* store) {
        StoreKey* found = FindKey(store, key->path);
        if (found == nullptr) {
            return 0;  // a write never brings a key back
        }
        PutValue(found, std::move(value));
        return 1;
    });
}

int RegistryDeleteValue(const RegistryKey* key, const char* name) {
    if (key == nullptr || !key->open || key->root != kRegistryCurrentUser ||
        (key->access & kRegistryWrite) == 0 || !ValidValueName(name)) {
        return 0;
    }
    return ModifyStore([&](Store* store) {
        StoreKey* found = FindKey(store, key->path);
        if (found == nullptr) {
            return 0;
        }
        for (auto it = found->values.begin(); it != found->values.end(); ++it) {
            if (SameName(it->name, name)) {
                found->values.erase(it);
                return 1;
            }
        }
        return 0;
    });
}

int RegistryListValues(const RegistryKey* key, std::vector<RegistryValue>* values) {
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
    Store store;
    std::string text;
    if (!LoadStore(&store, &text)) {
        if (problem != nullptr) {
            *problem = "the store file cannot be read";
        }
        return 0;
    }
    if (problem != nullptr) {
        *problem = store.problem;
    }
    return store.damaged ? 0 : 1;
}
