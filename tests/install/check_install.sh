#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a package see: the
# programs, the desktop entry, the AppStream metadata, the icons and the manual pages, each
# validated by the desktop's own tools with no warning; then the programs' command lines.
#   check_install.sh BUILD_DIR
set -uo pipefail
build=${1:?usage: check_install.sh BUILD_DIR}
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# expect_quiet WHAT COMMAND...: the command succeeds and prints nothing.
expect_quiet() {
    local what=$1 output; shift
    output=$("$@" 2>&1) || fail "$what exits with $?: $output"
    [ -z "$output" ] || fail "$what reports: $output"
}

cmake --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install" >&2; exit 1; }
id=example.quorvale.Quorvale
share=$stage/share

for program in quorvale quorvale-txt2pdf quorvale-runs; do
    [ -x "$stage/bin/$program" ] || fail "bin/$program is not installed"
done
expect_quiet "desktop-file-validate" desktop-file-validate "$share/applications/$id.desktop"
# appstreamcli prints a summary line even when all is well; its errors and warnings count, not its
# notes (the example domain is not one it knows, the maker's address is plain http).
output=$(appstreamcli validate --no-net --no-color "$share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate exits with $?: $output"
grep -E '^[EW]: ' <<<"$output" && fail "appstreamcli validate reports findings"

# The theme's sizes, each drawn at its own size.
for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    header=$(od -An -tx1 -j16 -N8 "$png" 2>/dev/null | tr -d ' \n')
    [ "$header" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "$png is not a $size x $size PNG"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is missing"
grep -qx "Icon=$id" "$share/applications/$id.desktop" || fail "the desktop entry names another icon"

for page in quorvale quorvale-txt2pdf quorvale-runs; do
    file=$share/man/man1/$page.1.gz
    [ -f "$file" ] || { fail "$page(1) is not installed"; continue; }
    zgrep -qF -- '\-\-help' "$file" || fail "$page(1) lists no options"
    warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -P cat -l "$file" 2>&1 >/dev/null) || fail "man -l $page.1 fails"
    [ -z "$warnings" ] || fail "man -l $page.1 warns: $warnings"
done

# The command lines, where no display exists.
program=$stage/bin/quorvale
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "$@" >"$stage/out" 2>"$stage/err"; }
run --help && grep -q -- '--version' "$stage/out" || fail "quorvale --help"
run --version && grep -qx 'Quorvale 1.0' "$stage/out" || fail "quorvale --version: $(cat "$stage/out")"
zgrep -qF -- 'gauge' "$share/man/man1/quorvale.1.gz" || fail "quorvale(1) does not tell of --gauge"
run --gauge /dev/ttyUSB0:5000
[ $? -eq 2 ] && grep -q -- 'ttyUSB0:5000' "$stage/err" || fail "quorvale --gauge with a wrong speed: $(cat "$stage/err")"
for bad in --frobnicate extra.txt; do
    run "$bad"
    status=$?
    [ $status -eq 2 ] || fail "quorvale $bad exits with $status, not 2"
    grep -q -- "${bad#--}" "$stage/err" || fail "quorvale $bad does not name it on stderr: $(cat "$stage/err")"
    [ ! -s "$stage/out" ] || fail "quorvale $bad writes to stdout"
done
"$stage/bin/quorvale-txt2pdf" --version | grep -qx 'quorvale-txt2pdf 1.0' || fail "quorvale-txt2pdf --version"
"$stage/bin/quorvale-runs" --version | grep -qx 'quorvale-runs 1.0' || fail "quorvale-runs --version"

[ $failures -eq 0 ] && echo "installed files and command lines: all checks passed"
exit $((failures > 0))
