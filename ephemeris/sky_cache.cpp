#include "ephemeris/sky_cache.h"

#include <cstring>

#include "ephemeris/lunar_day.h"
#include "ephemeris/observer.h"
#include "ephemeris/rise_set.h"

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

template <int Size, int Results>
struct Table {
    Key keys[Size];
    double results[Size][Results];
    int used = 0;
    int next = 0;

    const double* Find(const Key& key) const {
        for (int k = 0; k < used; ++k) {
            if (keys[k] == key) {
                return results[k];
            }
        }
        return nullptr;
    }
    double* Add(const Key& key) {
        const int slot = next;
        next = (next + 1) % Size;
        if (used < Size) {
            ++used;
        }
        keys[slot] = key;
        return results[slot];
    }
};

// A lunation of a place asks for about 35 day searches, a report for 6 more.
Table<128, 2> riseSetTable;
Table<16, 1> newMoonTable;
bool keeping = true;

}  // namespace

void RiseSetTimesKept(double& rise, double& set, const CivilTime& day, char body, int clipOutside) {
    if (!keeping) {
        RiseSetTimes(rise, set, day, body, clipOutside);
        return;
    }
    const Key key = MakeKey(day, static_cast<double>(body), static_cast<double>(clipOutside),
                            observer.latitude, observer.longitude);
    if (const double* kept = riseSetTable.Find(key)) {
        rise = kept[0];
        set = kept[1];
        return;
    }
    RiseSetTimes(rise, set, day, body, clipOutside);
    double* slot = riseSetTable.Add(key);
    slot[0] = rise;
    slot[1] = set;
}

double NewMoonBeforeKept(const CivilTime& time, double elongation) {
    if (!keeping) {
        return NewMoonBefore(time, elongation);
    }
    const Key key = MakeKey(time, elongation, 0.0, 0.0, 0.0);
    if (const double* kept = newMoonTable.Find(key)) {
        return kept[0];
    }
    const double result = NewMoonBefore(time, elongation);
    newMoonTable.Add(key)[0] = result;
    return result;
}

void SkyCacheEnable(int enabled) {
    keeping = enabled != 0;
}

void SkyCacheClear() {
    riseSetTable.used = 0;
    riseSetTable.next = 0;
    newMoonTable.used = 0;
    newMoonTable.next = 0;
}
