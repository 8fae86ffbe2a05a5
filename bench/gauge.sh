#!/usr/bin/env bash
# Builds quorvale-gauge-bench and times readings from a gauge on a pseudo-terminal to the grid.
#   bench/gauge.sh [N]
# QUORVALE_BUILD_DIR picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUORVALE_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target quorvale-gauge-bench
exec "$build/bin/quorvale-gauge-bench" "$@"
