#include "settings/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

// The C library's own converter is an independent reference for the table.
std::string IconvToUtf8(unsigned char byte, bool* ok) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    *ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    return std::string(out, sizeof out - outLeft);
}

TEST(Cp1251, EveryByteMatchesTheSystemConverterBothWays) {
    for (int b = 1; b < 256; ++b) {
        bool ok = false;
        const std::string reference = IconvToUtf8(static_cast<unsigned char>(b), &ok);
        const char text[2] = {static_cast<char>(b), 0};
        if (!ok) {  // 0x98 is not assigned
            EXPECT_EQ(b, 0x98);
            EXPECT_EQ(Cp1251ToUnicode(0x98), U'\xFFFD');
            continue;
        }
        EXPECT_EQ(Cp1251ToUtf8(text), reference) << "byte " << b;
        std::string back;
        EXPECT_EQ(Cp1251FromUtf8(reference.c_str(), &back), 1);
        EXPECT_EQ(back, std::string(text)) << "byte " << b;
    }
}

TEST(Cp1251, CharactersOutsideTheCodePageAndBrokenUtf8BecomeQuestionMarks) {
    std::string out;
    EXPECT_EQ(Cp1251FromUtf8("a\xE2\x82\xACz", &out), 1);  // the euro sign exists
    EXPECT_EQ(out, "a\x88z");
    EXPECT_EQ(Cp1251FromUtf8("\xE4\xB8\xAD|\xC3\xA4|\xD0|\xFF", &out), 0);
    EXPECT_EQ(out, "?|?|?|?");
}

TEST(Cp1251, LetterCaseOfLatinAndCyrillic) {
    struct Case {
        unsigned char upper, lower;
    } const pairs[] = {
        {'A', 'a'},   {'Z', 'z'},   {0xC0, 0xE0}, {0xDF, 0xFF},  // А а, Я я
        {0xA8, 0xB8},                                            // Ё ё
        {0xB2, 0xB3}, {0xAF, 0xBF}, {0xA5, 0xB4}, {0x80, 0x90},  // І і, Ї ї, Ґ ґ, Ђ ђ
        {0xA1, 0xA2}, {0xA3, 0xBC}, {0x81, 0x83},                // Ў ў, Ј ј, Ѓ ѓ
    };
    for (const Case& c : pairs) {
        EXPECT_EQ(Cp1251ToLower(c.upper), c.lower) << int(c.upper);
        EXPECT_EQ(Cp1251ToUpper(c.lower), c.upper) << int(c.lower);
        EXPECT_EQ(Cp1251ToLower(c.lower), c.lower);
        EXPECT_EQ(Cp1251ToUpper(c.upper), c.upper);
    }
    for (int other : {int('0'), int('%'), int(' '), 0xB0, 0xB9, 0xAB}) {  // digits, signs, °, №, «
        EXPECT_EQ(Cp1251ToLower(static_cast<unsigned char>(other)), other);
        EXPECT_EQ(Cp1251ToUpper(static_cast<unsigned char>(other)), other);
    }
    // Every byte survives a round trip through the other case.
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        const unsigned char lower = Cp1251ToLower(byte);
        if (lower != byte) {
            EXPECT_EQ(Cp1251ToUpper(lower), byte);
        }
    }
}

}  // namespace
