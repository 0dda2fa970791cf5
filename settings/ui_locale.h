#pragma once

#include <cstddef>
#include <ctime>

// The two interface locales of the system, "English" and "Russian". They are
// the project's own, so they work on any machine without a generated system
// locale and without touching the C library's locale: the long date and the
// time of day, the decimal separator and the letter case of Windows-1251 text.
// One locale is current for the whole process; choosing the interface
// language chooses it too.

enum UiLocale { kUiLocaleEnglish = 0, kUiLocaleRussian = 1 };

// English until a language is selected.
extern UiLocale uiLocale;

// Selects a locale by its name, "English" or "Russian" (any letter case).
// Returns 1, or 0 for another name, which keeps the current locale.
int UiLocaleSet(const char* name);

// The locale that belongs to an interface language offset (100 English, 0 Russian).
void UiLocaleSelectForLanguage(int languageOffset);

// Formats a broken-down time like strftime into Windows-1251 text under the
// current locale. Besides the common conversions (%a %A %b %B %c %d %H %I %j
// %m %M %p %S %w %x %X %y %Y %Z %%, and '#' to drop leading zeros, "%#x" the
// long date), nothing else is known. Returns the length written without the
// terminating zero, or 0 (with out[0] = 0 when size > 0) when the text does not
// fit or the format has an unknown conversion.
size_t UiLocaleFormatTime(char* out, size_t size, const char* format, const std::tm* time);

// '.' in English, ',' in Russian.
char UiLocaleDecimalSeparator();

// The leading decimal number of a text under the current locale, as the C
// runtime's conversion reads it: blanks, a sign, digits with the locale's
// separator, an exponent. Any other character ends the number (in Russian a
// '.' does); no number at all gives 0.
double UiLocaleToDouble(const char* text);

// Writes a number with the locale's decimal separator ("%.*f").
size_t UiLocaleFormatDouble(char* out, size_t size, double value, int decimals);

// Compares two Windows-1251 texts without regard to the letter case of Latin
// and Cyrillic letters, byte by byte on the small letters (<0, 0, >0).
int UiLocaleCompareNoCase(const char* a, const char* b);

// Alphabetical order without regard to case, for sorted lists of names:
// like UiLocaleCompareNoCase, but the Cyrillic letters follow their alphabet
// (Ё after Е) and come after the Latin ones.
int UiLocaleCollateNoCase(const char* a, const char* b);
