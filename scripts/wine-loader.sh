# Which Wine loader to use: the 32-bit one where this kernel can start 32-bit processes, else wine64.
# TARNWICK_TEST_ARCH=x86_64 takes the second path on a machine that could take the first, so that a
# change can be tried on both before it lands.
can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
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
wine_loader() {
  if [ -n "${TARNWICK_WINE:-}" ]; then echo "$TARNWICK_WINE"
  elif [ "$(test_arch)" = i686 ]; then echo wine
  else echo /usr/lib/wine/wine64; fi
}
