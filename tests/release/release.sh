#!/usr/bin/env bash
# A release as tools/release.sh makes it, checked as a validated lab checks one: signed with a certificate
# made here with openssl and handed over as a lab's would be (a PKCS#12 file, its password in the
# environment), the signature verified and refused after any one changed byte, the notes naming what is
# inside, the MSI package signed alike around the signed program, and the signed program installing under
# Wine and describing itself as its notes do.
#   usage: release.sh SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR PAYLOAD_TOOL
# SETUP_EXE is this build's program. The release is always the i686 one; where 32-bit programs cannot run,
# SETUP_EXE is the x86_64 build of the same sources, signed here the same way to be run under Wine instead.
set -u
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
. "$here/../e2e/lib.sh"
. "$here/../reliability/lib.sh"
[ $# -eq 5 ] || { echo "usage: $0 SETUP_EXE TOOLS_DIR PAYLOAD_FILES OUT_DIR PAYLOAD_TOOL" >&2; exit 2; }
setup=$1 tool=$5
E2E_PAYLOAD=$3
out=$4
rm -rf "$out/release" "$out/work"
mkdir -p "$out/work"
work=$out/work
release=$out/release

sha() { sha256sum <"$1" | cut -d' ' -f1; }
# certificate NAME: a self-signed code-signing certificate NAME.pem with its key in NAME.p12.
certificate() {
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout "$work/$1.key" -out "$work/$1.pem" \
        -subj "/CN=Orvandel release test $1/O=Tovrenik" -addext extendedKeyUsage=codeSigning 2>/dev/null &&
        openssl pkcs12 -export -inkey "$work/$1.key" -in "$work/$1.pem" -out "$work/$1.p12" \
            -passout env:ORVANDEL_SIGN_PASSWORD
}
# verifies WHAT FILE CERT: whether osslsigncode accepts FILE's signature against CERT; its report in verify.txt.
verifies() { osslsigncode verify -CAfile "$3" -in "$2" >"$work/verify.txt" 2>&1; }
flip_byte() {  # flip_byte FILE OFFSET: the byte there, inverted
    local b
    b=$(od -An -tu1 -j"$2" -N1 "$1" | tr -d ' ')
    printf "\\$(printf %03o $((255 - b)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
le32() { od -An -tu4 -j"$2" -N4 "$1" | tr -d ' '; }  # le32 FILE OFFSET

# ---- The release -----------------------------------------------------------------------------------------

ORVANDEL_SIGN_PASSWORD="lab pass $(openssl rand -hex 8)"
export ORVANDEL_SIGN_PASSWORD
certificate lab && certificate stranger || { e2e_fail "openssl made no certificate"; e2e_end; exit; }
# The signing tools run through stand-ins that note their arguments: the password must be in none of them.
mkdir -p "$work/spy"
for t in osslsigncode openssl; do
    cat >"$work/spy/$t" <<SPY
#!/bin/sh
printf '%s\n' "\$*" >>"$work/arguments.txt"
exec $(command -v "$t") "\$@"
SPY
    chmod +x "$work/spy/$t"
done
t0=$(date +%s%N)
PATH="$work/spy:$PATH" "$repo/tools/release.sh" --pkcs12 "$work/lab.p12" --out "$release" >"$work/release.log" 2>&1
rc=$?
echo "tools/release.sh: exit code $rc, $((($(date +%s%N) - t0) / 1000000)) ms"
e2e_expect "release.sh succeeds" 0 "$rc"
[ "$rc" = 0 ] || sed 's/^/      | /' "$work/release.log" | tail -30
e2e_expect "the signing tools were run" "yes" "$(grep -q '^sign -pkcs12' "$work/arguments.txt" && echo yes)"
e2e_expect "the password is on no command line and in no output" "" \
    "$(grep -F -- "$ORVANDEL_SIGN_PASSWORD" "$work/arguments.txt" "$work/release.log")"
e2e_expect "the folder holds" "Orvandel-$E2E_VERSION.msi OrvandelSetup.exe RELEASE.txt SHA256SUMS" \
    "$(ls "$release" | LC_ALL=C sort | paste -sd' ')"
(cd "$release" && sha256sum --quiet -c SHA256SUMS >"$work/sums.txt" 2>&1)
rc=$?
e2e_expect "SHA256SUMS holds" "0" "$rc$(cat "$work/sums.txt")"
e2e_expect "no time stamp: the script says the signature expires with the certificate" 1 \
    "$(grep -c 'the signature expires with the certificate' "$work/release.log")"

signed=$release/OrvandelSetup.exe
notes=$release/RELEASE.txt
verifies signed "$signed" "$work/lab.pem"
e2e_expect "the signature verifies against the signing certificate" "0" "$?"
for line in 'Message digest algorithm  : SHA256' 'Text description: Orvandel installer' \
    'URL description: http://www.tovrenik.example' 'Signature verification: ok'; do
    grep -qF -- "$line" "$work/verify.txt" && e2e_pass "signature: $line" || e2e_fail "signature: no '$line'"
done
verifies stranger "$signed" "$work/stranger.pem" && e2e_fail "verified against another certificate" ||
    e2e_pass "refused against another certificate"

# One changed byte anywhere breaks the signature: in the headers, among the add-on's files, in the signature.
pe=$(le32 "$signed" 60)
certificates=$(le32 "$signed" $((pe + 24 + 96 + 8 * 4)))
for place in "time stamp:$((pe + 8))" "add-on files:$(($(stat -c %s "$signed") / 2))" "signature:$((certificates + 200))"; do
    cp "$signed" "$work/flipped.exe"
    flip_byte "$work/flipped.exe" "${place#*:}"
    verifies flipped "$work/flipped.exe" "$work/lab.pem" && e2e_fail "one byte changed (${place%%:*}): still verifies" ||
        e2e_pass "one byte changed (${place%%:*}): refused"
done

# The signature is only appended: taken off, it leaves the build's bytes, as the notes record them.
osslsigncode remove-signature -in "$signed" -out "$work/stripped.exe" >/dev/null 2>&1
built=$repo/build/windows/OrvandelSetup.exe
cmp -s "$work/stripped.exe" "$built" && e2e_pass "unsigned again: the built program" ||
    e2e_fail "unsigned again: differs from $built"
e2e_expect "the notes' unsigned program" "unsigned program: $(stat -c %s "$built") bytes, sha256 $(sha "$built")" \
    "$(grep '^unsigned program: ' "$notes")"
# Sealing comes before signing; a signed program is never sealed again.
cp "$signed" "$work/resealed.exe"
"$tool" seal "$work/resealed.exe" "$repo/build/windows/facts/SourceDateEpoch.txt" >"$work/seal.txt" 2>&1
rc=$?
cmp -s "$signed" "$work/resealed.exe" || rc+=", changed"
e2e_expect "sealing a signed program is refused" "1: signed already; seal it before signing" \
    "$rc: $(grep -o 'signed already; seal it before signing' "$work/seal.txt")"

# The notes name what the program carries, reckoned here from the payload files, not by the program.
items=(deOvMcx deOrvand16Dll deOrvand32Dll deOvEnvExe dePdfPreVbs dePdfPostVbs dePdfNotesTxt)
described="Orvandel installer $E2E_VERSION"$'\n'"commit $(cat "$repo/build/windows/facts/BuildCommit.txt")"
for i in "${!E2E_FILES[@]}"; do
    f=${E2E_FILES[$i]}
    p=$(e2e_payload_file "$f") || { e2e_fail "no payload file for $f"; continue; }
    described+=$'\n'"${items[$i]}  <ChemStation>$f  $(stat -c %s "$p") bytes  sha256 $(sha "$p")"
done
e2e_expect "the notes describe the program" "$described" "$(sed -n '/^Orvandel installer /,/^$/p' "$notes" | sed '/^$/d')"
for field in 'build time' compiler linker 'resource compiler' signature certificate 'time stamp'; do
    grep -q "^$field: ." "$notes" && e2e_pass "the notes give the $field" || e2e_fail "the notes give no $field"
done

# ---- The MSI package ---------------------------------------------------------------------------------------

# Signed with the same certificate, its custom action too; the 32-bit package around the signed program,
# showing in Programs and Features what the README and the notes say. tests/e2e/msi.sh runs a package.
package=$release/Orvandel-$E2E_VERSION.msi
verifies package "$package" "$work/lab.pem"
e2e_expect "the package's signature verifies against the signing certificate" 0 "$?"
cp "$package" "$work/flipped.msi"
flip_byte "$work/flipped.msi" $(($(stat -c %s "$package") / 2))
verifies flipped "$work/flipped.msi" "$work/lab.pem" && e2e_fail "package: one byte changed: still verifies" ||
    e2e_pass "package: one byte changed: refused"
msiinfo extract "$package" Binary.RunSetup >"$work/RunSetup.dll"
verifies action "$work/RunSetup.dll" "$work/lab.pem"
e2e_expect "the package's custom action is signed" 0 "$?"
mkdir -p "$work/package"
msiextract -C "$work/package" "$package" >/dev/null
cmp -s "$work/package/Program Files/Orvandel/OrvandelSetup.exe" "$signed" &&
    e2e_pass "the package carries the signed program" || e2e_fail "the package does not carry the signed program"
e2e_expect "the package is the 32-bit one" "Template: Intel;1033" "$(msiinfo suminfo "$package" | grep '^Template:')"
property() { msiinfo export "$package" Property | tr -d '\r' | awk -F'\t' -v p="$1" '$1 == p { print $2 }'; }
e2e_expect "the package's name, version, maker, no Modify" "Orvandel add-on for ChemStation|3.2.0|Tovrenik|1" \
    "$(property ProductName)|$(property ProductVersion)|$(property Manufacturer)|$(property ARPNOMODIFY)"
for code in ProductCode UpgradeCode; do
    e2e_expect "the notes give the package's $code" 1 "$(grep -cF "$(property $code)" "$notes")"
    grep -qF "$(property $code)" "$repo/README.md" && e2e_pass "the README gives the package's $code" ||
        e2e_fail "the README does not give the package's $code $(property $code)"
done

# ---- The signed program under Wine -----------------------------------------------------------------------

if [ "$ORV_WINE_ARCH" = i686 ]; then
    run=$signed
else
    run=$work/OrvandelSetup-x86_64.exe
    "$repo/tools/sign.sh" "$work/lab.p12" "$setup" "$run"
    verifies x86_64 "$run" "$work/lab.pem"
    e2e_expect "the x86_64 build, signed the same way, verifies" 0 "$?"
    # Its own build of the same sources names its own commit, which the notes of the i686 one must share.
    e2e_expect "the x86_64 build is of the same commit" "$(cat "$repo/build/windows/facts/BuildCommit.txt")" \
        "$(cat "$(dirname "$setup")/facts/BuildCommit.txt")"
fi
e2e_begin release "$run" "$2" "$3" "$out/screenshots"
e2e_tree fresh
Before=$(e2e_fingerprint)
rel_run /version
e2e_expect "signed $ORV_WINE_ARCH program: /version exits 0" 0 "$REL_RC"
e2e_expect "signed $ORV_WINE_ARCH program: /version prints what the notes say" "$described" "$REL_OUT"
e2e_expect "/version changes nothing" "$Before" "$(e2e_fingerprint)"
rel_run /install /quiet
e2e_expect "signed $ORV_WINE_ARCH program: /install /quiet" 0 "$REL_RC"
e2e_expect_payload "signed $ORV_WINE_ARCH program installed"
# The lab's installation check: /verify against the notes' digests, with the ChemStation folder put in.
rel_run /verify /quiet
e2e_expect "signed $ORV_WINE_ARCH program: /verify /quiet" 0 "$REL_RC"
wanted=$(sed -n 's/^de[A-Za-z0-9]*  <ChemStation>\(.*\)  [0-9]* bytes  sha256 \(.*\)$/OK        C:\\HPCHEM\1  sha256 \2/p' "$notes")
e2e_expect "/verify finds the digests of the notes" "$wanted" "$(grep '^OK .*sha256' <<<"$REL_OUT")"
e2e_end
