#!/usr/bin/env bash
# Every test: the logic on the in-memory platform (Linux), then the Windows programs under Wine and Xvfb.
# The shipped program (the i686 build) is built everywhere and its files are checked everywhere; its Windows
# tests run where 32-bit programs run, and the x86_64 build's run elsewhere (tools/windows-build.sh; set
# ORVANDEL_WINDOWS_BUILD=i686 or x86_64 to choose). Elsewhere the shipped program itself still runs: the i686
# suite below, in an emulated PC (tools/i686-vm.sh; ORVANDEL_I686_VM=1 or 0 forces it or leaves it out).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
. tools/windows-build.sh
orv_choose_windows_build
echo "$ORV_WINDOWS_WHY"
echo "$ORV_I686_VM_WHY"
# Making the guest (once a machine: mostly downloading and unpacking, then 32-bit Wine's first start) goes on
# beside the builds and tests below.
if [ "$ORV_I686_VM" = yes ]; then
    mkdir -p build
    tools/i686-vm.sh make >build/i686-vm-make.log 2>&1 &
    vm_make=$!
fi
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
cmake --preset windows >/dev/null
if [ "$ORV_WINDOWS_PRESET" = windows ]; then
    cmake --build --preset windows
    ctest --preset windows
else
    echo "The i686 build: the program and its payload, and their file checks (imports, subsystem, payload kinds,"
    if [ "$ORV_I686_VM" = yes ]; then echo "size) here; the program runs in the emulated PC at the end"
    else echo "size); nothing of it is run here"; fi
    cmake --build --preset windows --target OrvandelSetup orv_payload_files
    ctest --preset windows -L files
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
    ctest --preset windows64
fi

# The shipped program itself, in an emulated PC, where it cannot run here (tools/i686-suite.sh says what it runs).
if [ "$ORV_I686_VM" = yes ]; then
    cmake --build --preset windows --target OrvandelSetup orv_payload_files orvauto phxhost lockfile macrecorder \
        canaries loaddll startonly orv_msi_action unwinder_tests cxa_runtime_tests
    wait "$vm_make" || { cat build/i686-vm-make.log; exit 1; }
    cat build/i686-vm-make.log
    tools/i686-vm.sh run 'tools/i686-suite.sh build/windows'
fi
