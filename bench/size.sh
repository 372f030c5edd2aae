#!/bin/sh
# Prints the installer's size, what it costs beyond the add-on's 604621 bytes it carries, and where that
# overhead goes: sections, object files (from the linker's map, OrvandelSetup.map beside the program) and
# symbols (from the unstripped twin orv_size_probe.exe, when it is built:
# `cmake --build --preset windows --target orv_size_probe`).
#   bench/size.sh [OrvandelSetup.exe]                  (default: build/windows/OrvandelSetup.exe)
#   bench/size.sh --budget FILE [OrvandelSetup.exe]    the ratchet: fails when the overhead is more than
#                                                      1 KiB over the figure FILE records
here=$(dirname "$0")
budget=
if [ "$1" = --budget ]; then budget=$2; shift 2; fi
exe=${1:-build/windows/OrvandelSetup.exe}
payload=604621
[ -f "$exe" ] || { echo "$exe: no such file (build the windows preset first)" >&2; exit 1; }
size=$(wc -c < "$exe" | tr -d ' ')
overhead=$((size - payload))

if [ -n "$budget" ]; then
    recorded=$(grep -v '^#' "$budget" | tr -d ' \r\n')
    case $recorded in ''|*[!0-9]*) echo "$budget: no figure in it" >&2; exit 1 ;; esac
    echo "overhead: $overhead bytes; recorded in $budget: $recorded bytes; allowed: $((recorded + 1024))"
    if [ "$overhead" -gt $((recorded + 1024)) ]; then
        echo "FAIL  the program grew by $((overhead - recorded)) bytes over the recorded figure. If it must,"
        echo "      record the new figure in $budget in the same commit and say why in its message."
        exit 1
    fi
    [ "$overhead" -lt $((recorded - 1024)) ] &&
        echo "note  $((recorded - overhead)) bytes under the recorded figure: record $overhead to keep the gain"
    echo "ok    within the budget"
    exit 0
fi

echo "$exe"
echo "  size:     $size bytes ($(( (size + 512) / 1024 )) KiB)"
echo "  payload:  $payload bytes"
echo "  overhead: $overhead bytes ($(( (overhead + 512) / 1024 )) KiB)"
dir=$(dirname "$exe")
command -v python3 >/dev/null || exit 0
set -- "$exe" "$payload"
[ -f "$dir/OrvandelSetup.map" ] && set -- "$@" "$dir/OrvandelSetup.map"
if [ -f "$dir/orv_size_probe.exe" ] && [ $# -eq 3 ]; then
    nm=${NM:-i686-w64-mingw32-nm}
    symbols=$(mktemp) && trap 'rm -f "$symbols"' EXIT
    "$nm" --size-sort -S -C "$dir/orv_size_probe.exe" > "$symbols" && set -- "$@" "$symbols"
fi
echo
python3 "$here/size_breakdown.py" "$@"
