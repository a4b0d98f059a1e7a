#!/usr/bin/env bash
# Builds the product, the 32-bit TarnwickSetup.exe, in build/, and the tests in build/test-<arch>/:
# the same sources again, for i686 where this host can start 32-bit processes, else for x86_64 (a
# kernel without IA-32 emulation cannot run Wine's 32-bit loader). The test build sends its usage
# report to 127.0.0.1, where the end-to-end tests listen, has the seams they reach from outside
# (TARNWICK_TEST_SEAMS), and uses the posix-thread compilers that
# GoogleTest needs; the product is built with the win32-thread ones. With --product-only, only build/.
# Where the tests take the i686 path, the x86_64 test build of the wizard and of TarnwickCheck is
# compiled and linked too (not run), so that the other path cannot break unseen; where they take the
# x86_64 path, build/ holds the i686 product, which the product check reads.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$here/scripts/wine-loader.sh"
configure_and_build() {  # build folder, architecture, [--target names], extra cmake arguments...
  local dir=$1 arch=$2 targets=(); shift 2
  if [ "${1:-}" = --target ]; then targets=(--target $2); shift 2; fi
  local configuration="$arch $*"
  # A folder configured otherwise (another compiler, say) starts from a fresh cache.
  if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/configured-with" 2>/dev/null)" != "$configuration" ]; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    cmake -S "$here" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" "$@" >/dev/null
    echo "$configuration" >"$dir/configured-with"
  fi
  # Progress lines and CMake's own re-configure chatter are noise; warnings and errors come through.
  cmake --build "$dir" -j"$(nproc)" "${targets[@]}" 2>&1 | { grep -vE '^\[ *[0-9]+%\]|^-- ' || true; }
}
configure_and_build "$here/build" i686 -DBUILD_TESTING=OFF -DTARNWICK_THREADS=win32
# --product-only: just the shipped executable (the reproducibility test builds it again elsewhere).
[ "${1:-}" = --product-only ] && exit 0
arch=$(test_arch) || exit 1
test_options=(-DTARNWICK_REPORT_HOST=127.0.0.1 -DTARNWICK_THREADS=posix -DTARNWICK_TEST_SEAMS=ON)
configure_and_build "$here/build/test-$arch" "$arch" "${test_options[@]}"
# Configured exactly as that path's test build, so that a run with TARNWICK_TEST_ARCH=x86_64 goes on
# from here.
if [ "$arch" = i686 ]; then
  configure_and_build "$here/build/test-x86_64" x86_64 --target "TarnwickSetup TarnwickCheck" "${test_options[@]}"
fi
