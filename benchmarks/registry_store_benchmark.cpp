// Reading and writing one value of a large store: 10,000 and 100,000 keys
// (about 110 KB and 1.1 MB of text), or as many values in one key. Each
// operation reads and parses the whole file, so this is the cost a program
// pays per setting.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry_store.h"
#include "platform/registry_text.h"

namespace {

// A store folder of its own with key "Big" holding the 4-byte value
// "Value0" and, when `asKeys`, `count` empty keys beside it, otherwise
// `count` values in "Big".
class LargeStore {
  public:
    LargeStore(int count, bool asKeys) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "nocturo-store-bench-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        setenv(kRegistryStoreEnvironment, root_.c_str(), 1);
        RegistryTree tree;
        RegistryParse("", &tree);
        RegistryTreeKey* key = RegistryAddKey(&tree, {"Big"});
        for (int32_t i = 0; i < count; ++i) {
            if (asKeys) {
                RegistryAddKey(&tree, {"k" + std::to_string(i)});
                continue;
            }
            RegistryValue value{"Value" + std::to_string(i), kRegistryTypeBinary, {}};
            value.data.assign(reinterpret_cast<uint8_t*>(&i), reinterpret_cast<uint8_t*>(&i) + 4);
            RegistryPutValue(key, std::move(value));
        }
        if (asKeys) {
            RegistryPutValue(key, {"Value0", kRegistryTypeBinary, {0, 0, 0, 0}});
        }
        std::ofstream(RegistryStoreFile(), std::ios::binary) << RegistrySerialize(tree);
        size_ = std::filesystem::file_size(RegistryStoreFile());
    }
    ~LargeStore() {
        unsetenv(kRegistryStoreEnvironment);
        std::filesystem::remove_all(root_);
    }
    uintmax_t size() const { return size_; }

  private:
    std::string root_;
    uintmax_t size_ = 0;
};

void BM_GetOneValue(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const bool asKeys = state.range(1) != 0;
    LargeStore store(count, asKeys);
    RegistryKey key;
    if (!RegistryOpenKey(kRegistryCurrentUser, "Big", kRegistryRead, &key)) {
        state.SkipWithError("cannot open the key");
        return;
    }
    // The last value, named in another case.
    const std::string name = asKeys ? "VALUE0" : "value" + std::to_string(count - 1);
    for (auto _ : state) {
        int32_t number = -1;
        uint32_t size = 4;
        if (!RegistryQueryValue(&key, name.c_str(), nullptr, &number, &size)) {
            state.SkipWithError("cannot read the value");
            return;
        }
        benchmark::DoNotOptimize(number);
    }
    state.counters["file_bytes"] = static_cast<double>(store.size());
}

void BM_SetOneValue(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    LargeStore store(count, state.range(1) != 0);
    RegistryKey key;
    if (!RegistryOpenKey(kRegistryCurrentUser, "Big", kRegistryWrite, &key)) {
        state.SkipWithError("cannot open the key");
        return;
    }
    int32_t number = 0;
    for (auto _ : state) {
        ++number;
        if (!RegistrySetValue(&key, "Value0", kRegistryTypeBinary, &number, 4)) {
            state.SkipWithError("cannot write the value");
            return;
        }
    }
    state.counters["file_bytes"] = static_cast<double>(store.size());
}

// Arguments: how many keys or values; 1 for keys, 0 for values.
BENCHMARK(BM_GetOneValue)
    ->ArgsProduct({{10000, 100000}, {1, 0}})
    ->ArgNames({"n", "keys"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetOneValue)
    ->ArgsProduct({{10000, 100000}, {1, 0}})
    ->ArgNames({"n", "keys"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
