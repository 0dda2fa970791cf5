#include "scene/overlay_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A time of day split as the clock shows it; false for an absent event or a
// value too large to be a time.
bool ClockParts(double t, int* hours, int* minutes) {
    if (!(t <= 1e100 && t >= -1e100) || std::fabs(t) > 1e9)
        return false;
    int h = static_cast<int>(std::trunc(t));
    int m = static_cast<int>(std::floor((t - std::trunc(t)) * 60.0 + 0.5));
    if (m == 60) {
        m = 0;
        h += 1;
    }
    *hours = h;
    *minutes = m;
    return true;
}

std::string TwoNumbers(int a, int b) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", a, b);
    return text;
}

}  // namespace

std::string FormatClock(double hours) {
    int h = 0, m = 0;
    if (!ClockParts(hours, &h, &m))
        return "--";
    return TwoNumbers(h, m);
}

std::string FormatAngle(double degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) > 1e12)
        return "--";
    const long long s = static_cast<long long>(std::floor(std::fabs(degrees) * 3600.0 + 0.5));
    const int d = static_cast<int>((s / 3600) % 360);
    const int m = static_cast<int>((s / 60) % 60);
    const int sec = static_cast<int>(s % 60);
    char whole[16];
    if (degrees < 0.0 && d == 0) {
        std::snprintf(whole, sizeof whole, "-0");
    } else {
        std::snprintf(whole, sizeof whole, "%02d", degrees < 0.0 ? -d : d);
    }
    char text[48];
    std::snprintf(text, sizeof text, "%s\xB0 %02d' %02d\"", whole, m, sec);
    return text;
}

std::string FormatDayLength(double sunRise, double sunSet) {
    int minutes = 0;
    if (sunRise >= 1e100) {
        minutes = 1440;
    } else {
        int hr = 0, mr = 0, hs = 0, ms = 0;
        if (!ClockParts(sunRise, &hr, &mr) || !ClockParts(sunSet, &hs, &ms))
            return "--";
        minutes = std::abs((hr * 60 + mr) - (hs * 60 + ms));
    }
    return TwoNumbers(minutes / 60, minutes % 60);
}

std::string FormatLatitude(double latitude) {
    return FormatAngle(std::fabs(latitude)) + (latitude > 0.0 ? " N" : " S");
}

std::string FormatLongitude(double longitude) {
    return FormatAngle(std::fabs(longitude)) + (longitude > 0.0 ? " E" : " W");
}

std::string FormatLunarDay(double lunarDay, const char* text) {
    if (lunarDay > 0.0 && text != nullptr)
        return text;
    return "--";
}

int PluralForm(long long count, bool russian) {
    const long long n = count < 0 ? -count : count;
    if (!russian) {
        return n == 1 ? 0 : 2;
    }
    if (n % 10 == 1 && n % 100 != 11) {
        return 0;
    }
    if (n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14)) {
        return 1;
    }
    return 2;
}

std::string FormatIlluminated(double fraction) {
    if (!(fraction >= 0.0 && fraction <= 1.0)) {
        return "--";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d %%", static_cast<int>(std::floor(fraction * 100.0 + 0.5)));
    return text;
}

std::string FormatMoonAge(double ageDays, const char* const dayWords[3],
                          const char* const hourWords[3], bool russian) {
    if (!(ageDays >= 0.0 && ageDays < 1e6)) {
        return "--";
    }
    const long long totalHours = static_cast<long long>(std::floor(ageDays * 24.0));
    const long long days = totalHours / 24;
    const long long hours = totalHours % 24;
    char text[128];
    std::snprintf(text, sizeof text, "%lld %s %lld %s", days, dayWords[PluralForm(days, russian)],
                  hours, hourWords[PluralForm(hours, russian)]);
    return text;
}

std::string FormatDistance(double km, const char* unit, bool russian) {
    if (!(km > 0.0 && km < 1e15)) {
        return "--";
    }
    const std::string digits = std::to_string(static_cast<long long>(std::floor(km + 0.5)));
    std::string grouped;
    for (size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) {
            grouped += russian ? ' ' : ',';
        }
        grouped += digits[k];
    }
    return grouped + " " + unit;
}
