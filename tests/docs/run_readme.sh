#!/usr/bin/env bash
# Runs the README's shell blocks marked "```sh test", in order and in one shell, as a newcomer would
# after scripts/run: in an empty folder where build-run/ is the build under test, with a home of its
# own and no display, so the commands the README shows cannot drift from what the programs do.
#   run_readme.sh BUILD_DIR README
set -uo pipefail
build=$(realpath "${1:?usage: run_readme.sh BUILD_DIR README}")
readme=$(realpath "${2:?usage: run_readme.sh BUILD_DIR README}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Readable by all, as man reads pages as its own user when it is run by root.
chmod 755 "$work"
mkdir -m 700 "$work/home" "$work/runtime"
ln -s "$build" "$work/build-run"

# Each marked block, headed by an echo of where it stands, so a failure names its block.
script=$work/readme.sh
awk -v script="$script" '
    /^```sh test[[:space:]]*$/ { inside = 1; blocks++; print "echo \"== README line " NR + 1 "\"" > script; next }
    /^```/ && inside { inside = 0; next }
    inside { print > script }
    END { if (!blocks) { print "no block marked \"```sh test\" in the README" > "/dev/stderr"; exit 1 } }
' "$readme" || exit 1

cd "$work"
env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen bash -euo pipefail "$script"
status=$?
[ $status -eq 0 ] || echo "FAIL: the README's block above exits with $status" >&2
exit $status
