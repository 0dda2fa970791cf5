#include "tools/utc_instant.h"

#include <cstring>
#include <ctime>

namespace {

// 0 malformed, -1 out of the supported range, 1 accepted.
int Parse(const char* text, int64_t& secondsSinceEpoch) {
    if (text == nullptr || std::strlen(text) != 20) {
        return 0;
    }
    // Digits where digits belong, and the separators in their places.
    const char* pattern = "dddd-dd-ddTdd:dd:ddZ";
    for (int i = 0; i < 20; ++i) {
        if (pattern[i] == 'd' ? (text[i] < '0' || text[i] > '9') : text[i] != pattern[i]) {
            return 0;
        }
    }
    auto field = [&](int at, int length) {
        int value = 0;
        for (int i = 0; i < length; ++i) {
            value = value * 10 + (text[at + i] - '0');
        }
        return value;
    };
    std::tm parts{};
    parts.tm_year = field(0, 4) - 1900;
    parts.tm_mon = field(5, 2) - 1;
    parts.tm_mday = field(8, 2);
    parts.tm_hour = field(11, 2);
    parts.tm_min = field(14, 2);
    parts.tm_sec = field(17, 2);
    std::tm asked = parts;
    const time_t value = timegm(&parts);
    // timegm carries out-of-range fields over; a real date comes back unchanged.
    if (parts.tm_year != asked.tm_year || parts.tm_mon != asked.tm_mon ||
        parts.tm_mday != asked.tm_mday || parts.tm_hour != asked.tm_hour ||
        parts.tm_min != asked.tm_min || parts.tm_sec != asked.tm_sec) {
        return 0;
    }
    // Both ends are the same fixed-width form, so they compare as text.
    if (std::strcmp(text, kUtcInstantFirst) < 0 || std::strcmp(text, kUtcInstantLast) > 0) {
        return -1;
    }
    secondsSinceEpoch = static_cast<int64_t>(value);
    return 1;
}

}  // namespace

int ParseUtcInstant(const char* text, int64_t& secondsSinceEpoch) {
    int64_t value = 0;
    if (Parse(text, value) != 1) {
        return 0;
    }
    secondsSinceEpoch = value;
    return 1;
}

std::string UtcInstantProblem(const char* text) {
    int64_t value = 0;
    const std::string shown = text != nullptr ? text : "";
    switch (Parse(text, value)) {
        case 1:
            return "'" + shown + "' is a valid instant";
        case -1:
            return "'" + shown + "' is outside the supported range " + kUtcInstantFirst + " to " +
                   kUtcInstantLast;
        default:
            return "'" + shown + "' is not a valid instant (expected YYYY-MM-DDTHH:MM:SSZ)";
    }
}
