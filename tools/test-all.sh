#!/usr/bin/env bash
# Every test: the logic on the in-memory platform (Linux), then the Windows programs under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
