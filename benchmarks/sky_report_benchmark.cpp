// Cost of one sky-report refresh as the scene makes it (about eight times a
// second: the clock and the zone read, then the report): direct evaluation,
// the first refresh of a day (cold) and the refreshes that follow it
// (steady), for a few places and dates.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "ephemeris/observer.h"
#include "ephemeris/sky_cache.h"
#include "ephemeris/sky_report.h"
#include "ephemeris/time_base.h"
#include "platform/time_zone.h"

namespace {

struct Place {
    const char* zone;
    double latitude, longitude;
};

const Place kPlaces[] = {
    {"Asia/Yekaterinburg", 55.0 + 8.0 / 60.0, 60.0 + 8.0 / 60.0},
    {"America/New_York", 40.71, -74.01},
    {"Africa/Johannesburg", -33.92, 18.42},
    {"Arctic/Longyearbyen", 78.22, 15.65},
};

// 2024-06-08 and 2024-07-03 12:00 UT: two and twenty-seven days after the
// new moon of 2024-06-06.
const std::int64_t kInstants[] = {1717848000, 1720008000};

void Setup(const benchmark::State& state) {
    const Place& place = kPlaces[state.range(0)];
    setenv("TZ", place.zone, 1);
    tzset();
    observer.latitude = place.latitude;
    observer.longitude = place.longitude;
}

SkyReport report;

// One refresh: what the scene does every fourth frame.
void Refresh() {
    const CivilTime now = ReadClock(observer.utcOffsetHours);
    UpdateSkyReport(report, observer, now, MachineZoneOffsetAt);
    benchmark::DoNotOptimize(report);
}

std::int64_t Instant(const benchmark::State& state) {
    return kInstants[state.range(1)];
}

void Label(benchmark::State& state) {
    state.SetLabel(std::string(kPlaces[state.range(0)].zone) +
                   (state.range(1) == 0 ? ", lunar day 3" : ", lunar day 28"));
}

// Every search evaluated afresh.
void BM_UpdateSkyReportDirect(benchmark::State& state) {
    Setup(state);
    SkyCacheEnable(0);
    PlatformSetFixedTime(Instant(state));
    for (auto _ : state) {
        Refresh();
    }
    SkyCacheEnable(1);
    Label(state);
}

// The first refresh of a day: nothing kept yet.
void BM_UpdateSkyReportCold(benchmark::State& state) {
    Setup(state);
    SkyCacheEnable(1);
    PlatformSetFixedTime(Instant(state));
    for (auto _ : state) {
        SkyCacheClear();
        Refresh();
    }
    Label(state);
}

// The saver running: the clock moves on between refreshes of the same day.
void BM_UpdateSkyReportSteady(benchmark::State& state) {
    Setup(state);
    SkyCacheEnable(1);
    SkyCacheClear();
    std::int64_t at = Instant(state);
    PlatformSetFixedTime(at);
    Refresh();
    int step = 0;
    for (auto _ : state) {
        // Eight refreshes a second: the clock (whole seconds) moves every eighth.
        if (++step % 8 == 0) {
            PlatformSetFixedTime(++at);
        }
        Refresh();
    }
    Label(state);
}

void Arguments(benchmark::internal::Benchmark* b) {
    for (int place = 0; place < 4; ++place) {
        for (int instant = 0; instant < 2; ++instant) {
            b->Args({place, instant});
        }
    }
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_UpdateSkyReportDirect)->Apply(Arguments);
BENCHMARK(BM_UpdateSkyReportCold)->Apply(Arguments);
BENCHMARK(BM_UpdateSkyReportSteady)->Apply(Arguments);

}  // namespace

BENCHMARK_MAIN();
