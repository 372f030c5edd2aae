#!/usr/bin/env bash
# Makes the MSI package around OrvandelSetup.exe with Debian's wixl (msi/Orvandel.wxs) and checks, with
# msiinfo, the order its actions ended up in. Prints the package's product version, product code and upgrade
# code.
#   usage: tools/msi.sh [--version X.Y.Z] SETUP_EXE RUNSETUP_DLL OUT.msi
#   --version  the product version instead of the one derived from the program's (A.03.02 gives 3.2.0); the
#              tests make an older package with it
# The package is of the program's architecture: the i686 program, the shipped one, gives a 32-bit package,
# which installs on 32- and 64-bit Windows alike; the x86_64 build gives an x64 package, for the tests on
# machines that can run only that build.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
usage() { sed -n '5,7s/^# \{0,1\}//p' "$0" >&2; exit 2; }
version=
if [ "${1:-}" = --version ]; then [ $# -ge 2 ] || usage; version=$2; shift 2; fi
[ $# -eq 3 ] || usage
setup=$1 action=$2 out=$3
for f in "$setup" "$action"; do [ -f "$f" ] || { echo "$0: no file $f" >&2; exit 2; }; done

# The machine a Windows program is built for, from its PE header.
machine() { od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$1") + 4)) -N2 "$1" | tr -d ' '; }
case $(machine "$setup") in
    014c) arch=x86 ;;
    8664) arch=x64 ;;
    *) echo "$0: $setup is no Windows program for x86 or x64" >&2; exit 2 ;;
esac
[ "$(machine "$action")" = "$(machine "$setup")" ] ||
    { echo "$0: $action is not built for the architecture of $setup" >&2; exit 2; }

# The add-on's version and its maker as the program's version resource gives them: "A.03.02", "Tovrenik".
resource() { strings -el "$setup" | grep -A1 -x "$1" | sed -n 2p; }
addon=$(resource ProductVersion)
manufacturer=$(resource CompanyName)
[[ $addon =~ ^A\.([0-9]+)\.([0-9]+)$ ]] || { echo "$0: $setup gives no version A.NN.NN ('$addon')" >&2; exit 2; }
[ -n "$version" ] || version=$((10#${BASH_REMATCH[1]})).$((10#${BASH_REMATCH[2]})).0
[ -n "$manufacturer" ] || { echo "$0: $setup names no maker (CompanyName)" >&2; exit 2; }
upgrade=$(sed -n 's/.*UpgradeCode="\([-0-9A-F]*\)".*/\1/p' "$repo/msi/Orvandel.wxs")
# One product code for each version and architecture, the same at every build, so that the README can name
# it for detection rules.
product=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
    "$upgrade" "$version $arch")

# wixl takes the files by names relative to the folder it runs in.
work=$(mktemp -d "${TMPDIR:-/tmp}/orvandel-msi.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$setup" "$work/OrvandelSetup.exe"
cp "$action" "$work/RunSetup.dll"
rm -f "$out"
(cd "$work" && wixl --arch "$arch" -D Version="$version" -D AddonVersion="$addon" -D Manufacturer="$manufacturer" \
    -D ProductCode="$product" -o package.msi "$repo/msi/Orvandel.wxs")
mv "$work/package.msi" "$out"

# The add-on's removal runs while the program is still there, its installation once the program is in place,
# both inside the installation script, with their command lines made before it.
wanted='LogBesidePackageLog LogInTemp AddonRemoveCommand AddonInstallCommand InstallInitialize RemoveExistingProducts AddonRemove RemoveFiles InstallFiles AddonInstall InstallFinalize'
order=$(msiinfo export "$out" InstallExecuteSequence | tr -d '\r' | awk -F'\t' 'NR > 3 { print $3 "\t" $1 }' |
    sort -n | cut -f2 | grep -xF -f <(tr ' ' '\n' <<<"$wanted") | paste -sd' ')
if [ "$order" != "$wanted" ]; then
    echo "$0: the actions of $out are out of order:" >&2
    echo "  found:  $order" >&2
    echo "  wanted: $wanted" >&2
    exit 1
fi
echo "add-on version: $addon"
echo "product version: $version"
echo "product code: {$product}"
echo "upgrade code: {$upgrade}"
echo "architecture: $arch"
