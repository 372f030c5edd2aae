#!/usr/bin/env bash
# Signs a Windows program with Authenticode: SHA-256, the product's name and web address in the signature,
# and an RFC 3161 time stamp when a server is named. The signature is appended to the file: the program's
# own bytes, its resources with the add-on's files among them, are not touched.
#   usage: tools/sign.sh [--timestamp URL] PKCS12 IN OUT
#   PKCS12  the code-signing certificate with its key; its password in ORVANDEL_SIGN_PASSWORD (never on a
#           command line, where other users of the machine could read it)
# Without a time stamp the signature is valid only until the certificate expires.
set -euo pipefail
product='Orvandel installer'
web='http://www.tovrenik.example'
timestamp=
if [ "${1:-}" = --timestamp ]; then timestamp=$2; shift 2; fi
[ $# -eq 3 ] || { echo "usage: $0 [--timestamp URL] PKCS12 IN OUT (password in ORVANDEL_SIGN_PASSWORD)" >&2; exit 2; }
pkcs12=$1 in=$2 out=$3
[ -f "$pkcs12" ] || { echo "$0: no certificate file $pkcs12" >&2; exit 2; }
[ -n "${ORVANDEL_SIGN_PASSWORD+set}" ] || { echo "$0: set ORVANDEL_SIGN_PASSWORD to the password of $pkcs12" >&2; exit 2; }
stamp=()
[ -z "$timestamp" ] || stamp=(-ts "$timestamp")
rm -f "$out"
# The password reaches osslsigncode through a pipe that only it reads (printf is a shell built-in, so it is
# never a process argument either).
osslsigncode sign -pkcs12 "$pkcs12" -readpass <(printf '%s' "$ORVANDEL_SIGN_PASSWORD") -h sha256 \
    -n "$product" -i "$web" "${stamp[@]}" -in "$in" -out "$out" >/dev/null
