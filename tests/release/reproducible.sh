#!/usr/bin/env bash
# Two clean builds of one commit give the same OrvandelSetup.exe, byte for byte. The first is a release made
# from a fresh clone (tools/release.sh --test-certificate); the second, a fresh clone at a longer path, is
# built later with the preset alone, in another time zone, language and umask. The second must equal the
# first with its signature taken off, and the digest its release notes give. About two minutes, so it runs
# from .ci/run rather than ctest.
#   usage: tests/release/reproducible.sh [COMMIT]      (HEAD when left out; uncommitted changes are not built)
# The clones are made under build/reproducible/ and left there for a look after a failure.
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}") || exit 2
top=$repo/build/reproducible
first=$top/first
second=$top/second/at/a/longer/path/than/the/first
passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok    $*"; }
fail() { failed=$((failed + 1)); echo "FAIL  $*"; }
sha() { sha256sum <"$1" | cut -d' ' -f1; }
seconds() { echo $((($(date +%s%N) - $1) / 1000000000)); }
clone() {
    git clone --quiet --no-checkout "$repo" "$1" && git -C "$1" -c advice.detachedHead=false checkout --quiet "$commit"
}
unset SOURCE_DATE_EPOCH  # both builds take the commit's time
rm -rf "$top"
echo "Building commit $commit twice"

t0=$(date +%s%N)
clone "$first" && "$first/tools/release.sh" --test-certificate >"$top/first.log" 2>&1
rc=$?
echo "first: a release from a fresh clone, $(seconds "$t0") s"
[ "$rc" = 0 ] && pass "tools/release.sh --test-certificate in a fresh clone" ||
    { fail "tools/release.sh --test-certificate in a fresh clone (exit $rc):"; tail -20 "$top/first.log"; }

t0=$(date +%s%N)
(
    export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 LANG=C.UTF-8
    umask 077
    clone "$second" && cd "$second" && cmake --preset windows && cmake --build --preset windows --target OrvandelSetup
) >"$top/second.log" 2>&1
rc=$?
echo "second: a plain build in another clone, $(seconds "$t0") s"
[ "$rc" = 0 ] || { fail "the second build (exit $rc):"; tail -20 "$top/second.log"; }

release=$first/build/release
osslsigncode remove-signature -in "$release/OrvandelSetup.exe" -out "$top/first-unsigned.exe" >/dev/null 2>&1
built=$second/build/windows/OrvandelSetup.exe
for f in "$top/first-unsigned.exe" "$first/build/windows/OrvandelSetup.exe" "$built"; do
    [ -f "$f" ] && echo "$(sha "$f")  $(stat -c %s "$f") bytes  ${f#"$repo/"}"
done
if cmp -s "$first/build/windows/OrvandelSetup.exe" "$built"; then
    pass "the two builds are byte-identical"
else
    fail "the two builds differ:"
    cmp -l "$first/build/windows/OrvandelSetup.exe" "$built" 2>&1 | head -10
fi
cmp -s "$top/first-unsigned.exe" "$built" && pass "the signed release, without its signature, is the second build" ||
    fail "the signed release, without its signature, differs from the second build"
recorded=$(sed -n 's/^unsigned program: .* sha256 //p' "$release/RELEASE.txt" 2>/dev/null)
[ -f "$built" ] && [ "$recorded" = "$(sha "$built")" ] && pass "RELEASE.txt records the second build's digest" ||
    fail "RELEASE.txt records ${recorded:-no digest}"
echo "reproducible: $passed passed, $failed failed"
[ "$failed" = 0 ]
