#!/usr/bin/env bash
# Signs the shipped executable with Authenticode (osslsigncode, SHA-256 digest), with the certificate
# and key that the caller names; nothing of them is kept in the repository.
#
#   scripts/sign.sh [-c CERT] [-k KEY] [-t TSA_URL] [EXE [SIGNED_EXE]]
#
#   -c CERT     the signing certificate, PEM or DER, its chain may follow in the same PEM file; or a
#               PKCS#12 file (.pfx/.p12) that holds certificate, chain and key    (env TARNWICK_SIGN_CERT)
#   -k KEY      the private key, PEM or DER; not with PKCS#12                     (env TARNWICK_SIGN_KEY)
#   -t TSA_URL  an RFC 3161 time-stamp server; without one the signature carries no time stamp and
#               Windows trusts it only while the certificate is valid              (env TARNWICK_TIMESTAMP_URL)
#   The key's password, if it has one, comes only from the environment (TARNWICK_SIGN_PASSWORD):
#   an argument would show in the process list.
#   EXE defaults to build/TarnwickSetup.exe; SIGNED_EXE defaults to EXE (signed in place).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cert=${TARNWICK_SIGN_CERT:-} key=${TARNWICK_SIGN_KEY:-} tsa=${TARNWICK_TIMESTAMP_URL:-}
usage() { sed -n '5,15s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2; exit 2; }
while getopts c:k:t:h option; do
  case $option in
    c) cert=$OPTARG ;;
    k) key=$OPTARG ;;
    t) tsa=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
(($# <= 2)) || usage
in=${1:-$here/build/TarnwickSetup.exe}
out=${2:-$in}
fail() { echo "sign: $*" >&2; exit 1; }
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (scripts/setup.sh installs it)"
[ -n "$cert" ] || fail "no certificate named (-c or TARNWICK_SIGN_CERT)"
[ -f "$cert" ] || fail "certificate $cert not found"
[ -f "$in" ] || fail "$in not found"

args=(sign -h sha256 -n "Tarnwick Setup Wizard")
case ${cert,,} in
  *.pfx | *.p12) [ -z "$key" ] || fail "a PKCS#12 file holds the key itself; name no key"
                 args+=(-pkcs12 "$cert") ;;
  *) [ -n "$key" ] || fail "no private key named (-k or TARNWICK_SIGN_KEY)"
     [ -f "$key" ] || fail "private key $key not found"
     args+=(-certs "$cert" -key "$key") ;;
esac
[ -z "$tsa" ] || args+=(-ts "$tsa")

# osslsigncode needs a new output file; the result replaces SIGNED_EXE only when signing succeeded.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "${TARNWICK_SIGN_PASSWORD:-}" ]; then
  (umask 077 && printf '%s' "$TARNWICK_SIGN_PASSWORD" >"$work/password")
  args+=(-readpass "$work/password")
fi
if ! osslsigncode "${args[@]}" -in "$in" -out "$work/signed.exe" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  fail "signing failed${tsa:+ (time-stamp server $tsa)}"
fi
mv -f "$work/signed.exe" "$out"
echo "sign: signed $out (SHA-256, ${tsa:+time stamp from $tsa}${tsa:-no time stamp})"
