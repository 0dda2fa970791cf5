// Speed of PictureUnpack on the project's pack (resources/moon_1024x1024.pack):
// the whole decoding with post-processing, and the model alone.
//   build/bin/picture_unpack_benchmark

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "installer/picture_transform.h"
#include "installer/picture_unpack.h"

namespace {

const std::vector<uint8_t>& MoonPack() {
    static const std::vector<uint8_t> pack = [] {
        std::ifstream in(NOCTURO_SOURCE_DIR "/resources/moon_1024x1024.pack", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    return pack;
}

void BM_PictureUnpack(benchmark::State& state) {
    const std::vector<uint8_t>& pack = MoonPack();
    UnpackResult result;
    for (auto _ : state) {
        if (!UnpackPictureData(pack.data(), pack.size(), result, nullptr) || !result.crcMatches) {
            state.SkipWithError("the pack does not decode");
            break;
        }
        benchmark::DoNotOptimize(result.bitmap.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * result.header.count);
    state.counters["pack_bytes"] = static_cast<double>(pack.size());
}
BENCHMARK(BM_PictureUnpack)->Unit(benchmark::kMillisecond);

void BM_InverseTransform(benchmark::State& state) {
    std::vector<uint8_t> picture(1024 * 1024, 128);
    for (auto _ : state) {
        InverseTransform(picture.data(), 1024, 1024);
        benchmark::DoNotOptimize(picture.data());
    }
}
BENCHMARK(BM_InverseTransform)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
