# Which Wine loader to use: the 32-bit one where this kernel can start 32-bit processes and 32-bit
# Wine is installed, else wine64. scripts/setup.sh installs 32-bit Wine only where the kernel starts
# 32-bit programs, and goes on without it where it cannot be installed; both cases land on the
# x86_64 path here, so the set-up and the tests always agree. TARNWICK_TEST_ARCH=x86_64 takes the
# second path on a machine that could take the first, so that a change can be tried on both.
can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Whether the kernel starts 32-bit x86 programs at all, asked before any 32-bit package is installed:
# a 96-byte static ELF32 program that only calls exit(42) through int 0x80. A kernel without IA-32
# emulation refuses it with "Exec format error" (seen on some machines here).
kernel_starts_32bit() {
  local folder probe code=0
  folder=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build
  mkdir -p "$folder" && probe=$folder/probe-32bit
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0''\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0''\xbb\x2a\0\0\0\xb8\x01\0\0\0\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || code=$?
  rm -f "$probe"
  [ "$code" -eq 42 ]
}

# The architecture the tests are built for: the product's own (i686) when it can run here.
test_arch() {
  case "${TARNWICK_TEST_ARCH:-}" in
    x86_64) echo x86_64 ;;
    i686)
      can_run_32bit || { echo "TARNWICK_TEST_ARCH=i686: this machine cannot start 32-bit programs" >&2; return 1; }
      echo i686 ;;
    "") if can_run_32bit; then echo i686; else echo x86_64; fi ;;
    *) echo "TARNWICK_TEST_ARCH must be i686 or x86_64, not '$TARNWICK_TEST_ARCH'" >&2; return 1 ;;
  esac
}

# The path the tests take and why, in one line for the set-up and the test summary.
test_path() {
  local arch
  arch=$(test_arch) || return 1
  if [ "$arch" = i686 ]; then echo "i686 (32-bit Wine runs the shipped wizard)"
  elif [ "${TARNWICK_TEST_ARCH:-}" = x86_64 ]; then echo "x86_64 (TARNWICK_TEST_ARCH=x86_64)"
  elif ! kernel_starts_32bit; then echo "x86_64 (this kernel cannot start 32-bit programs)"
  else echo "x86_64 (32-bit Wine is not installed or does not start)"; fi
}

wine_loader() {
  if [ -n "${TARNWICK_WINE:-}" ]; then echo "$TARNWICK_WINE"
  elif [ "$(test_arch)" = i686 ]; then echo wine
  else echo /usr/lib/wine/wine64; fi
}
