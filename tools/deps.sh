#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root). Quick when everything is there.
# wixl and msitools make and read the MSI package (tools/msi.sh).
# MinGW-w64 for both architectures: the shipped program is i686, and the x86_64 build stands in for it in the
# Windows tests where 32-bit programs cannot run (tools/windows-build.sh). Wine of the architecture tested:
# 32-bit Wine where 32-bit programs run, else 64-bit Wine alone, since Debian's wine wrapper prefers 32-bit
# Wine whenever it is installed, even where it cannot start.
set -euo pipefail
. "$(dirname "$0")/windows-build.sh"
orv_choose_windows_build
need=(cmake g++ make libgtest-dev libbenchmark-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
      binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 xvfb xauth imagemagick file python3 git
      osslsigncode openssl wixl msitools chromium poppler-utils)
if [ "$ORV_WINE_ARCH" = i686 ]; then need+=(wine wine32:i386); else need+=(wine wine64); fi
# The emulated PC that runs the i686 suite where the kernel runs no 32-bit program (tools/i686-vm.sh).
[ "$ORV_I686_VM" = yes ] && need+=(qemu-system-x86 debootstrap)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root (sudo $0)." >&2
    exit 1
fi
if [ "$ORV_WINE_ARCH" = i686 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails the update for a moment ("File has unexpected size"): try again, and go on
# with the lists there are if it keeps failing, since the install below says plainly what it cannot find.
for attempt in 1 2 3; do
    apt-get update -q && break
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    sleep $((attempt * 15))
done
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
