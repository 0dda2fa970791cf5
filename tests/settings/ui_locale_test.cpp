#include "settings/ui_locale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "settings/cp1251.h"

namespace {

std::string Cp(const char* utf8) {
    std::string out;
    EXPECT_EQ(Cp1251FromUtf8(utf8, &out), 1) << utf8;
    return out;
}

std::tm Time(int year, int month, int day, int wday, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_wday = wday;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string Format(UiLocale locale, const char* format, const std::tm& t) {
    uiLocale = locale;
    char out[100];
    UiLocaleFormatTime(out, sizeof out, format, &t);
    return out;
}

class UiLocaleTest : public ::testing::Test {
  protected:
    void TearDown() override { uiLocale = kUiLocaleEnglish; }
};

TEST_F(UiLocaleTest, LongDateAndTimeOfDayInBothLanguages) {
    struct Case {
        std::tm time;
        const char* englishDate;
        const char* englishTime;
        const char* russianDate;  // UTF-8 here
        const char* russianTime;
    } const cases[] = {
        {Time(2026, 12, 11, 5, 9, 5, 7), "Friday, December 11, 2026", "9:05:07 AM",
         "пятница, 11 декабря 2026 г.", "9:05:07"},
        {Time(2024, 2, 29, 4, 0, 0, 0), "Thursday, February 29, 2024", "12:00:00 AM",
         "четверг, 29 февраля 2024 г.", "0:00:00"},
        {Time(2000, 1, 2, 0, 12, 30, 59), "Sunday, January 2, 2000", "12:30:59 PM",
         "воскресенье, 2 января 2000 г.", "12:30:59"},
        {Time(1999, 5, 31, 1, 23, 59, 59), "Monday, May 31, 1999", "11:59:59 PM",
         "понедельник, 31 мая 1999 г.", "23:59:59"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Format(kUiLocaleEnglish, "%#x", c.time), c.englishDate);
        EXPECT_EQ(Format(kUiLocaleEnglish, "%X", c.time), c.englishTime);
        EXPECT_EQ(Format(kUiLocaleRussian, "%#x", c.time), Cp(c.russianDate));
        EXPECT_EQ(Format(kUiLocaleRussian, "%X", c.time), Cp(c.russianTime));
    }
    const std::tm t = Time(2026, 3, 8, 0, 14, 5, 9);
    EXPECT_EQ(Format(kUiLocaleEnglish, "%x|%Y-%m-%d %H:%M:%S|%#d|%a %b|%%", t),
              "03/08/26|2026-03-08 14:05:09|8|Sun Mar|%");
    EXPECT_EQ(Format(kUiLocaleRussian, "%x %A %B", t), Cp("08.03.2026 воскресенье Март"));
}

TEST_F(UiLocaleTest, FormattingFailsCleanlyOnSmallBuffersUnknownFormatsAndBadTimes) {
    const std::tm t = Time(2026, 12, 11, 5, 9, 5, 7);
    char out[10] = "garbage";
    EXPECT_EQ(UiLocaleFormatTime(out, sizeof out, "%#x", &t), 0u);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(UiLocaleFormatTime(out, sizeof out, "%X", &t), 0u);  // needs 11 bytes
    char fits[11];
    EXPECT_EQ(UiLocaleFormatTime(fits, sizeof fits, "%X", &t), 10u);
    EXPECT_STREQ(fits, "9:05:07 AM");
    for (const char* bad : {"%Q", "%", "abc%#"}) {
        EXPECT_EQ(UiLocaleFormatTime(fits, sizeof fits, bad, &t), 0u) << bad;
        EXPECT_STREQ(fits, "");
    }
    std::tm wrong = t;
    wrong.tm_mon = 12;
    EXPECT_EQ(UiLocaleFormatTime(fits, sizeof fits, "%B", &wrong), 0u);
    wrong = t;
    wrong.tm_wday = -1;
    EXPECT_EQ(UiLocaleFormatTime(fits, sizeof fits, "%A", &wrong), 0u);
    EXPECT_EQ(UiLocaleFormatTime(fits, 0, "%X", &t), 0u);
}

TEST_F(UiLocaleTest, DecimalNumbersFollowTheLocaleSeparator) {
    struct Case {
        const char* text;
        double english, russian;
    } const cases[] = {
        {"55.75", 55.75, 55.0}, {"55,75", 55.0, 55.75}, {"  -12.5x", -12.5, -12.0},
        {"+,5", 0.0, 0.5},      {".5", 0.5, 0.0},       {"7.", 7.0, 7.0},
        {"1.5e2", 150.0, 1.0},  {"1,5E-1", 1.0, 0.15},  {"3e", 3.0, 3.0},
        {"abc", 0.0, 0.0},      {"", 0.0, 0.0},         {"-", 0.0, 0.0},
        {"180", 180.0, 180.0},  {"\t\n42", 42.0, 42.0}, {"- 1", 0.0, 0.0},
    };
    for (const Case& c : cases) {
        uiLocale = kUiLocaleEnglish;
        EXPECT_DOUBLE_EQ(UiLocaleToDouble(c.text), c.english) << c.text;
        uiLocale = kUiLocaleRussian;
        EXPECT_DOUBLE_EQ(UiLocaleToDouble(c.text), c.russian) << c.text;
    }
    EXPECT_TRUE(std::isinf(UiLocaleToDouble("1e999")));
    EXPECT_EQ(UiLocaleToDouble("1e-999"), 0.0);
    EXPECT_EQ(UiLocaleToDouble(nullptr), 0.0);

    char out[32];
    uiLocale = kUiLocaleRussian;
    EXPECT_EQ(UiLocaleDecimalSeparator(), ',');
    UiLocaleFormatDouble(out, sizeof out, -55.755, 2);
    EXPECT_STREQ(out, "-55,76");
    EXPECT_DOUBLE_EQ(UiLocaleToDouble(out), -55.76);
    uiLocale = kUiLocaleEnglish;
    EXPECT_EQ(UiLocaleDecimalSeparator(), '.');
    UiLocaleFormatDouble(out, sizeof out, 37.6, 3);
    EXPECT_STREQ(out, "37.600");
    EXPECT_EQ(UiLocaleFormatDouble(out, 3, 37.6, 3), 0u);
}

TEST_F(UiLocaleTest, LocaleNamesAndLanguageOffsets) {
    EXPECT_EQ(UiLocaleSet("Russian"), 1);
    EXPECT_EQ(uiLocale, kUiLocaleRussian);
    EXPECT_EQ(UiLocaleSet("english"), 1);
    EXPECT_EQ(uiLocale, kUiLocaleEnglish);
    EXPECT_EQ(UiLocaleSet("German"), 0);
    EXPECT_EQ(UiLocaleSet(nullptr), 0);
    EXPECT_EQ(uiLocale, kUiLocaleEnglish);
    UiLocaleSelectForLanguage(0);
    EXPECT_EQ(uiLocale, kUiLocaleRussian);
    UiLocaleSelectForLanguage(100);
    EXPECT_EQ(uiLocale, kUiLocaleEnglish);
}

TEST_F(UiLocaleTest, CaseInsensitiveComparisonOfCyrillicAndLatin) {
    EXPECT_EQ(UiLocaleCompareNoCase(Cp("МОСКВА").c_str(), Cp("москва").c_str()), 0);
    EXPECT_EQ(UiLocaleCompareNoCase(Cp("ЁЛКИ").c_str(), Cp("ёлки").c_str()), 0);
    EXPECT_EQ(UiLocaleCompareNoCase("New York", "NEW YORK"), 0);
    EXPECT_LT(UiLocaleCompareNoCase("Oslo", "oslo2"), 0);
    EXPECT_LT(UiLocaleCompareNoCase(Cp("Тверь").c_str(), Cp("тула").c_str()), 0);
    EXPECT_NE(UiLocaleCompareNoCase(Cp("Елки").c_str(), Cp("Ёлки").c_str()), 0);
}

TEST_F(UiLocaleTest, CollationSortsAlphabeticallyWithoutCase) {
    std::vector<std::string> names = {Cp("ёж"),     Cp("Жуковский"), "berlin",
                                      Cp("Еловка"), "Amsterdam",     Cp("яхрома"),
                                      Cp("Абакан"), "Zurich",        Cp("ЕЛЬ")};
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return UiLocaleCollateNoCase(a.c_str(), b.c_str()) < 0;
    });
    const std::vector<std::string> expected = {"Amsterdam",  "berlin",        "Zurich",
                                               Cp("Абакан"), Cp("Еловка"),    Cp("ЕЛЬ"),
                                               Cp("ёж"),     Cp("Жуковский"), Cp("яхрома")};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(UiLocaleCollateNoCase(Cp("Омск").c_str(), Cp("ОМСК").c_str()), 0);
    EXPECT_LT(UiLocaleCollateNoCase("Om", "Omsk"), 0);
    EXPECT_GT(UiLocaleCollateNoCase("Omsk", "Om"), 0);
}

}  // namespace
