#!/usr/bin/env bash
# The manual pages in the build: formatted by man without a warning from groff, each with the
# sections a reader looks for, every option and exit status its program's --help gives, and
# quorvale(1) with the keys, files and environment of the program; and a page made twice with
# SOURCE_DATE_EPOCH is dated by it and the same bytes both times.
#   check_manpages.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=${1:?usage: check_manpages.sh BUILD_DIR SOURCE_DIR}
source_dir=${2:?usage: check_manpages.sh BUILD_DIR SOURCE_DIR}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for program in quorvale quorvale-txt2pdf quorvale-runs; do
    page=$build/share/man/man1/$program.1
    [ -f "$page" ] || { fail "$page is not built"; continue; }
    [ -f "$page.gz" ] && zcmp -s "$page" "$page.gz" || fail "$page.gz is not the page compressed"
    warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -P cat -l "$page" 2>&1 >/dev/null) ||
        fail "man -l $program.1 fails"
    [ -z "$warnings" ] || fail "man -l $program.1 warns: $warnings"
    text=$(MANWIDTH=200 LC_ALL=C.UTF-8 man -P cat -l "$page" 2>/dev/null)
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS 'EXIT STATUS' EXAMPLES 'SEE ALSO'; do
        grep -qx "$section" <<<"$text" || fail "$program(1) has no section $section"
    done
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$build/bin/$program" --help) ||
        fail "$program --help fails"
    for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
        grep -qF -- "$option" <<<"$text" || fail "$program(1) does not tell of $option"
    done
    # The statuses --help lists ("  0  done") each stand in the page's EXIT STATUS.
    statuses=$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' <<<"$text")
    for status in $(sed -n '/^Exit status:/,$s/^  \([0-9]\+\)  .*/\1/p' <<<"$help"); do
        grep -qE "^ +$status( |$)" <<<"$statuses" || fail "$program(1) does not give the exit status $status"
    done
done

# quorvale(1) tells what the program itself does not print.
text=$(MANWIDTH=200 LC_ALL=C.UTF-8 man -P cat -l "$build/share/man/man1/quorvale.1" 2>/dev/null)
for word in KEYS FILES ENVIRONMENT Enter Ctrl+O Ctrl+Z Ctrl+G F1 runs.sqlite Quorvale.conf tempchart.txt \
    QUORVALE_DATABASE XDG_DATA_HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR LC_PAPER; do
    grep -qF -- "$word" <<<"$text" || fail "quorvale(1) does not tell of $word"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for made in first second; do
    SOURCE_DATE_EPOCH=86400 cmake -DSOURCE="$source_dir/desktop/man/quorvale.1.in" -DPAGE="$work/$made/quorvale.1" \
        -DVERSION=1.0 -P "$source_dir/desktop/manpage.cmake" || fail "manpage.cmake fails"
done
head -n1 "$work/first/quorvale.1" | grep -qF '"1970-01-02" "Quorvale 1.0"' ||
    fail "SOURCE_DATE_EPOCH=86400 dates the page $(head -n1 "$work/first/quorvale.1")"
cmp -s "$work/first/quorvale.1.gz" "$work/second/quorvale.1.gz" || fail "the page made twice differs"
exit $((failures > 0))
