#!/usr/bin/env bash
# The shipped executable: 32-bit PE, GUI subsystem, importing nothing but Windows system DLLs, small.
set -u
exe=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe was not built"
headers=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"
grep -q 'Magic.*010b.*(PE32)' <<<"$headers" || fail "not a PE32 (32-bit) image"
grep -q 'Subsystem.*00000002.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
allowed='^(kernel32|user32|gdi32|comctl32|shell32|ole32|oleaut32|advapi32|msi|msvcrt|comdlg32|version|shlwapi)\.dll$'
dlls=$(sed -n 's/.*DLL Name: //p' <<<"$headers")
[ -n "$dlls" ] || fail "no import table found"
while read -r dll; do
  tr 'A-Z' 'a-z' <<<"$dll" | grep -qE "$allowed" || fail "imports $dll, which is not a Windows system DLL"
done <<<"$dlls"
size=$(stat -c %s "$exe")
[ "$size" -le 327680 ] || fail "$size bytes, over 320 KB (327,680 bytes)"
# The texts a user sees in the file's properties.
grep -aq 'T.a.r.n.w.i.c.k. .S.e.t.u.p. .W.i.z.a.r.d' "$exe" || fail "no version information"
echo "PASS: $(basename "$exe"): PE32 GUI, $size bytes, imports $(tr '\n' ' ' <<<"$dlls")"
