#include "settings/cp1251.h"

namespace {

// Code points of the bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

// Unicode small letter of a Cyrillic or Latin capital, else the same point.
char32_t UnicodeToLower(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F)
        return c + 0x50;
    if (c >= 0x0410 && c <= 0x042F)
        return c + 0x20;
    if (c == 0x0490)
        return 0x0491;
    return c;
}

char32_t UnicodeToUpper(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F)
        return c - 0x50;
    if (c >= 0x0430 && c <= 0x044F)
        return c - 0x20;
    if (c == 0x0491)
        return 0x0490;
    return c;
}

struct CaseTables {
    unsigned char lower[256];
    unsigned char upper[256];
    CaseTables() {
        for (int b = 0; b < 256; ++b) {
            const unsigned char byte = static_cast<unsigned char>(b);
            const int lo = Cp1251FromUnicode(UnicodeToLower(Cp1251ToUnicode(byte)));
            const int up = Cp1251FromUnicode(UnicodeToUpper(Cp1251ToUnicode(byte)));
            lower[b] = lo < 0 ? byte : static_cast<unsigned char>(lo);
            upper[b] = up < 0 ? byte : static_cast<unsigned char>(up);
        }
    }
};

const CaseTables& Cases() {
    static const CaseTables tables;
    return tables;
}

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

}  // namespace

char32_t Cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return 0x0410 + (byte - 0xC0);
    return kHigh[byte - 0x80];
}

int Cp1251FromUnicode(char32_t c) {
    if (c < 0x80)
        return static_cast<int>(c);
    if (c >= 0x0410 && c <= 0x044F)
        return static_cast<int>(c - 0x0410 + 0xC0);
    if (c == 0xFFFD)
        return -1;
    for (int i = 0; i < 64; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

std::string Cp1251ToUtf8(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        AppendUtf8(Cp1251ToUnicode(*p), &out);
    }
    return out;
}

int Cp1251FromUtf8(const char* utf8, std::string* out) {
    out->clear();
    int ok = 1;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        char32_t c = 0;
        int extra = 0;
        if (*p < 0x80) {
            c = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            c = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            c = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            c = *p & 0x07;
            extra = 3;
        } else {
            out->push_back('?');
            ok = 0;
            ++p;
            continue;
        }
        ++p;
        int taken = 0;
        while (taken < extra && (*p & 0xC0) == 0x80) {
            c = (c << 6) | (*p & 0x3F);
            ++p;
            ++taken;
        }
        const int byte = taken == extra ? Cp1251FromUnicode(c) : -1;
        if (byte < 0) {
            out->push_back('?');
            ok = 0;
        } else {
            out->push_back(static_cast<char>(byte));
        }
    }
    return ok;
}

unsigned char Cp1251ToLower(unsigned char byte) {
    return Cases().lower[byte];
}

unsigned char Cp1251ToUpper(unsigned char byte) {
    return Cases().upper[byte];
}
