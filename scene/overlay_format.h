#pragma once

// The texts of the overlay's values: clock times, angles, the day length, the
// coordinates and the lunar day. Plain text, no drawing, so the tools show
// the same texts as the saver.

#include <string>

// "hh:mm" of local hours, minutes rounded half up (6.999 -> "07:00", from
// 23:59:30 on "24:00"); "--" for an absent event (|t| > 1e100) or a value
// that is no time at all.
std::string FormatClock(double hours);

// "dd° mm' ss\"" of |v| rounded to the second, with the sign of v on the
// degrees ("-0" for a negative value under one degree), the degree sign as
// byte 0xB0; "--" for a value that is not a finite angle.
std::string FormatAngle(double degrees);

// The length of the day from the Sun's rise and set, "hh:mm": 24:00 when the
// Sun does not rise (+1e200), else the difference of the two clock times;
// "--" when the set is absent or the rise is the other marker (-1e200).
std::string FormatDayLength(double sunRise, double sunSet);

// The coordinates with their hemisphere: " N" only for a latitude above 0,
// " E" only for a longitude above 0.
std::string FormatLatitude(double latitude);
std::string FormatLongitude(double longitude);

// The lunar day's text, or "--" when the lunar day was not found.
std::string FormatLunarDay(double lunarDay, const char* text);

// The Moon's facts. Words come from the caller in the interface language;
// `russian` picks that language's number forms.

// Which form a count takes: 0 the singular (English 1; Russian 1, 21, 31,
// ... but not 11), 1 the Russian "few" form (2-4, 22-24, ... but not
// 12-14), 2 the plural of everything else.
int PluralForm(long long count, bool russian);

// The lit fraction as a whole percentage, "96 %"; "--" when not in 0 ... 1.
std::string FormatIlluminated(double fraction);

// Whole days and hours of an age, each with the form its count takes:
// "13 days 9 hours", "1 день 21 час"; "--" when negative or not finite.
std::string FormatMoonAge(double ageDays, const char* const dayWords[3],
                          const char* const hourWords[3], bool russian);

// Whole kilometres with thousands grouped ("360,389 km"; Russian groups with
// a space: "360 389 км"); "--" when not a finite positive distance.
std::string FormatDistance(double km, const char* unit, bool russian);
