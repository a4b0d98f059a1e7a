# Which Wine loader to use: the 32-bit one where this kernel can start 32-bit processes, else wine64.
can_run_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
wine_loader() {
  if [ -n "${TARNWICK_WINE:-}" ]; then echo "$TARNWICK_WINE"
  elif can_run_32bit; then echo wine
  else echo /usr/lib/wine/wine64; fi
}
# The architecture the tests are built for: the product's own (i686) when it can run here.
test_arch() { if can_run_32bit; then echo i686; else echo x86_64; fi; }
