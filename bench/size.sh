#!/bin/sh
# Prints the installer's size and what it costs beyond the add-on's 604621 bytes it carries.
# Usage: bench/size.sh [OrvandelSetup.exe]   (default: build/windows/OrvandelSetup.exe)
exe=${1:-build/windows/OrvandelSetup.exe}
payload=604621
[ -f "$exe" ] || { echo "$exe: no such file (build the windows preset first)" >&2; exit 1; }
size=$(wc -c < "$exe" | tr -d ' ')
overhead=$((size - payload))
echo "$exe"
echo "  size:     $size bytes ($(( (size + 512) / 1024 )) KiB)"
echo "  payload:  $payload bytes"
echo "  overhead: $overhead bytes ($(( (overhead + 512) / 1024 )) KiB)"
