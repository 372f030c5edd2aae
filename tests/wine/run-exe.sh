#!/usr/bin/env bash
# Runs one Windows test program under Wine as the unprivileged test user (ctest's emulator for the
# windows preset). Each program gets its own prefix, named after it, and its exit code is passed on.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
exe=$1; shift
prefix=$(orv_new_prefix "run-$(basename "$exe" .exe)")
orv_as_user "$prefix" wineserver -p >/dev/null 2>&1
orv_as_user "$prefix" wine "$exe" "$@"
rc=$?
orv_as_user "$prefix" wineserver -k >/dev/null 2>&1
exit $rc
