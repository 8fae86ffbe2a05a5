#!/usr/bin/env bash
# bench/outbox.sh [CHANGES]: times a change from the window into the outbox (in a temporary folder
# under TMPDIR, whose disk decides the flush) beside a bare flushed write, and the writer draining
# 10,000 waiting changes into SQLite and into a PostgreSQL server of its own. Needs the default
# preset (the tests' PostgreSQL helper). Prints Markdown tables.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build build --target quorvale-outbox-bench -j 2 >/dev/null
build/bin/quorvale-outbox-bench "${1:-500}"
