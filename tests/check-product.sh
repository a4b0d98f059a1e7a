#!/usr/bin/env bash
# The shipped executable: 32-bit PE, GUI subsystem, importing nothing but Known DLLs, asking for
# administrator rights, hardened, small.
set -u
exe=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe was not built"
headers=$(i686-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"
grep -q 'Magic.*010b.*(PE32)' <<<"$headers" || fail "not a PE32 (32-bit) image"
grep -q 'Subsystem.*00000002.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
# Known DLLs only: Windows takes them from the system folder whatever lies beside the exe. Anything
# else (msi, comctl32, wininet, version, ...) must be bound at run time, after the DLL search is
# restricted.
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|ole32|oleaut32|shell32|shlwapi|comdlg32|imm32|ws2_32)\.dll$'
dlls=$(sed -n 's/.*DLL Name: //p' <<<"$headers")
[ -n "$dlls" ] || fail "no import table found"
while read -r dll; do
  tr 'A-Z' 'a-z' <<<"$dll" | grep -qE "$allowed" || fail "imports $dll, which is not a Known DLL"
done <<<"$dlls"
# The manifest as Windows reads it: the RT_MANIFEST resource of the built file.
manifest=$(wrestool -x --raw --type=24 --name=1 "$exe" 2>/dev/null) || fail "cannot read the resources of $exe"
[ -n "$manifest" ] || fail "no embedded manifest"
grep -q '<requestedExecutionLevel level="requireAdministrator"' <<<"$manifest" ||
  fail "the embedded manifest does not ask for administrator rights"
grep -q '<dpiAware[^>]*>true/pm</dpiAware>' <<<"$manifest" &&
  grep -q '<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>' <<<"$manifest" ||
  fail "the embedded manifest does not declare the wizard DPI-aware per monitor"
# A hardened image: loaded at a random address (ASLR, which needs the relocations to move it), data
# never executed (NX), and our code's stack frames guarded (the guard's failure routine, linked in only
# when compiled code calls it, carries its message).
characteristics=$(sed -n 's/^DllCharacteristics[[:space:]]*//p' <<<"$headers")
hardening=()
for flag in DYNAMIC_BASE NX_COMPAT; do
  grep -q "^[[:space:]]*$flag\$" <<<"$headers" || fail "DllCharacteristics $characteristics lacks $flag"
  hardening+=("$flag")
done
i686-w64-mingw32-objdump -h "$exe" | grep -q ' \.reloc ' || fail "no .reloc section: the image cannot be moved"
hardening+=(.reloc)
grep -aq 'stack smashing detected' "$exe" || fail "no stack protection (-fstack-protector-strong) linked in"
hardening+=(stack-protector)
size=$(stat -c %s "$exe")
[ "$size" -le 327680 ] || fail "$size bytes, over 320 KB (327,680 bytes)"
# The texts a user sees in the file's properties.
grep -aq 'T.a.r.n.w.i.c.k. .S.e.t.u.p. .W.i.z.a.r.d' "$exe" || fail "no version information"
echo "PASS: $(basename "$exe"): PE32 GUI, $size bytes, ${hardening[*]}, imports $(tr '\n' ' ' <<<"$dlls")"
