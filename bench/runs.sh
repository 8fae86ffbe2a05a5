#!/usr/bin/env bash
# bench/runs.sh [LOGGINGS]: times keeping the runs on SQLite (in a temporary folder under TMPDIR,
# whose disk decides the flush) and on a PostgreSQL server of its own that flushes as a real one
# does. Needs the default preset (the tests' PostgreSQL helper). Prints a Markdown table.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build --target quorvale-runs-bench -j "$(nproc)" >/dev/null
QT_QPA_PLATFORM=offscreen build/bin/quorvale-runs-bench "${1:-200}"
