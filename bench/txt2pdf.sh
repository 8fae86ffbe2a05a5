#!/usr/bin/env bash
# Installs the peers, builds quorvale-txt2pdf and runs the text-to-PDF benchmark.
#   bench/txt2pdf.sh [--runs N] [--slow-runs N] [--sizes BYTES,...] [--only-floor] [--only-hostile]
# Corpus and outputs go to build/bench (not committed). QUORVALE_BUILD_DIR picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

build=${QUORVALE_BUILD_DIR:-build}
install_missing_packages g++ cmake python3 cups-filters enscript ghostscript
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target quorvale-txt2pdf
exec /usr/bin/python3 bench/txt2pdf.py --binary "$build/bin/quorvale-txt2pdf" --workdir "$build/bench" "$@"
