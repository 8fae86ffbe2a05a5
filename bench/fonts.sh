#!/usr/bin/env bash
# Builds quorvale-txt2pdf here and at a reference commit, then runs bench/fonts.py on both.
#   bench/fonts.sh [REFERENCE] [--runs N]
# REFERENCE defaults to 755cabc, the last commit that wrote "?" for every character beyond
# Windows-1252. Its sources and build go to build-fonts-reference (not committed), outside the build
# folder, whose tests check every program in it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh

build=${QUORVALE_BUILD_DIR:-build}
reference=755cabc
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    reference=$1
    shift
fi
install_missing_packages g++ cmake python3 cups-filters libharfbuzz-dev libfontconfig-dev
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2 --target quorvale-txt2pdf
old=${build}-fonts-reference
rm -rf "$old/src" && mkdir -p "$old/src"
git archive "$reference" | tar -x -C "$old/src"
cmake -S "$old/src" -B "$old/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_BUILD_TESTS=OFF \
    -DQUORVALE_INSTALL_FILES=OFF >/dev/null
cmake --build "$old/build" -j 2 --target quorvale-txt2pdf
exec /usr/bin/python3 bench/fonts.py --binary "$build/bin/quorvale-txt2pdf" \
    --reference "$old/build/bin/quorvale-txt2pdf" --workdir "$build/bench" "$@"
