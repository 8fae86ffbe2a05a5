#!/usr/bin/env bash
# Builds the libFuzzer program with clang under AddressSanitizer and UndefinedBehaviorSanitizer and fuzzes
# the text-to-PDF converter.
#   fuzz/run.sh [SECONDS] [more libFuzzer options]   (default 600 seconds)
# New inputs collect in build-fuzz/corpus; crash inputs land in fuzz/crashes/, to be kept as regression cases.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

seconds=${1:-600}
shift || true
install_missing_packages "${QUORVALE_PACKAGES[@]}" clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
    >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target txt2pdf_fuzzer
mkdir -p build-fuzz/corpus fuzz/crashes
exec build-fuzz/bin/txt2pdf_fuzzer -max_total_time="$seconds" -max_len=16384 -timeout=20 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix=fuzz/crashes/ "$@" build-fuzz/corpus fuzz/corpus
