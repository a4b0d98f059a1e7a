#!/usr/bin/env bash
# Builds the product (32-bit, build/) and, where 32-bit programs cannot run on this host, the same
# sources and the tests as 64-bit binaries (build/x86_64/), which the test run then uses.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$here/scripts/wine-loader.sh"
configure_and_build() {  # build folder, architecture, extra cmake arguments...
  local dir=$1 arch=$2; shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" "$@" >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)" 2>&1 | { grep -vE '^\[ *[0-9]+%\]' || true; }
}
if [ "$(test_arch)" = i686 ]; then configure_and_build "$here/build" i686
else configure_and_build "$here/build" i686 -DBUILD_TESTING=OFF; fi
if [ "$(test_arch)" != i686 ]; then
  configure_and_build "$here/build/$(test_arch)" "$(test_arch)"
fi
