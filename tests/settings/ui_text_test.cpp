#include "settings/ui_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/ui_locale.h"

namespace {

class UiTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UiTextBuild();
        uiTextLanguageOffset = kUiTextRussian;
    }
    void TearDown() override { uiTextLanguageOffset = kUiTextRussian; }
};

std::string Text(int offset, int id) {
    uiTextLanguageOffset = offset;
    return UiTextGet(id);
}

// The expected bytes are written out as Windows-1251, independent of the
// conversion the table is built with.
TEST_F(UiTextTest, TextsOfBothLanguagesAreStoredByteForByte) {
    struct Row {
        int id;
        const char* russian;
        const char* english;
    } const rows[] = {
        {55, "\xCB\xF3\xED\xE0", "Moon"},
        {57, "\xE2\xEE\xF1\xF5\xEE\xE4", "rise"},
        {63, "\xC2\xE0\xF8\xE8 \xEA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2\xFB:", "Your coordinates:"},
        {2, " \xCF\xE0\xF0\xE0\xEC\xE5\xF2\xF0\xFB \xE7\xE0\xF1\xF2\xE0\xE2\xEA\xE8 \"Nocturo\"",
         " Nocturo"},
        {50, "\xCE \xE7\xE0\xF1\xF2\xE0\xE2\xEA\xE5 \"Nocturo\"", "About \"Nocturo\""},
        {40,
         "\xD8\xE8\xF0\xEE\xF2\xE0 \xE2\xED\xE5 \xE4\xE8\xE0\xEF\xE0\xE7\xEE\xED\xE0 [0-90\xB0]",
         "Latitude is out of range [0-90\xB0]"},
        {39, nullptr, "Longitude is out of range [0-180\xB0]"},
        {32, nullptr,
         "\xD1"
         "an not create file! the City will not be added!"},
        {29, nullptr, "The name: %s already is in the list,\n\r the location will not be added!"},
        {25, "\xE3\xF0\xE0\xE4\xF3\xF1\xFB  \xEC\xE8\xED\xF3\xF2\xFB \xF1\xE5\xEA\xF3\xED\xE4\xFB",
         "degrees   minutes   seconds"},
    };
    for (const Row& row : rows) {
        if (row.russian != nullptr) {
            EXPECT_EQ(Text(kUiTextRussian, row.id), row.russian) << row.id;
        }
        EXPECT_EQ(Text(kUiTextEnglish, row.id), row.english) << row.id;
    }
}

TEST_F(UiTextTest, EnglishIsAsciiSaveTheCyrillicEsAndTheDegreeSigns) {
    int russianTexts = 0;
    for (int id = 0; id < kUiTextIds; ++id) {
        const std::string english = Text(kUiTextEnglish, id);
        const std::string russian = Text(kUiTextRussian, id);
        EXPECT_EQ(english.empty(), russian.empty()) << "id " << id;
        if (!russian.empty())
            ++russianTexts;
        for (size_t i = 0; i < english.size(); ++i) {
            const unsigned char c = english[i];
            const bool allowed = c < 0x80 || (id == 32 && i == 0 && c == 0xD1) ||
                                 ((id == 39 || id == 40 || id == 51) && (c == 0xB0 || c == 0xA9));
            EXPECT_TRUE(allowed) << "id " << id << " byte " << i;
        }
        // Conversion never had to put a '?' for a character it lacked.
        EXPECT_EQ(russian.find('?'), std::string::npos) << "id " << id;
    }
    EXPECT_GT(russianTexts, 40);
    // Ids that hold nothing read as empty, as do ids outside the table.
    for (int id : {0, 1, 3, 14, 99, -1, 100, 250})
        EXPECT_STREQ(UiTextGet(id), "") << id;
}

TEST_F(UiTextTest, ScratchBufferHoldsTheLongestTextAndIsClearedOnFetch) {
    char* scratch = UiTextScratch();
    ASSERT_NE(scratch, nullptr);
    // The longest text is the Russian text 27.
    uiTextLanguageOffset = kUiTextRussian;
    const size_t longest = std::strlen(UiTextGet(27)) + 1;
    EXPECT_EQ(UiTextLongest(), longest);
    EXPECT_EQ(uiText.scratchSize, longest);

    EXPECT_EQ(UiTextFetch(scratch, 27), scratch);
    EXPECT_STREQ(scratch, UiTextGet(27));
    EXPECT_EQ(UiTextFetch(scratch, 55), scratch);
    EXPECT_STREQ(scratch, "\xCB\xF3\xED\xE0");
    for (size_t i = std::strlen(scratch); i < uiText.scratchSize; ++i) {
        EXPECT_EQ(scratch[i], 0) << "left over at " << i;
    }

    // A buffer of the caller's own: the text and its zero, nothing beyond.
    char own[8];
    std::memset(own, 'x', sizeof own);
    uiTextLanguageOffset = kUiTextEnglish;
    UiTextFetch(own, 56);
    EXPECT_EQ(std::string(own, 5), std::string("Sun\0x", 5));
    UiTextFetchN(own, 4, 63);
    EXPECT_STREQ(own, "You");
}

TEST_F(UiTextTest, BuildingTwiceKeepsWhatWasStoredAndStoreGrowsTheScratch) {
    const std::string before = UiTextGet(55);
    const std::string longText(300, 'L');
    ASSERT_EQ(UiTextStore(55, kUiTextRussian, longText.c_str()), 1);
    EXPECT_EQ(uiText.scratchSize, longText.size() + 1);
    UiTextBuild();  // already built: nothing changes
    EXPECT_EQ(UiTextGet(55), longText);
    UiTextFetch(UiTextScratch(), 55);
    EXPECT_EQ(std::string(UiTextScratch()), longText);
    ASSERT_EQ(UiTextStore(55, kUiTextRussian, before.c_str()), 1);
    EXPECT_EQ(UiTextGet(55), before);

    EXPECT_EQ(UiTextStore(100, kUiTextRussian, "x"), 0);
    EXPECT_EQ(UiTextStore(5, 50, "x"), 0);
    EXPECT_EQ(UiTextStore(5, kUiTextEnglish, nullptr), 0);
}

TEST_F(UiTextTest, NamesFillTheirPlaceAsPlainText) {
    char out[200];
    uiTextLanguageOffset = kUiTextEnglish;
    UiTextFill(out, sizeof out, 34, "100%s %d %n");
    EXPECT_STREQ(out, "The Name '100%s %d %n' is absent in the list!");
    uiTextLanguageOffset = kUiTextRussian;
    UiTextFill(out, sizeof out, 29, "%");
    EXPECT_EQ(std::string(out).substr(0, 7), "\xC8\xEC\xFF: % ");
    // Cut to the buffer, still terminated; the result says what it needed.
    EXPECT_EQ(UiTextFill(out, 6, 34, "Oslo"), std::strlen(UiTextGet(34)) - 2 + 4);
    EXPECT_EQ(std::strlen(out), 5u);
}

TEST_F(UiTextTest, LanguageValueSelectsTextsAndLocale) {
    struct Case {
        int startOffset;
        int32_t value;
        int offset;
        UiLocale locale;
    } const cases[] = {
        {kUiTextRussian, 0, kUiTextEnglish, kUiLocaleEnglish},
        {kUiTextEnglish, 1, kUiTextRussian, kUiLocaleRussian},
        {kUiTextRussian, 7, kUiTextRussian, kUiLocaleRussian},  // keeps Russian, sets its locale
        {kUiTextEnglish, 2, kUiTextEnglish, kUiLocaleEnglish},
        {kUiTextEnglish, -1, kUiTextEnglish, kUiLocaleEnglish},
    };
    for (const Case& c : cases) {
        uiTextLanguageOffset = c.startOffset;
        uiLocale = c.locale == kUiLocaleEnglish ? kUiLocaleRussian : kUiLocaleEnglish;
        UiTextSelectLanguage(c.value);
        EXPECT_EQ(uiTextLanguageOffset, c.offset) << c.value;
        EXPECT_EQ(uiLocale, c.locale) << c.value;
    }
    // A switch changes the very next fetch.
    UiTextSelectLanguage(0);
    EXPECT_STREQ(UiTextGet(56), "Sun");
    UiTextSelectLanguage(1);
    EXPECT_STREQ(UiTextGet(56), "\xD1\xEE\xEB\xED\xF6\xE5");
}

}  // namespace
