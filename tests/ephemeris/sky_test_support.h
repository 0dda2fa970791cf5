#pragma once

// Small helpers shared by the rise/set, lunar-day and sky-report tests.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "ephemeris/observer.h"
#include "ephemeris/sidereal_time.h"
#include "ephemeris/time_base.h"
#include "ephemeris/transforms.h"
#include "platform/time_zone.h"

namespace skytest {

// The body's altitude (degrees) at a day count for the observer, as the
// ephemeris computes it.
inline double Altitude(const Observer& place, char body, double days) {
    double ra, dec;
    ApparentEquatorial(body, days, ra, dec);
    double a = ra, h = dec;
    EquatorialToHorizontal(a, h, GreenwichSiderealTimeAt(days) * 15.0 + place.longitude,
                           place.latitude);
    return h;
}

// A zone of fixed offset, for searches that take a ZoneOffsetAt.
template <int QuarterHours>
double FixedZone(double) {
    return QuarterHours * 0.25;
}

// The local day that starts at universal day count `start`, as the record
// the searches take: the date and minus the zone offset in hours.
inline CivilTime DayRecord(int year, int month, int day, double zoneHours) {
    CivilTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = -zoneHours;
    return t;
}

inline std::int64_t TimeValue(int year, int month, int day, int hour, int minute, int second) {
    std::tm broken{};
    broken.tm_year = year - 1900;
    broken.tm_mon = month - 1;
    broken.tm_mday = day;
    broken.tm_hour = hour;
    broken.tm_min = minute;
    broken.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&broken));
}

// Sets TZ for the life of the object.
class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        const char* saved = std::getenv("TZ");
        had_ = saved != nullptr;
        saved_ = saved ? saved : "";
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (had_) {
            setenv("TZ", saved_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        PlatformSetClock(nullptr);
    }

  private:
    bool had_;
    std::string saved_;
};

}  // namespace skytest
