#!/usr/bin/env bash
# Builds quorvale-workbook-bench and times writing the run chart workbook.
#   bench/workbook.sh [RUNS]
# The workbook goes to build/bench (not committed). QUORVALE_BUILD_DIR picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUORVALE_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target quorvale-workbook-bench
mkdir -p "$build/bench"
exec "$build/bin/quorvale-workbook-bench" "$build/bench/runchart.xls" "$@"
