#!/usr/bin/env bash
# Builds quorvale-readingsgrid-bench and times logging readings into the readings grid.
#   bench/readingsgrid.sh [N]
# QUORVALE_BUILD_DIR picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUORVALE_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target quorvale-readingsgrid-bench
exec "$build/bin/quorvale-readingsgrid-bench" "$@"
