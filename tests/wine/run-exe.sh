#!/usr/bin/env bash
# Runs one Windows test program under Wine as the unprivileged test user (ctest's emulator for the Windows
# presets), and passes its exit code on. The test programs keep to scratch folders of their own, so they share
# one prefix per architecture, and its Wine server stays up for a few seconds after each program: a program in
# a warm prefix starts in well under a second, one in a fresh prefix takes three.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
exe=$1; shift
orv_ensure_template
prefix=$ORV_WINE_HOME/run-$ORV_WINE_ARCH
# A prefix older than the template was made by another Wine or another template: it is made anew.
if [ ! -d "$prefix" ] || [ "$ORV_WINE_TEMPLATE/.orv-ready" -nt "$prefix/.orv-copied" ]; then
    (
        flock 9
        if [ ! -d "$prefix" ] || [ "$ORV_WINE_TEMPLATE/.orv-ready" -nt "$prefix/.orv-copied" ]; then
            orv_new_prefix "run-$ORV_WINE_ARCH" >/dev/null
            touch "$prefix/.orv-copied"
        fi
    ) 9>"$ORV_WINE_HOME/.run-$ORV_WINE_ARCH.lock"
fi
orv_as_user "$prefix" wineserver -p10 >/dev/null 2>&1
# The program's output goes through a file: Wine's daemons, started with the first program, inherit it and
# outlive the program, and on ctest's own pipe they would keep the test open until they end.
out=$(mktemp "${TMPDIR:-/tmp}/run-exe.XXXXXX")
chmod 666 "$out"
orv_as_user "$prefix" wine "$exe" "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
