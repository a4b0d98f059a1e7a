#!/usr/bin/env bash
# The signing round trip with a throwaway self-signed certificate: scripts/sign.sh signs EXE into
# OUT_DIR/TarnwickSetup.exe (which one end-to-end scenario then runs), osslsigncode verifies it
# against that certificate, removing the signature gives EXE back byte for byte, one changed byte
# breaks the signature, and a named time-stamp server that cannot be reached fails the signing.
# Arguments: the source tree, EXE, OUT_DIR (emptied).
set -u
src=$1 exe=$(realpath -m "$2") out=$3
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe was not built"
rm -rf "$out" && mkdir -p "$out" || fail "cannot create $out"
cd "$out" || exit 1
export TARNWICK_SIGN_PASSWORD=throwaway-$$
openssl req -x509 -newkey rsa:2048 -days 2 -subj "/CN=Tarnwick Test Signer" -addext extendedKeyUsage=codeSigning \
  -keyout key.pem -passout env:TARNWICK_SIGN_PASSWORD -out cert.pem >openssl.log 2>&1 ||
  { cat openssl.log; fail "openssl could not make the certificate"; }

"$src/scripts/sign.sh" -c cert.pem -k key.pem "$exe" TarnwickSetup.exe || fail "sign.sh failed"
osslsigncode verify -in TarnwickSetup.exe -CAfile cert.pem >verify.log 2>&1 || { cat verify.log; fail "the signed exe does not verify"; }
grep -q 'Message digest algorithm *: SHA256' verify.log || fail "the digest is not SHA-256"

osslsigncode remove-signature -in TarnwickSetup.exe -out unsigned.exe >/dev/null 2>&1 || fail "remove-signature failed"
cmp -s unsigned.exe "$exe" || fail "without its signature the signed exe differs from the unsigned one"

# One byte in the code section (file offset 0x1000), inverted.
cp TarnwickSetup.exe tampered.exe
byte=$(od -An -tu1 -j4096 -N1 tampered.exe | tr -d ' ')
printf "\\$(printf '%03o' $((255 - byte)))" | dd of=tampered.exe bs=1 seek=4096 conv=notrunc status=none
cmp -s tampered.exe TarnwickSetup.exe && fail "the byte was not changed"
osslsigncode verify -in tampered.exe -CAfile cert.pem >tampered.log 2>&1 && fail "a changed byte still verifies"
grep -q MISMATCH tampered.log || { cat tampered.log; fail "the changed byte was not reported as a digest mismatch"; }

"$src/scripts/sign.sh" -c cert.pem -k key.pem -t http://127.0.0.1:9/ "$exe" stamped.exe >stamp.log 2>&1 &&
  fail "signing succeeded although the named time-stamp server cannot be reached"
[ ! -e stamped.exe ] || fail "a failed signing left stamped.exe behind"

rm -f key.pem unsigned.exe tampered.exe
echo "PASS: signed $(basename "$exe") verifies (SHA-256), unsigns to the original, breaks on one changed byte"
