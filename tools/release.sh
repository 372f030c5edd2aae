#!/usr/bin/env bash
# Makes a release of the shipped program, the i686 build (preset windows): builds it, signs it, wraps the signed
# program in the MSI package (tools/msi.sh) and signs that too, and leaves a folder with the signed
# OrvandelSetup.exe, Orvandel-<version>.msi, SHA256SUMS and RELEASE.txt, the evidence a validated lab records.
#   usage: tools/release.sh (--pkcs12 FILE | --test-certificate) [--timestamp URL] [--out DIR]
#   --pkcs12 FILE       the code-signing certificate with its key; its password in ORVANDEL_SIGN_PASSWORD
#   --test-certificate  a throwaway self-signed certificate made now, to try the release (no PC trusts it);
#                       the folder then holds it too, as test-certificate.pem, to verify the signature with
#   --timestamp URL     an RFC 3161 time-stamp server; without one the signature expires with the certificate
#   --out DIR           the release folder, new or empty (default build/release, replaced each time)
# The build is reproducible: the same commit gives the same unsigned bytes wherever and whenever it is built
# (SOURCE_DATE_EPOCH, when set, replaces the commit's time as the program's time stamp).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
usage() {
    sed -n '4,9s/^# \{0,1\}//p' "$0" >&2
    exit "$1"
}
pkcs12='' test_certificate='' timestamp='' out=$repo/build/release
while [ $# -gt 0 ]; do
    case $1 in
        --pkcs12) [ $# -ge 2 ] || usage 2; pkcs12=$2; shift 2 ;;
        --test-certificate) test_certificate=1; shift ;;
        --timestamp) [ $# -ge 2 ] || usage 2; timestamp=$2; shift 2 ;;
        --out) [ $# -ge 2 ] || usage 2; out=$2; shift 2 ;;
        -h|--help) usage 0 ;;
        *) echo "$0: unknown argument $1" >&2; usage 2 ;;
    esac
done
if { [ -n "$pkcs12" ] && [ -n "$test_certificate" ]; } || { [ -z "$pkcs12" ] && [ -z "$test_certificate" ]; }; then
    echo "$0: give either --pkcs12 FILE or --test-certificate" >&2
    usage 2
fi
if [ -n "$pkcs12" ]; then
    [ -f "$pkcs12" ] || { echo "$0: no certificate file $pkcs12" >&2; exit 2; }
    [ -n "${ORVANDEL_SIGN_PASSWORD+set}" ] || { echo "$0: set ORVANDEL_SIGN_PASSWORD to the password of $pkcs12" >&2; exit 2; }
    pkcs12=$(realpath "$pkcs12")
fi
if [ "$out" = "$repo/build/release" ]; then
    rm -rf "$out"
elif [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then
    echo "$0: $out is not empty; name a new or empty folder" >&2
    exit 2
fi
mkdir -p "$out"
out=$(realpath "$out")
work=$(mktemp -d "${TMPDIR:-/tmp}/orvandel-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
say() { printf '\n== %s\n' "$*"; }

say "Dependencies"
tools/deps.sh

say "Building the shipped program (preset windows, build/windows)"
cmake --preset windows >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build --preset windows --target OrvandelSetup orv_msi_action
build=$repo/build/windows
tool=$build/payload/payload_tool
commit=$(cat "$build/facts/BuildCommit.txt")
epoch=$(cat "$build/facts/SourceDateEpoch.txt")
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
case $commit in
    *-modified) echo "Warning: the working tree differs from commit ${commit%-modified}; the program says $commit" >&2 ;;
    unknown) echo "Warning: not a git checkout; the program's commit is unknown" >&2 ;;
esac
cp "$build/OrvandelSetup.exe" "$work/unsigned.exe"

say "Signing"
if [ -n "$test_certificate" ]; then
    openssl req -x509 -newkey rsa:3072 -nodes -days 30 -keyout "$work/key.pem" -out "$out/test-certificate.pem" \
        -subj '/CN=Orvandel installer TEST SIGNING, NOT TRUSTED/O=Tovrenik' \
        -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature 2>/dev/null
    ORVANDEL_SIGN_PASSWORD=$(openssl rand -hex 16)
    export ORVANDEL_SIGN_PASSWORD
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$out/test-certificate.pem" -out "$work/test.p12" \
        -passout env:ORVANDEL_SIGN_PASSWORD
    pkcs12=$work/test.p12
    cp "$out/test-certificate.pem" "$work/ca.pem"
else
    # The chain the certificate file carries, and the system's roots, to check the signature against.
    openssl pkcs12 -in "$pkcs12" -nokeys -passin env:ORVANDEL_SIGN_PASSWORD -out "$work/ca.pem" 2>/dev/null ||
        openssl pkcs12 -legacy -in "$pkcs12" -nokeys -passin env:ORVANDEL_SIGN_PASSWORD -out "$work/ca.pem"
    cat /etc/ssl/certs/ca-certificates.crt >>"$work/ca.pem" 2>/dev/null || true
fi
tools/sign.sh ${timestamp:+--timestamp "$timestamp"} "$pkcs12" "$work/unsigned.exe" "$out/OrvandelSetup.exe"
signed=$out/OrvandelSetup.exe

say "Checking the signed program"
if ! osslsigncode verify -CAfile "$work/ca.pem" -in "$signed" >"$work/verify.txt" 2>&1; then
    cat "$work/verify.txt" >&2
    echo "$0: the signature does not verify" >&2
    exit 1
fi
# The signature is only appended: taken off again, it leaves the build's bytes, with the same payload.
osslsigncode remove-signature -in "$signed" -out "$work/stripped.exe" >/dev/null
cmp -s "$work/stripped.exe" "$work/unsigned.exe" || { echo "$0: signing changed the program's own bytes" >&2; exit 1; }
"$tool" describe "$work/unsigned.exe" "$commit" >"$work/version.txt"
"$tool" describe "$signed" "$commit" >"$work/version-signed.txt"
cmp -s "$work/version.txt" "$work/version-signed.txt" || { echo "$0: the signed program's payload differs" >&2; exit 1; }
echo "Signature verified; without it the file is the build's, byte for byte; the payload is intact"

say "The MSI package"
addon=$(sed -n 's/^Orvandel installer //p' "$work/version.txt")
msi=Orvandel-$addon.msi
# Its custom action is signed as well: it runs as SYSTEM, and application control may ask for a signature.
tools/sign.sh ${timestamp:+--timestamp "$timestamp"} "$pkcs12" "$build/msi/RunSetup.dll" "$work/RunSetup.dll"
tools/msi.sh "$signed" "$work/RunSetup.dll" "$work/unsigned.msi" >"$work/msi.txt"
tools/sign.sh ${timestamp:+--timestamp "$timestamp"} "$pkcs12" "$work/unsigned.msi" "$out/$msi"
if ! osslsigncode verify -CAfile "$work/ca.pem" -in "$out/$msi" >"$work/verify-msi.txt" 2>&1; then
    cat "$work/verify-msi.txt" >&2
    echo "$0: the package's signature does not verify" >&2
    exit 1
fi
mkdir "$work/package"
msiextract -C "$work/package" "$out/$msi" >/dev/null
cmp -s "$work/package/Program Files/Orvandel/OrvandelSetup.exe" "$signed" ||
    { echo "$0: the package does not carry the signed program" >&2; exit 1; }
msi_field() { sed -n "s/^$1: //p" "$work/msi.txt"; }
[ "$(msi_field architecture)" = x86 ] || { echo "$0: the package is not the 32-bit one" >&2; exit 1; }
echo "$msi: product code $(msi_field 'product code'), signature verified, carries the signed program"

say "Writing $out"
field() { sed -n "s/^[[:space:]]*$1[[:space:]]*:[[:space:]]*//p" "$work/verify.txt" | head -1; }
subject=$(field Subject)
expires=$(field notAfter)
if [ -n "$timestamp" ]; then
    stamped="RFC 3161 time stamp from $timestamp: the signature stays valid after the certificate expires"
else
    stamped="none: the signature is valid only until the certificate expires ($expires)"
fi
payload_dir=$(cache ORVANDEL_PAYLOAD_DIR)
if [ -n "$payload_dir" ]; then payload="the maker's files from $payload_dir"; else
    payload="the stand-ins built from this commit, NOT the maker's files"
fi
# A tool's own version line and the Debian package it comes from, with that package's version.
version() {
    local path package
    path=$(readlink -f "$(command -v "$1")")
    package=$(dpkg-query -S "$path" 2>/dev/null | head -1 | cut -d: -f1)
    printf '%s' "$("$1" --version 2>&1 | head -1 | sed 's/, using:$//')"
    [ -z "$package" ] || printf ' (Debian package %s %s)' "$package" "$(dpkg-query -W -f='${Version}' "$package")"
    echo
}
size() { stat -c %s "$1"; }
sha() { sha256sum <"$1" | cut -d' ' -f1; }
{
    echo "Release notes of OrvandelSetup.exe"
    echo
    echo "What the program prints for \"OrvandelSetup.exe /version\": its version, the commit it was built from,"
    echo "and for each of the seven files it installs the name, target path, size and SHA-256 that /verify"
    echo "compares an installed file with (<ChemStation> is the ChemStation folder, C:\\HPCHEM on most PCs):"
    echo
    cat "$work/version.txt"
    echo
    echo "build time: $(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S UTC') (SOURCE_DATE_EPOCH=$epoch, the program's time stamp)"
    echo "payload: $payload"
    echo "architecture: i686 (32-bit), for Windows XP to 11"
    # The compilers the toolchain file (cmake/mingw-i686.cmake) names.
    echo "compiler: $(version i686-w64-mingw32-g++-win32)"
    echo "linker: $(version i686-w64-mingw32-ld)"
    echo "resource compiler: $(version i686-w64-mingw32-windres)"
    echo "stand-in compiler: $(version "$(cache ORVANDEL_STANDIN_CC)")"
    echo "payload tool compiler: $(version "$(cache ORVANDEL_HOST_CXX)")"
    echo "build system: $(version cmake)"
    echo "icon drawing: $(version python3)"
    echo "signing tool: $(version osslsigncode)"
    echo "package tool: wixl $(version wixl)"
    echo "custom action compiler: $(version i686-w64-mingw32-gcc-win32)"
    echo
    echo "unsigned program: $(size "$work/unsigned.exe") bytes, sha256 $(sha "$work/unsigned.exe")"
    echo "  (a build of this commit with these tools gives these bytes; \"osslsigncode remove-signature\" gives"
    echo "  them back from the signed file)"
    echo "signed program: $(size "$signed") bytes, sha256 $(sha "$signed")"
    echo "signature: Authenticode, SHA-256, \"Orvandel installer\", http://www.tovrenik.example"
    echo "certificate: $subject, valid until $expires"
    echo "time stamp: $stamped"
    echo
    echo "MSI package: $msi, $(size "$out/$msi") bytes, sha256 $(sha "$out/$msi"), signed as the program is"
    echo "  product version $(msi_field 'product version'), product code $(msi_field 'product code'), upgrade code $(msi_field 'upgrade code')"
    echo "  32-bit, per machine; it carries the signed OrvandelSetup.exe above and its custom action RunSetup.dll"
    echo "  ($(size "$work/RunSetup.dll") bytes signed, sha256 $(sha "$work/RunSetup.dll"))"
} >"$out/RELEASE.txt"
summed=(OrvandelSetup.exe "$msi" RELEASE.txt)
[ -z "$test_certificate" ] || summed+=(test-certificate.pem)
(cd "$out" && sha256sum "${summed[@]}" >SHA256SUMS)

ls -l "$out"
[ -n "$timestamp" ] || echo "No time-stamp server given (--timestamp URL): the signature expires with the certificate ($expires)."
[ -z "$test_certificate" ] || echo "Signed with a throwaway test certificate: no Windows PC trusts it. For a real release use --pkcs12."
echo "Release of $commit in $out"
