#include "ephemeris/sky_cache.h"

#include <cstring>

#include "ephemeris/new_moon.h"

namespace {

// Inputs as raw doubles, compared bit for bit.
constexpr int kKeySize = 10;
struct Key {
    double values[kKeySize];
    bool operator==(const Key& other) const {
        return std::memcmp(values, other.values, sizeof values) == 0;
    }
};

Key MakeKey(const CivilTime& t, double a, double b, double c, double d) {
    return {{t.year, t.month, t.day, t.hour, t.minute, t.second, a, b, c, d}};
}

template <int Size, typename Result>
struct Table {
    Key keys[Size];
    Result results[Size];
    int used = 0;
    int next = 0;

    const Result* Find(const Key& key) const {
        for (int k = 0; k < used; ++k) {
            if (keys[k] == key) {
                return &results[k];
            }
        }
        return nullptr;
    }
    void Add(const Key& key, const Result& result) {
        const int slot = next;
        next = (next + 1) % Size;
        if (used < Size) {
            ++used;
        }
        keys[slot] = key;
        results[slot] = result;
    }
};

struct RiseAndSet {
    double rise, set;
};

// A lunation of a place asks for about 31 days of the Moon and their
// neighbours' searches, a report for one more day of the Sun.
Table<64, DayEvents> dayTable;
Table<128, RiseAndSet> riseSetTable;
Table<16, double> newMoonTable;
bool keeping = true;

}  // namespace

void RiseSetTimesKept(const Observer& place, double& rise, double& set, const CivilTime& day,
                      char body, int clipOutside) {
    if (!keeping) {
        RiseSetTimes(place, rise, set, day, body, clipOutside);
        return;
    }
    const Key key = MakeKey(day, static_cast<double>(body), static_cast<double>(clipOutside),
                            place.latitude, place.longitude);
    if (const RiseAndSet* kept = riseSetTable.Find(key)) {
        rise = kept->rise;
        set = kept->set;
        return;
    }
    RiseSetTimes(place, rise, set, day, body, clipOutside);
    riseSetTable.Add(key, {rise, set});
}

DayEvents RiseSetInDayKept(const Observer& place, const LocalDay& day, char body) {
    if (!keeping) {
        return RiseSetInDay(place, day, body);
    }
    const Key key =
        MakeKey(day.record, day.end, static_cast<double>(body), place.latitude, place.longitude);
    if (const DayEvents* kept = dayTable.Find(key)) {
        return *kept;
    }
    const DayEvents events = RiseSetInDay(place, day, body, RiseSetTimesKept);
    dayTable.Add(key, events);
    return events;
}

double NewMoonBeforeKept(const CivilTime& time, double elongation) {
    if (!keeping) {
        return NewMoonBefore(time, elongation);
    }
    const Key key = MakeKey(time, elongation, 0.0, 0.0, 0.0);
    if (const double* kept = newMoonTable.Find(key)) {
        return *kept;
    }
    const double result = NewMoonBefore(time, elongation);
    newMoonTable.Add(key, result);
    return result;
}

void SkyCacheEnable(int enabled) {
    keeping = enabled != 0;
}

void SkyCacheClear() {
    dayTable.used = 0;
    dayTable.next = 0;
    riseSetTable.used = 0;
    riseSetTable.next = 0;
    newMoonTable.used = 0;
    newMoonTable.next = 0;
}
