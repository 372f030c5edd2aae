#!/usr/bin/env bash
# The program's import table names only DLLs of the system that are there on every Windows it supports,
# and its subsystem version lets it start on Windows XP (5.01); it is of the architecture its build is for
# (pei-i386 for the shipped program). Its size is printed, not judged.
#   imports.sh OBJDUMP PROGRAM FORMAT
set -u
usage="usage: $0 OBJDUMP PROGRAM FORMAT"
objdump=${1:?$usage} program=${2:?$usage} format=${3:?$usage}
allowed=(KERNEL32.DLL USER32.DLL GDI32.DLL SHELL32.DLL COMCTL32.DLL ADVAPI32.DLL MSVCRT.DLL)
headers=$("$objdump" -p "$program") || { echo "FAIL  cannot read $program"; exit 1; }
passed=0 failed=0
check() {  # check WHAT EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then passed=$((passed + 1)); echo "ok    $1"
    else failed=$((failed + 1)); echo "FAIL  $1"$'\n      expected: '"$2"$'\n      actual:   '"$3"; fi
}

# Every DLL the loader resolves before the program runs, delay-loaded ones included.
names=$(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers" | tr -d '\r' | tr a-z A-Z | sort -u)
others=$(comm -23 <(echo "$names") <(printf '%s\n' "${allowed[@]}" | sort))
check "imports only system DLLs ($(echo $names))" "" "$(echo $others)"
check "imports KERNEL32 and USER32" "KERNEL32.DLL USER32.DLL" "$(grep -xE 'KERNEL32.DLL|USER32.DLL' <<<"$names" | paste -sd' ')"

check "file format" "$format" "$("$objdump" -f "$program" | sed -n 's/.*file format //p')"
major=$(awk '$1 == "MajorSubsystemVersion" { print $2 }' <<<"$headers")
minor=$(awk '$1 == "MinorSubsystemVersion" { print $2 }' <<<"$headers")
check "subsystem version $major.$minor at most 5.01" yes "$([ -n "$major" ] && [ $((major * 100 + minor)) -le 501 ] && echo yes || echo no)"
check "a GUI program" "Windows GUI" "$(sed -n 's/^Subsystem[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))/\1/p' <<<"$headers")"

echo "size  $(wc -c <"$program") bytes"
echo "imports: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
