#!/usr/bin/env bash
# Every test: the logic on the in-memory platform (Linux), then the Windows programs under Wine and Xvfb.
# The shipped program (the i686 build) is built everywhere and its files are checked everywhere; its Windows
# tests run where 32-bit programs run, and the x86_64 build's run elsewhere (tools/windows-build.sh; set
# ORVANDEL_WINDOWS_BUILD=i686 or x86_64 to choose).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/windows-build.sh
orv_choose_windows_build
echo "$ORV_WINDOWS_WHY"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
cmake --preset windows >/dev/null
if [ "$ORV_WINDOWS_PRESET" = windows ]; then
    cmake --build --preset windows
    ctest --preset windows
else
    echo "The i686 build: the program and its payload, and their file checks (imports, subsystem, payload kinds,"
    echo "size); nothing of it is run here"
    cmake --build --preset windows --target OrvandelSetup orv_payload_files
    ctest --preset windows -L files
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
    ctest --preset windows64
fi
