#!/usr/bin/env bash
# TarnwickCheck, the real program under Wine: the demo distribution passes it, and each small folder
# of the table below gives its exit code and the lines it must print.
# Arguments: the source tree, the test build, a scratch folder (emptied).
set -u
src=$1 build=$2 work=$3
failures=0
rm -rf "$work" && mkdir -p "$work" || exit 1

# Runs the check on a Unix path (passed as a Windows path) and compares exit code and lines.
expect() {  # label, path, expected exit code, expected lines...
  local label=$1 path=$2 want=$3 out code line
  shift 3
  # shellcheck disable=SC2086 # CHOICES: further arguments, split at blanks
  out=$("$src/scripts/wine-run.sh" "$build/TarnwickCheck.exe" "Z:${path//\//\\}" ${CHOICES:-} 2>&1)
  code=$?
  local bad=""
  [ "$code" = "$want" ] || bad+="  exit code $code, expected $want"$'\n'
  for line in "$@"; do grep -qF -- "$line" <<<"$out" || bad+="  no line with: $line"$'\n'; done
  if [ -n "$bad" ]; then
    printf 'FAIL: %s\n%s--- output:\n%s\n---\n' "$label" "$bad" "$out"
    failures=$((failures + 1))
  fi
}

"$src/scripts/demo-dist.sh" "$build" "$work/demo" || exit 1
expect demo "$work/demo/TarnwickSetup.INI" 0 "4 components, 0 errors" \
  'Size                 "4100.5" -> 4100 KB (fraction dropped)' \
  'setup file           found: a program, as FileIsExe says'

# One folder per row: the INI ("-": none, "folder": a folder in its place), the setup files as
# name=fixture (or an absolute path), the exit code and the lines the check must print.
row() {  # name, INI text, setup files, exit code, expected lines...
  local dir=$work/$1 ini=$2 files=$3 f
  mkdir -p "$dir"
  case $ini in
    -) ;;
    folder) mkdir "$dir/TarnwickSetup.INI" ;;
    *) printf '%b' "$ini" >"$dir/TarnwickSetup.INI" ;;
  esac
  for f in $files; do
    case ${f#*=} in /*) cp "${f#*=}" "$dir/${f%%=*}" ;; *) cp "$build/fixtures/${f#*=}" "$dir/${f%%=*}" ;; esac
  done
  shift 3
  expect "$(basename "$dir")" "$dir" "$@"
}
cannot_open="error: the wizard cannot open"
row values '[A]\nComponentDescription=Values\nFileName=a.msi\nSize=1536.9\nRequired=yes\nFileIsExe=0x0\nSetupFileSubFolder=7\nComponentImageIndex=$1F\n' \
  a.msi=alpha.msi 0 '"1536.9" -> 1536 KB (fraction dropped)' '"yes" -> false (not an integer' \
  '"0x0" -> false (hexadecimal 0)' '"7" -> true (decimal, not 0)' '"$1F" -> 31 (hexadecimal)' \
  '"-1" -> not reported' '1 component, 0 errors, 2 warnings'
row no-ini - "" 1 "$cannot_open"
row ini-is-a-folder folder "" 1 "$cannot_open"
row no-components '; nothing here\n' "" 1 "error: the INI file lists no components"
row missing-and-duplicate '[A]\nComponentDescription=Tools\nFileName=a.msi\n[B]\nComponentDescription=TOOLS\nFileName=b.msi\n' \
  b.msi=beta.msi 1 "error: the setup file a.msi is missing" \
  'error: [A] and [B] have the same description "TOOLS": their log files and sub-folders collide' "2 errors"
row bad-descriptions '[A]\nComponentDescription=Tools: Extra\nFileName=a.msi\n[B]\nComponentDescription=..\nFileName=a.msi\n[C]\nComponentDescription=nul.docs\nFileName=a.msi\n[D]\nComponentDescription=Docs.\nFileName=a.msi\n[E]\nFileName=a.msi\n' \
  a.msi=alpha.msi 1 'error: ComponentDescription "Tools: Extra" cannot name the component'"'"'s log file and sub-folder: Windows forbids the character :' \
  '".." cannot name' 'stand for folders of the path' '"nul.docs" cannot name' 'reserves it for a device' '"Docs." cannot name' \
  'trailing dot' '"" cannot name the component'"'"'s log file and sub-folder: it is empty' "5 errors"
row wrong-kind '[A]\nComponentDescription=A\nFileName=a.msi\nFileIsExe=1\n[B]\nComponentDescription=B\nFileName=b.exe\n[C]\nComponentDescription=C\nFileName=c.msi\n[D]\nComponentDescription=D\nFileName=..\\a.msi\n' \
  "a.msi=alpha.msi b.exe=setup-stub.exe c.msi=$src/tests/fixtures/packages/alpha.txt" 1 \
  "the setup file a.msi is a Windows Installer package, but FileIsExe makes the wizard start it as a program" \
  "the setup file b.exe is a program, but FileIsExe makes the wizard hand it to Windows Installer" \
  "the setup file c.msi is neither a Windows Installer package nor a program" \
  'FileName "..\a.msi" cannot be a file beside the wizard: Windows forbids the character \' "4 errors"

# Files that start like a package but are none: the wizard's own words for them, from opening them.
head -c 4096 "$build/fixtures/alpha.msi" >"$work/truncated.msi"
row not-packages '[A]\nComponentDescription=A\nFileName=a.msi\n[B]\nComponentDescription=B\nFileName=b.msi\n[C]\nComponentDescription=C\nFileName=c.msi\n' \
  "a.msi=noproduct.msi b.msi=$work/truncated.msi c.msi=alpha.msi" 1 \
  'error: The setup file a.msi describes no product (it has no ProductCode): 1620' \
  'error: The setup file b.msi does not open as a Windows Installer database: 1620' \
  'product code         {6FFE34E9-3923-4074-A292-5E0676C4448A}' "2 errors"

# The wizard's command-line choices, checked as the wizard will check them.
CHOICES="INSTALLDIR=C:\\Tools\\CON" row device-folder '[Core]\nComponentDescription=Core\nFileName=a.msi\n' a.msi=alpha.msi 1 \
  'INSTALLDIR=C:\Tools\CON has the folder name "CON", which Windows cannot use: Windows reserves it for a device.' "1 error"
CHOICES="COMPONENTS=tools,Nope INSTALLDIR=Relative" row choices '[Core]\nComponentDescription=Core\nFileName=a.msi\nRequired=1\n[Tools]\nComponentDescription=Tools\nFileName=a.msi\n[Docs]\nComponentDescription=Docs\nFileName=a.msi\n' \
  a.msi=alpha.msi 1 'COMPONENTS= names "Nope", which no section of the INI has (the wizard would end with 87; the sections: Core, Tools, Docs)' \
  'COMPONENTS= installs: [Core] (required) [Tools]' 'INSTALLDIR=Relative is not a full path' "2 errors"

# Sealing and bundling the demo distribution: the same files give the same bytes; TarnwickCheck on a
# sealed wizard checks the files beside it against the seal, on a bundle what is inside it; a bundle
# signs and verifies like the wizard.
win() { printf 'Z:%s' "${1//\//\\}"; }
mkdir -p "$work/sealed" "$work/bundled"
CHOICES="/seal $(win "$work/sealed/TarnwickSetup.exe")" expect seal "$work/demo" 0 "wrote Z:" "4 components, 0 errors"
CHOICES="/bundle $(win "$work/bundle-1.exe")" expect bundle "$work/demo" 0 "wrote Z:"
CHOICES="/bundle $(win "$work/bundled/TarnwickSetup.exe")" expect bundle-again "$work/demo" 0 "wrote Z:"
cmp -s "$work/bundle-1.exe" "$work/bundled/TarnwickSetup.exe" ||
  { echo "FAIL: two bundles of the same files differ"; failures=$((failures + 1)); }
cp "$work/demo/"*.msi "$work/demo/SamplesSetup.exe" "$work/sealed/"
cp "$build/fixtures/beta.msi" "$work/sealed/TarnwickCore.msi"
expect sealed-with-a-swapped-file "$work/sealed/TarnwickSetup.exe" 1 "It is sealed" \
  "error: The setup file TarnwickCore.msi is not the one this setup was made with" "1 error"
expect bundle-alone "$work/bundled/TarnwickSetup.exe" 0 "It is a bundle" "inside the bundle: a program" "4 components, 0 errors"
CHOICES="/seal $(win "$work/twice.exe")" expect seal-a-sealed-wizard "$work/bundled/TarnwickSetup.exe" 1 \
  "is sealed already" "nothing written"
(
  cd "$work" && export TARNWICK_SIGN_PASSWORD=throwaway-$$ &&
  openssl req -x509 -newkey rsa:2048 -days 2 -subj "/CN=Tarnwick Test Signer" -addext extendedKeyUsage=codeSigning \
    -keyout key.pem -passout env:TARNWICK_SIGN_PASSWORD -out cert.pem >/dev/null 2>&1 &&
  "$src/scripts/sign.sh" -c cert.pem -k key.pem bundle-1.exe signed-bundle.exe >/dev/null &&
  osslsigncode verify -in signed-bundle.exe -CAfile cert.pem >verify.log 2>&1
) || { echo "FAIL: the signed bundle does not verify"; cat "$work/verify.log" 2>/dev/null; failures=$((failures + 1)); }
expect signed-bundle "$work/signed-bundle.exe" 0 "It is a bundle" "4 components, 0 errors"

[ "$failures" -eq 0 ] || { echo "FAIL: $failures of the distribution checks"; exit 1; }
echo "PASS: TarnwickCheck passes the demo distribution, names the error of every broken folder, seals and bundles it"
rm -rf "$work"
