#!/usr/bin/env bash
# Lays out a demo ChemStation installation inside a Wine prefix, replacing any earlier one at that place:
# the host profile C:\windows\chemstation.ini, the start-up macro file with a site's own macros, the two
# configuration files with their backups, and four instrument folders.
#   usage: tools/demo-tree.sh PREFIX [ROOT]      ROOT is a C:\ path, C:\HPCHEM when left out
# The files belong to the prefix's owner, so that the installer, running as that user, may change them.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PREFIX [ROOT]" >&2; exit 2; }
prefix=$1
root=${2:-'C:\HPCHEM'}
case $root in
    [Cc]:\\*) ;;
    *) echo "$0: ROOT must be a C:\\ path, not $root" >&2; exit 2 ;;
esac
[ -d "$prefix/drive_c/windows" ] || { echo "$0: $prefix is not a Wine prefix" >&2; exit 2; }

unix() {  # the Linux path of a C:\ path inside the prefix
    local rest=${1#[Cc]:}
    printf '%s/drive_c%s\n' "$prefix" "${rest//\\//}"
}
# Windows text files: every line ends in CR LF.
crlf() {
    local file=$1; shift
    mkdir -p "$(dirname "$file")"
    printf '%s\r\n' "$@" >"$file"
}

base=$(unix "$root")
rm -rf "$base"

profile=(
    "[PCS]" "Path=$root"
)
for n in 1 2 3 4; do profile+=("[PCS,$n]" "_INSTPATH\$=$root\\$n\\"); done
crlf "$(unix 'C:\windows\chemstation.ini')" "${profile[@]}"

crlf "$base/core/user.mac" \
    '! Start-up macros of this laboratory' \
    'MACRO "SITE.MAC",GO' \
    'SETUPREPORTS "Daily QC"' \
    'PRINT "Welcome to the ChemStation"'
crlf "$base/core/SITE.MAC" 'NAME SETUPREPORTS' 'PARAMETER NAME$' 'ENDMACRO'

# The configuration in use differs from the one saved in the backups, so a restore can be seen.
crlf "$base/core/800/TOPDATS.INI" '[Topdats]' 'Layout=Orvandel' 'Menus=Standard,AddOn'
crlf "$base/core/800/TOPDATS.BAK" '[Topdats]' 'Layout=Default' 'Menus=Standard'
crlf "$base/core/800/CHROMTB.INI" '[Toolbar]' 'Buttons=12' 'AddOn=1'
crlf "$base/core/800/CHROMTB.BAK" '[Toolbar]' 'Buttons=10'
for n in 1 2 3 4; do
    crlf "$base/$n/conf_off.reg" "REGEDIT4" "" "[Instrument $n offline]" '"AddOn"="Orvandel"'
    crlf "$base/$n/config.reg" "REGEDIT4" "" "[Instrument $n]" '"AddOn"="Orvandel"'
    crlf "$base/$n/method.m" "Instrument $n default method"
done

# From the first folder under C:\ down, so that the folders made for a nested root belong to the owner too.
top=${root#[Cc]:\\}
chown -R "$(stat -c %u:%g "$prefix")" "$(unix "C:\\${top%%\\*}")" "$(unix 'C:\windows\chemstation.ini')"
echo "ChemStation demo tree at $root in $prefix"
