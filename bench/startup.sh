#!/usr/bin/env bash
# Times Quorvale from process start to its entry window's map, against a bare Qt form with a label
# and a line edit, in a virtual X display without a window manager; medians of RUNS (default 10),
# in one run. Quorvale keeps its runs in a data folder of the bench's own, opened as a user's is.
#   bench/startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
runs=${1:-10}

install_missing_packages "${QUORVALE_PACKAGES[@]}" xvfb libxcb1-dev
cmake --preset run >/dev/null
cmake --build --preset run -j "$(nproc)" --target quorvale quorvale-bare-widget quorvale-startup-probe >/dev/null

fifo=$(mktemp -u)
mkfifo "$fifo"
XDG_DATA_HOME=$(mktemp -d)
export XDG_DATA_HOME
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; rm -rf "$fifo" "$XDG_DATA_HOME"' EXIT
read -r -t 10 display <"$fifo"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM QUORVALE_DATABASE
DISPLAY=":$display" build-run/bin/quorvale-startup-probe "$runs" \
    "bare form=build-run/bin/quorvale-bare-widget" "quorvale=build-run/bin/quorvale"
