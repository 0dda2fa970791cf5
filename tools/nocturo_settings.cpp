// nocturo-settings: reads and writes the settings store from the command line.
//
//   nocturo-settings [--key PATH] list
//   nocturo-settings [--key PATH] get NAME
//   nocturo-settings [--key PATH] set NAME --int32 N | --byte N | --double X |
//                                         --string TEXT | --hex BYTES
//   nocturo-settings [--key PATH] delete NAME
//
// PATH is a key of the current user, components separated by '\'; the
// default is the screen saver's Setting key. `set` first creates the key
// path. Exit status: 0 done, 1 `get` found no such value, 2 any other error
// (one line on standard error).

#include <getopt.h>
#include <strings.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kProgram = "nocturo-settings";

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return 2;
}

const char kHelp[] =
    "usage: nocturo-settings [--key PATH] list | get NAME | delete NAME | set NAME "
    "(--int32 N | --byte N | --double X | --string TEXT | --hex BYTES)\n"
    "Lists, reads and changes the settings of the screen saver in the user's store.\n"
    "\n"
    "  list                 every value of the key, one a line\n"
    "  get NAME             one value (status 1 when there is none)\n"
    "  delete NAME          removes a value\n"
    "  set NAME --int32 N | --byte N | --double X | --string TEXT | --hex BYTES\n"
    "                       writes a value of that type, creating the key\n"
    "  --key PATH           another key of the current user ('\\' between parts)\n"
    "                       instead of the screen saver's Setting key\n"
    "  -h, --help           this text and the store's file\n"
    "  --version            the version\n"
    "\n"
    "Example: nocturo-settings set ShowStar --byte 0\n"
    "Exit status: 0 done, 1 `get` found no such value, 2 any other error.\n";

int Usage() {
    return Fail(
        "usage: nocturo-settings [--key PATH] list | get NAME | delete NAME | set NAME "
        "(--int32 N | --byte N | --double X | --string TEXT | --hex BYTES)");
}

std::string DefaultKeyPath() {
    return std::string(kSettingsKeyPrefix) + kSettingsSubkey;
}

// Accepts the root's name in front of a path, as people copy it.
std::string KeyPathBelowRoot(std::string path) {
    for (const char* root : {"HKEY_CURRENT_USER\\", "HKCU\\"}) {
        size_t length = std::strlen(root);
        if (path.size() >= length && strncasecmp(path.c_str(), root, length) == 0) {
            return path.substr(length);
        }
    }
    return path;
}

bool ParseInt(const std::string& text, long long low, long long high, long long* number) {
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto result = std::from_chars(begin, end, *number);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && *number >= low &&
           *number <= high;
}

bool ParseDouble(const std::string& text, double* number) {
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto result = std::from_chars(begin, end, *number);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && std::isfinite(*number);
}

// Hex digits in pairs; blanks, ':' and ',' may separate the bytes.
bool ParseHex(const std::string& text, std::vector<uint8_t>* bytes) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == ',' || c == '\t') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        digits += c;
    }
    if (digits.size() % 2 != 0) {
        return false;
    }
    bytes->clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        bytes->push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return true;
}

std::string Quoted(const std::vector<uint8_t>& data, size_t count) {
    std::string out = "\"";
    char escape[8];
    for (size_t i = 0; i < count; ++i) {
        unsigned char c = data[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// One value as a line: its name, type, size and what it holds.
std::string Describe(const RegistryValue& value) {
    char text[96];
    std::string out = value.name + ": ";
    size_t size = value.data.size();
    if (value.type == kRegistryTypeString) {
        std::snprintf(text, sizeof text, "string, %zu byte%s: ", size, size == 1 ? "" : "s");
        out += text;
        bool ended = size > 0 && value.data.back() == 0;
        out += Quoted(value.data, ended ? size - 1 : size);
        if (!ended) {
            out += " (no terminating zero)";
        }
        return out;
    }
    if (value.type == kRegistryTypeBinary) {
        std::snprintf(text, sizeof text, "binary, %zu byte%s:", size, size == 1 ? "" : "s");
    } else {
        std::snprintf(text, sizeof text, "type %u, %zu byte%s:", value.type, size,
                      size == 1 ? "" : "s");
    }
    out += text;
    for (uint8_t byte : value.data) {
        std::snprintf(text, sizeof text, " %02x", byte);
        out += text;
    }
    // Read it as its setting's kind when known, otherwise by its size.
    const SettingsValueInfo* info = SettingsFindValue(value.name.c_str());
    int kind = info != nullptr && info->kind != kSettingsText ? info->kind : -1;
    if (kind < 0) {
        kind = size == 1   ? kSettingsByte
               : size == 4 ? kSettingsInt32
               : size == 8 ? kSettingsDouble
                           : -1;
    }
    if (kind == kSettingsByte && size == 1) {
        std::snprintf(text, sizeof text, " (byte %u)", value.data[0]);
    } else if (kind == kSettingsInt32 && size == 4) {
        int32_t number;
        std::memcpy(&number, value.data.data(), 4);
        std::snprintf(text, sizeof text, " (int32 %d)", number);
    } else if (kind == kSettingsDouble && size == 8) {
        double number;
        std::memcpy(&number, value.data.data(), 8);
        char digits[40];
        auto result = std::to_chars(digits, digits + sizeof digits - 1, number);
        *result.ptr = '\0';
        std::snprintf(text, sizeof text, " (double %s)", digits);
    } else {
        return out;
    }
    return out + text;
}

// What to say about a failed store operation: the store's own cause (the
// file unreadable, too large, a link, the folder read-only or not the
// user's alone, ...) when there is one, otherwise `ordinary`.
std::string Cause(const std::string& ordinary) {
    std::string problem = RegistryStoreProblem();
    return problem.empty() ? ordinary : problem;
}

int OpenOrFail(const std::string& path, int access, RegistryKey* key) {
    if (!RegistryOpenKey(kRegistryCurrentUser, path.c_str(), access, key)) {
        Fail(Cause("no key " + path));
        return 0;
    }
    return 1;
}

// Creates the whole key path, as the installer does before its first write.
int CreateKeyPath(const std::string& path, bool isSettingKey) {
    if (isSettingKey) {
        return SettingsCreateKey(kSettingsSubkey);
    }
    RegistryKey root;
    RegistryKey key;
    if (!RegistryOpenKey(kRegistryCurrentUser, "", kRegistryWrite, &root) ||
        !RegistryCreateKey(&root, path.c_str(), kRegistryWrite, &key)) {
        return 0;
    }
    RegistryCloseKey(&key);
    return 1;
}

int Set(const std::string& path, bool isSettingKey, const std::string& name,
        const std::string& option, const std::string& argument) {
    std::vector<uint8_t> bytes;
    uint32_t type = kRegistryTypeBinary;
    long long integer = 0;
    double real = 0.0;
    if (option == "--int32") {
        if (!ParseInt(argument, INT32_MIN, INT32_MAX, &integer)) {
            return Fail("not a 32-bit integer: " + argument);
        }
        int32_t number = static_cast<int32_t>(integer);
        bytes.resize(4);
        std::memcpy(bytes.data(), &number, 4);
    } else if (option == "--byte") {
        if (!ParseInt(argument, 0, 255, &integer)) {
            return Fail("not a byte (0 to 255): " + argument);
        }
        bytes.push_back(static_cast<uint8_t>(integer));
    } else if (option == "--double") {
        if (!ParseDouble(argument, &real)) {
            return Fail("not a number: " + argument);
        }
        bytes.resize(8);
        std::memcpy(bytes.data(), &real, 8);
    } else if (option == "--hex") {
        if (!ParseHex(argument, &bytes)) {
            return Fail("not hex bytes: " + argument);
        }
    } else if (option == "--string") {
        if (argument.find('\0') != std::string::npos) {
            return Fail("a text cannot hold a zero byte");
        }
        type = kRegistryTypeString;
        bytes.assign(argument.begin(), argument.end());
        bytes.push_back(0);
    } else {
        return Usage();
    }
    if (bytes.size() > kRegistryMaxValueSize) {
        return Fail("value too long");
    }
    // A known value longer than its readers' buffer could never be read: the
    // programs would silently take the fallback instead.
    const SettingsValueInfo* known = isSettingKey ? SettingsFindValue(name.c_str()) : nullptr;
    if (known != nullptr && bytes.size() > known->readerSize) {
        return Fail(name + " holds at most " + std::to_string(known->readerSize) + " bytes, not " +
                    std::to_string(bytes.size()));
    }
    if (!CreateKeyPath(path, isSettingKey)) {
        return Fail(Cause("cannot create key " + path + " in " + RegistryStoreDirectory()));
    }
    int ok;
    if (isSettingKey && type == kRegistryTypeString) {
        ok = SettingsWriteString(kSettingsSubkey, name.c_str(), argument.c_str(),
                                 static_cast<uint32_t>(argument.size()));
    } else if (isSettingKey) {
        ok = SettingsWriteBinary(kSettingsSubkey, name.c_str(), bytes.data(),
                                 static_cast<uint32_t>(bytes.size()));
    } else {
        RegistryKey key;
        ok = RegistryOpenKey(kRegistryCurrentUser, path.c_str(), kRegistryWrite, &key) &&
             RegistrySetValue(&key, name.c_str(), type, bytes.data(),
                              static_cast<uint32_t>(bytes.size()));
        RegistryCloseKey(&key);
    }
    return ok ? 0 : Fail(Cause("cannot write " + name + " in " + RegistryStoreDirectory()));
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = DefaultKeyPath();
    std::vector<std::string> words;
    enum { kKey = 1, kVersion, kType };
    static const option kOptions[] = {
        {"key", required_argument, nullptr, kKey},
        {"int32", required_argument, nullptr, kType},
        {"byte", required_argument, nullptr, kType},
        {"double", required_argument, nullptr, kType},
        {"string", required_argument, nullptr, kType},
        {"hex", required_argument, nullptr, kType},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {nullptr, 0, nullptr, 0},
    };
    std::string typeOption, typeArgument;
    int types = 0;
    opterr = 0;
    int c, index = 0;
    // Options and words may come in any order; an option's value is taken as
    // it stands, even when it looks like an option itself.
    while ((c = getopt_long(argc, argv, ":h", kOptions, &index)) != -1) {
        switch (c) {
            case kKey:
                path = KeyPathBelowRoot(optarg);
                break;
            case kType:
                typeOption = std::string("--") + kOptions[index].name;
                typeArgument = optarg;
                ++types;
                break;
            case 'h':
                std::printf("%s", kHelp);
                std::printf("store: %s\n", RegistryStoreFile().c_str());
                return 0;
            case kVersion:
                std::printf("%s (Nocturo) %s\n", kProgram, NOCTURO_VERSION);
                return 0;
            default:  // an unknown option, or a value missing
                return Usage();
        }
    }
    for (int i = optind; i < argc; ++i) {
        words.push_back(argv[i]);
    }
    if (types > 1 || (types == 1 && (words.empty() || words[0] != "set"))) {
        return Usage();
    }
    if (types == 1) {
        words.push_back(typeOption);
        words.push_back(typeArgument);
    }
    if (words.empty()) {
        return Usage();
    }
    // The Setting key goes through the settings operations themselves.
    std::vector<std::string> components;
    std::string normalised;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('\\', start);
        end = end == std::string::npos ? path.size() : end;
        if (end > start) {
            normalised += (normalised.empty() ? "" : "\\") + path.substr(start, end - start);
        }
        start = end + 1;
    }
    if (normalised.empty()) {
        return Fail("no key given");
    }
    bool isSettingKey = strcasecmp(normalised.c_str(), DefaultKeyPath().c_str()) == 0;

    const std::string& command = words[0];
    if (command == "list" && words.size() == 1) {
        RegistryKey key;
        if (!OpenOrFail(normalised, kRegistryRead, &key)) {
            return 2;
        }
        std::vector<RegistryValue> values;
        if (!RegistryListValues(&key, &values)) {
            return Fail(Cause("no key " + normalised));
        }
        for (const RegistryValue& value : values) {
            std::printf("%s\n", Describe(value).c_str());
        }
        return 0;
    }
    if (command == "get" && words.size() == 2) {
        RegistryKey key;
        if (!OpenOrFail(normalised, kRegistryRead, &key)) {
            return 2;
        }
        RegistryValue value;
        if (!RegistryReadValue(&key, words[1].c_str(), &value)) {
            if (!RegistryStoreProblem().empty()) {
                return Fail(RegistryStoreProblem());
            }
            std::fprintf(stderr, "%s: no value %s in %s\n", kProgram, words[1].c_str(),
                         normalised.c_str());
            return 1;
        }
        std::printf("%s\n", Describe(value).c_str());
        return 0;
    }
    if (command == "delete" && words.size() == 2) {
        RegistryKey key;
        if (!OpenOrFail(normalised, kRegistryWrite, &key)) {
            return 2;
        }
        if (!RegistryDeleteValue(&key, words[1].c_str())) {
            return Fail(Cause("no value " + words[1] + " in " + normalised));
        }
        return 0;
    }
    if (command == "set" && words.size() == 4 && words[2].rfind("--", 0) == 0) {
        return Set(normalised, isSettingKey, words[1], words[2], words[3]);
    }
    return Usage();
}
