#!/usr/bin/env bash
# Builds the decoder's fuzz target with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it over the committed
# corpus of damaged packs, then for a bounded time.
#   scripts/fuzz.sh [SECONDS]    (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
mkdir -p build-fuzz/corpus
clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Wall -Wextra -Werror \
    installer/picture_unpack.cpp installer/picture_transform.cpp installer/ppm_model.cpp \
    tests/installer/picture_unpack_fuzz.cpp -o build-fuzz/picture_unpack_fuzz

corpus=tests/installer/fuzz_corpus
# Every committed pack once, then new inputs for a while (found ones stay in build-fuzz/corpus).
build-fuzz/picture_unpack_fuzz -runs=0 "$corpus"
build-fuzz/picture_unpack_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=70000 -print_final_stats=1 build-fuzz/corpus "$corpus"
