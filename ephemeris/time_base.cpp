#include "ephemeris/time_base.h"

#include <cmath>
#include <cstdint>
#include <ctime>
#include <initializer_list>

#include "platform/time_zone.h"

namespace {

bool IsLeapQuadrennial(double year) {
    return std::fmod(year, 4.0) == 0.0;
}

int MonthLength(int month, double year) {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapQuadrennial(year)) {
        return 29;
    }
    return kLengths[month - 1];
}

int YearLength(double year) {
    return IsLeapQuadrennial(year) ? 366 : 365;
}

// Moves the fraction of one field down into the next finer one.
void FractionDown(double& coarse, double& fine, double factor) {
    double whole = std::trunc(coarse);
    fine += (coarse - whole) * factor;
    coarse = whole;
}

void Borrow(double& coarse, double& fine, double range) {
    if (fine < 0.0) {
        coarse += std::ceil(fine / range) - 1.0;
        fine = std::fmod(fine, range) + range;
    }
}

void Carry(double& coarse, double& fine, double range) {
    if (fine >= range) {
        coarse += std::floor(fine / range);
        fine = std::fmod(fine, range);
    }
}

// Days from 1970-01-01 of a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, std::int64_t& m, std::int64_t& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2);
}

// Plain Gregorian normalisation of whole fields, as the C library does for a
// zone without daylight time; the record of the 1972..2036 window is thus
// independent of the machine's zone. Returns 0 when the fields are too large
// to handle, leaving the record alone.
bool GregorianNormalize(CivilTime& t, std::int64_t& timeValue) {
    CivilTime w = t;
    FractionDown(w.day, w.hour, 24.0);
    FractionDown(w.hour, w.minute, 60.0);
    FractionDown(w.minute, w.second, 60.0);
    // Whole seconds and a fraction in [0, 1): a negative fraction borrows
    // one second, so the fraction never makes the result negative.
    double whole = std::floor(w.second);
    const double fraction = w.second - whole;
    const double limit = 1e12;
    for (double v : {whole, w.minute, w.hour, w.day, w.month, w.year}) {
        if (!(std::fabs(v) < limit)) {
            return false;
        }
    }
    // Months outside 1..12 were rejected before; the year carries none.
    const std::int64_t days =
        DaysFromCivil(static_cast<std::int64_t>(w.year), static_cast<std::int64_t>(w.month), 1) +
        static_cast<std::int64_t>(w.day) - 1;
    const std::int64_t seconds = days * 86400 + static_cast<std::int64_t>(w.hour) * 3600 +
                                 static_cast<std::int64_t>(w.minute) * 60 +
                                 static_cast<std::int64_t>(whole);
    std::int64_t dayCount = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    std::int64_t secondOfDay = seconds - dayCount * 86400;
    std::int64_t y, m, d;
    CivilFromDays(dayCount, y, m, d);
    t.year = static_cast<double>(y);
    t.month = static_cast<double>(m);
    t.day = static_cast<double>(d);
    t.hour = static_cast<double>(secondOfDay / 3600);
    t.minute = static_cast<double>(secondOfDay / 60 % 60);
    t.second = static_cast<double>(secondOfDay % 60) + fraction;
    timeValue = seconds;
    return true;
}

}  // namespace

double DaysSinceJ2000(const CivilTime& time) {
    const double a = (time.year + 4800.0) * 12.0 + time.month - 3.0;
    const double b = std::floor(a * 0.08333333333333333);
    const double m = a - 12.0 * b;
    double j = std::floor((2.0 * m + 365.0 * a + 7.0) * 0.08333333333333333) +
               std::floor(a * 0.020833333333333332) + time.day - 32083.0;
    if (j > 2299171.0) {
        j = j + std::floor(a * 0.00020833333333333335) - std::floor(a * 0.0008333333333333334) +
            38.0;
    }
    return j + time.second * 1.1574074074074073e-05 + time.minute * 0.0006944444444444445 +
           time.hour * 0.041666666666666664 - 2451545.0 - 0.5;
}

int NormalizeCivilTime(CivilTime& t, int /*unused*/) {
    const CivilTime given = t;

    FractionDown(t.day, t.hour, 24.0);
    FractionDown(t.hour, t.minute, 60.0);
    FractionDown(t.minute, t.second, 60.0);

    Borrow(t.minute, t.second, 60.0);
    Borrow(t.hour, t.minute, 60.0);
    Borrow(t.day, t.hour, 24.0);

    if (!(t.month >= 1.0 && t.month <= 12.0)) {
        return -1;
    }
    const int month = static_cast<int>(t.month);

    Carry(t.minute, t.second, 60.0);
    Carry(t.hour, t.minute, 60.0);
    Carry(t.day, t.hour, 24.0);

    if (t.day > MonthLength(month, t.year) || t.day < 0.0) {
        // Day of year, clamped so that absurd inputs stay defined.
        double dayOfYear = std::trunc(t.day);
        if (dayOfYear > 1e17)
            dayOfYear = 1e17;
        if (dayOfYear < -1e17)
            dayOfYear = -1e17;
        std::int64_t count = static_cast<std::int64_t>(dayOfYear);
        for (int k = 1; k < month; ++k) {
            count += MonthLength(k, t.year);
        }
        if (count >= 1461 || count <= -1461) {
            t.year += 4.0 * static_cast<double>(count / 1461);
            count %= 1461;
        }
        for (int pass = 0; pass < 4; ++pass) {
            if (count > 365) {
                count -= YearLength(t.year);
                t.year += 1.0;
            } else if (count < 0) {
                t.year -= 1.0;
                count += YearLength(t.year);
            } else {
                break;
            }
        }
        if (count <= 0) {
            t.year -= 1.0;
            count += YearLength(t.year);
        }
        int before = 0;
        for (int k = 1; k <= 12; ++k) {
            const int length = MonthLength(k, t.year);
            if (before + length >= count) {
                t.month = k;
                t.day = static_cast<double>(count - before);
                break;
            }
            before += length;
        }
    }

    if (t.year > 1971.0 && t.year < 2037.0) {
        CivilTime window = given;
        std::int64_t timeValue = 0;
        if (GregorianNormalize(window, timeValue)) {
            window.siderealHours = t.siderealHours;
            t = window;
            return static_cast<int>(timeValue);
        }
    }
    return 1;
}

CivilTime CivilTimeFromDays(double days) {
    CivilTime t;
    t.year = 2001;
    t.month = 1;
    t.day = 1;
    const double d0 = DaysSinceJ2000(t);
    t.day = days - d0 + 1.0;
    NormalizeCivilTime(t, 0);
    return t;
}

CivilTime CivilTimeFromTimeValue(long long secondsSinceEpoch) {
    const std::time_t value = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm broken{};
    CivilTime t;
    if (gmtime_r(&value, &broken) == nullptr) {
        return t;
    }
    t.year = broken.tm_year + 1900.0;
    t.month = broken.tm_mon + 1.0;
    t.day = broken.tm_mday;
    t.hour = broken.tm_hour;
    t.minute = broken.tm_min;
    t.second = broken.tm_sec;
    return t;
}

double UtcOffsetHoursFromBias(long biasMinutes, long extraBiasMinutes) {
    // The minutes times the single-precision 1/60: the product of an integer
    // below 2^29 and a float is exact in a double.
    const float oneSixtieth = 0.016666668f;
    return static_cast<double>(-(biasMinutes + extraBiasMinutes)) *
           static_cast<double>(oneSixtieth);
}

CivilTime ReadClock(double& utcOffsetHours) {
    const std::int64_t now = PlatformTimeNow();
    CivilTime t = CivilTimeFromTimeValue(now);
    const int daylight = PlatformDaylightInForce(now);
    TimeZoneInformation zone;
    GetTimeZoneInformation(zone);
    // An unknown daylight flag (negative) counts as standard time.
    const long extra = daylight > 0 ? zone.daylightBias : zone.standardBias;
    utcOffsetHours = UtcOffsetHoursFromBias(zone.bias, extra);
    return t;
}

namespace {
constexpr long long kJ2000TimeValue = 946728000;  // 2000-01-01 12:00:00 UT
}

long long TimeValueFromDays(double days) {
    // The microsecond of slack keeps a whole second from rounding down to
    // the one before; a day count near J2000 carries about 1e-7 s.
    const double seconds = std::floor(days * 86400.0 + 1e-6);
    if (!(std::fabs(seconds) < 9e15)) {
        return 0;
    }
    return static_cast<long long>(seconds) + kJ2000TimeValue;
}

double DaysFromTimeValue(long long secondsSinceEpoch) {
    return static_cast<double>(secondsSinceEpoch - kJ2000TimeValue) / 86400.0;
}

double MachineZoneOffsetAt(double days) {
    const long seconds = PlatformUtcOffsetSecondsAt(TimeValueFromDays(days));
    return UtcOffsetHoursFromBias(-(seconds / 60), 0);
}
