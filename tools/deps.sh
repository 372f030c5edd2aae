#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (run as root). Quick when everything is there.
set -euo pipefail
need=(cmake g++ make libgtest-dev libbenchmark-dev g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
      wine wine32:i386 xvfb xauth imagemagick file python3)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" != 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root (sudo $0)." >&2
    exit 1
fi
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
