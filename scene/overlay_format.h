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
