#include "platform/registry_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>

#include "platform/registry_names.h"

namespace {

void NoteDamage(RegistryTree* store, size_t lineNumber, const char* what) {
    if (!store->damaged) {
        store->problem = "line " + std::to_string(lineNumber) + ": " + what;
    }
    store->damaged = true;
}

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
        } else if (RegistryIsControl(c)) {
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
            if (RegistryIsControl(static_cast<unsigned char>(c))) {
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

}  // namespace

std::string RegistrySerialize(const RegistryTree& store) {
    std::string out =
        "# Nocturo settings store: the keys and values of the current user.\n"
        "# Programs replace this file as a whole; change it with nocturo-settings.\n"
        "# binary[N] is N bytes in hex, string is a text with its terminating zero;\n"
        "# the note after ';' only helps reading and is ignored.\n";
    // A key without values is implied by its descendants; only the others
    // need a line of their own.
    std::unordered_set<std::string> parents;
    for (const RegistryTreeKey& key : store.keys) {
        if (!key.path.empty()) {
            size_t last = key.path.rfind('\\');
            parents.insert(RegistryFoldName(last == std::string::npos ? std::string()
                                                                      : key.path.substr(0, last)));
        }
    }
    for (const RegistryTreeKey& key : store.keys) {
        if (key.values.empty() && parents.count(RegistryFoldName(key.path)) != 0) {
            continue;
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

// Reads what can be understood; every line that cannot is skipped, and a
// damaged key header makes its values unreachable rather than misplaced.
void RegistryParse(const std::string& text, RegistryTree* store) {
    store->keys.clear();
    store->damaged = false;
    store->problem.clear();
    RegistryAddKey(store, {});
    RegistryTreeKey* current = nullptr;  // no header yet: values have no home
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
                !RegistrySplitPath(std::string(line.at + 1, close - 1), &components)) {
                NoteDamage(store, lineNumber, "not a key name");
                continue;
            }
            current = RegistryAddKey(store, components);
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
        RegistryPutValue(current, std::move(value));
    }
}
