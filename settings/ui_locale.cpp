#include "settings/ui_locale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/cp1251.h"
#include "settings/ui_text.h"

UiLocale uiLocale = kUiLocaleEnglish;

namespace {

// The names of one locale, in Windows-1251.
struct LocaleNames {
    std::string weekday[7];
    std::string weekdayShort[7];
    std::string month[12];
    std::string monthOfDate[12];  // the form used inside a date (Russian genitive)
    std::string monthShort[12];
    std::string am, pm;
    std::string yearSuffix;  // after the year of the long date
};

LocaleNames MakeNames(const char* const (&weekday)[7], const char* const (&weekdayShort)[7],
                      const char* const (&month)[12], const char* const (&monthOfDate)[12],
                      const char* const (&monthShort)[12], const char* am, const char* pm,
                      const char* yearSuffix) {
    LocaleNames n;
    for (int i = 0; i < 7; ++i) {
        Cp1251FromUtf8(weekday[i], &n.weekday[i]);
        Cp1251FromUtf8(weekdayShort[i], &n.weekdayShort[i]);
    }
    for (int i = 0; i < 12; ++i) {
        Cp1251FromUtf8(month[i], &n.month[i]);
        Cp1251FromUtf8(monthOfDate[i], &n.monthOfDate[i]);
        Cp1251FromUtf8(monthShort[i], &n.monthShort[i]);
    }
    Cp1251FromUtf8(am, &n.am);
    Cp1251FromUtf8(pm, &n.pm);
    Cp1251FromUtf8(yearSuffix, &n.yearSuffix);
    return n;
}

const LocaleNames& English() {
    static const char* const weekday[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};
    static const char* const weekdayShort[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const month[12] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    static const char* const monthShort[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const LocaleNames names =
        MakeNames(weekday, weekdayShort, month, month, monthShort, "AM", "PM", "");
    return names;
}

const LocaleNames& Russian() {
    static const char* const weekday[7] = {"воскресенье", "понедельник", "вторник", "среда",
                                           "четверг",     "пятница",     "суббота"};
    static const char* const weekdayShort[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
    static const char* const month[12] = {"Январь",   "Февраль", "Март",   "Апрель",
                                          "Май",      "Июнь",    "Июль",   "Август",
                                          "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    static const char* const monthOfDate[12] = {"января",   "февраля", "марта",  "апреля",
                                                "мая",      "июня",    "июля",   "августа",
                                                "сентября", "октября", "ноября", "декабря"};
    static const char* const monthShort[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                               "июл", "авг", "сен", "окт", "ноя", "дек"};
    static const LocaleNames names =
        MakeNames(weekday, weekdayShort, month, monthOfDate, monthShort, "", "", " г.");
    return names;
}

const LocaleNames& Current() {
    return uiLocale == kUiLocaleRussian ? Russian() : English();
}

// Appends a number, zero-padded to `width` digits unless `trim` asks for none.
void Number(std::string* out, long value, int width, bool trim) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*ld", trim ? 1 : width, value);
    out->append(digits);
}

int Hour12(const std::tm* t) {
    const int h = t->tm_hour % 12;
    return h == 0 ? 12 : h;
}

void ShortDate(std::string* out, const std::tm* t) {
    if (uiLocale == kUiLocaleRussian) {  // 11.12.2026
        Number(out, t->tm_mday, 2, false);
        out->push_back('.');
        Number(out, t->tm_mon + 1, 2, false);
        out->push_back('.');
        Number(out, t->tm_year + 1900L, 4, false);
    } else {  // 12/11/26
        Number(out, t->tm_mon + 1, 2, false);
        out->push_back('/');
        Number(out, t->tm_mday, 2, false);
        out->push_back('/');
        Number(out, (t->tm_year + 1900L) % 100, 2, false);
    }
}

// The long date: "Friday, December 11, 2026" or "пятница, 11 декабря 2026 г.".
void LongDate(std::string* out, const std::tm* t) {
    const LocaleNames& n = Current();
    out->append(n.weekday[t->tm_wday]);
    out->append(", ");
    if (uiLocale == kUiLocaleRussian) {
        Number(out, t->tm_mday, 1, true);
        out->push_back(' ');
        out->append(n.monthOfDate[t->tm_mon]);
        out->push_back(' ');
        Number(out, t->tm_year + 1900L, 1, true);
        out->append(n.yearSuffix);
    } else {
        out->append(n.monthOfDate[t->tm_mon]);
        out->push_back(' ');
        Number(out, t->tm_mday, 1, true);
        out->append(", ");
        Number(out, t->tm_year + 1900L, 1, true);
    }
}

// The time of day with seconds: "9:05:07 AM" or "9:05:07".
void TimeOfDay(std::string* out, const std::tm* t) {
    if (uiLocale == kUiLocaleRussian) {
        Number(out, t->tm_hour, 1, true);
    } else {
        Number(out, Hour12(t), 1, true);
    }
    out->push_back(':');
    Number(out, t->tm_min, 2, false);
    out->push_back(':');
    Number(out, t->tm_sec, 2, false);
    if (uiLocale == kUiLocaleEnglish) {
        out->push_back(' ');
        out->append(t->tm_hour < 12 ? English().am : English().pm);
    }
}

bool FieldsInRange(const std::tm* t) {
    return t->tm_sec >= 0 && t->tm_sec <= 60 && t->tm_min >= 0 && t->tm_min <= 59 &&
           t->tm_hour >= 0 && t->tm_hour <= 23 && t->tm_mday >= 1 && t->tm_mday <= 31 &&
           t->tm_mon >= 0 && t->tm_mon <= 11 && t->tm_wday >= 0 && t->tm_wday <= 6 &&
           t->tm_yday >= 0 && t->tm_yday <= 365 && t->tm_year >= -1900 && t->tm_year <= 8099;
}

// One conversion; false when it is not known.
bool Convert(std::string* out, char c, bool alternate, const std::tm* t) {
    const LocaleNames& n = Current();
    switch (c) {
        case 'a':
            out->append(n.weekdayShort[t->tm_wday]);
            return true;
        case 'A':
            out->append(n.weekday[t->tm_wday]);
            return true;
        case 'b':
            out->append(n.monthShort[t->tm_mon]);
            return true;
        case 'B':
            out->append(n.month[t->tm_mon]);
            return true;
        case 'c':
            if (alternate) {
                LongDate(out, t);
                out->append(uiLocale == kUiLocaleRussian ? " " : ", ");
            } else {
                ShortDate(out, t);
                out->push_back(' ');
            }
            TimeOfDay(out, t);
            return true;
        case 'd':
            Number(out, t->tm_mday, 2, alternate);
            return true;
        case 'H':
            Number(out, t->tm_hour, 2, alternate);
            return true;
        case 'I':
            Number(out, Hour12(t), 2, alternate);
            return true;
        case 'j':
            Number(out, t->tm_yday + 1, 3, alternate);
            return true;
        case 'm':
            Number(out, t->tm_mon + 1, 2, alternate);
            return true;
        case 'M':
            Number(out, t->tm_min, 2, alternate);
            return true;
        case 'p':
            out->append(t->tm_hour < 12 ? n.am : n.pm);
            return true;
        case 'S':
            Number(out, t->tm_sec, 2, alternate);
            return true;
        case 'w':
            Number(out, t->tm_wday, 1, true);
            return true;
        case 'x':
            if (alternate) {
                LongDate(out, t);
            } else {
                ShortDate(out, t);
            }
            return true;
        case 'X':
            TimeOfDay(out, t);
            return true;
        case 'y':
            Number(out, (t->tm_year + 1900L) % 100, 2, alternate);
            return true;
        case 'Y':
            Number(out, t->tm_year + 1900L, 4, alternate);
            return true;
        case '%':
            out->push_back('%');
            return true;
        default:
            return false;
    }
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Alphabetical weight of a byte, letter case folded.
int CollationWeight(unsigned char byte) {
    const char32_t c = Cp1251ToUnicode(Cp1251ToLower(byte));
    if (c >= 0x0430 && c <= 0x044F)
        return 0x10000 + static_cast<int>(c - 0x0430) * 2;
    if (c == 0x0451)
        return 0x10000 + (0x0435 - 0x0430) * 2 + 1;  // ё right after е
    if (c >= 0x0450 && c <= 0x045F)
        return 0x10100 + static_cast<int>(c);
    return static_cast<int>(c);
}

}  // namespace

int UiLocaleSet(const char* name) {
    if (name == nullptr)
        return 0;
    if (UiLocaleCompareNoCase(name, "English") == 0) {
        uiLocale = kUiLocaleEnglish;
        return 1;
    }
    if (UiLocaleCompareNoCase(name, "Russian") == 0) {
        uiLocale = kUiLocaleRussian;
        return 1;
    }
    return 0;
}

void UiLocaleSelectForLanguage(int languageOffset) {
    uiLocale = languageOffset == kUiTextEnglish ? kUiLocaleEnglish : kUiLocaleRussian;
}

size_t UiLocaleFormatTime(char* out, size_t size, const char* format, const std::tm* time) {
    if (out == nullptr || size == 0)
        return 0;
    out[0] = 0;
    if (format == nullptr || time == nullptr || !FieldsInRange(time))
        return 0;
    std::string text;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            text.push_back(*p);
            continue;
        }
        ++p;
        bool alternate = false;
        if (*p == '#') {
            alternate = true;
            ++p;
        }
        if (*p == 0 || !Convert(&text, *p, alternate, time))
            return 0;
    }
    if (text.size() + 1 > size)
        return 0;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return text.size();
}

char UiLocaleDecimalSeparator() {
    return uiLocale == kUiLocaleRussian ? ',' : '.';
}

double UiLocaleToDouble(const char* text) {
    if (text == nullptr)
        return 0.0;
    const char separator = UiLocaleDecimalSeparator();
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    // Gather the number in the form the locale-free parser reads.
    std::string number;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    bool digits = false;
    while (*p >= '0' && *p <= '9')
        number.push_back(*p++), digits = true;
    if (*p == separator) {
        number.push_back('.');
        ++p;
        while (*p >= '0' && *p <= '9')
            number.push_back(*p++), digits = true;
    }
    if (!digits)
        return 0.0;
    if (number.front() == '.')
        number.insert(number.begin(), '0');
    if (number.back() == '.')
        number.push_back('0');
    if (*p == 'e' || *p == 'E') {
        std::string exponent = "e";
        const char* q = p + 1;
        if (*q == '+' || *q == '-')
            exponent.push_back(*q++);
        if (*q >= '0' && *q <= '9') {
            while (*q >= '0' && *q <= '9')
                exponent.push_back(*q++);
            number += exponent;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large becomes infinite and too small zero, as the C conversion gives.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

size_t UiLocaleFormatDouble(char* out, size_t size, double value, int decimals) {
    if (out == nullptr || size == 0)
        return 0;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals < 0 ? 0 : decimals);
    out[0] = 0;
    if (result.ec != std::errc())
        return 0;
    const size_t length = static_cast<size_t>(result.ptr - buffer);
    if (length + 1 > size)
        return 0;
    for (size_t i = 0; i < length; ++i) {
        out[i] = buffer[i] == '.' ? UiLocaleDecimalSeparator() : buffer[i];
    }
    out[length] = 0;
    return length;
}

int UiLocaleCompareNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        const int x = Cp1251ToLower(*p);
        const int y = Cp1251ToLower(*q);
        if (x != y || x == 0)
            return x - y;
    }
}

int UiLocaleCollateNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        if (*p == 0 || *q == 0)
            return (*p != 0) - (*q != 0);
        const int x = CollationWeight(*p);
        const int y = CollationWeight(*q);
        if (x != y)
            return x < y ? -1 : 1;
    }
}
