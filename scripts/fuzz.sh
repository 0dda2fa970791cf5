#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer everywhere) in build-fuzz/ and runs each over
# its committed corpus, then for a bounded time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    (default 15 s each, every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-15}"
shift || true
# target and its committed corpus
declare -A corpora=(
    [picture_unpack_fuzz]=tests/installer/fuzz_corpus
    [moon_picture_fuzz]=tests/scene/fuzz_corpus
    [registry_text_fuzz]=tests/platform/fuzz_corpus
    [city_file_fuzz]=tests/settings/fuzz_corpus
)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(picture_unpack_fuzz moon_picture_fuzz registry_text_fuzz city_file_fuzz)
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DNOCTURO_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

for target in "${targets[@]}"; do
    corpus="${corpora[$target]}"
    found="build-fuzz/corpus/$target"
    mkdir -p "$found"
    echo "== $target: the committed corpus, then ${seconds} s of new inputs"
    # Every committed input once, then new inputs for a while (found ones
    # stay in build-fuzz/corpus/TARGET).
    "build-fuzz/bin/$target" -runs=0 "$corpus"
    "build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=70000 -print_final_stats=1 "$found" "$corpus"
done
