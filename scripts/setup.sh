#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, builds libjpeg for MinGW from Debian's
# source package and prepares the private Wine prefix. Idempotent and quiet when all is in place.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARNWICK_BUILD:-$here/build}
deps=$build/deps
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

. "$here/scripts/wine-loader.sh"

# The win32-thread compilers build the product, the posix-thread ones the tests (cmake/mingw-common.cmake);
# clang builds the fuzz targets natively.
packages=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          mingw-w64-tools wine wine64 msitools wixl xvfb xauth xdotool imagemagick icoutils cmake dpkg-dev
          fonts-dejavu-core googletest osslsigncode openssl clang libclang-rt-dev)
is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# A mirror in the middle of a sync serves an index of the wrong size for a few minutes ("File has
# unexpected size ... Mirror sync in progress?"), and apt-get update then fails as a whole although
# every other index is fine. So the update is tried a few times; an index that still fails is named
# and left out, and apt-get install decides whether what it has is enough.
apt_update() {
  local attempt output failed
  for attempt in 1 2 3; do
    output=$($SUDO apt-get update -qq 2>&1) && return 0
    # The lines that name an index or a source; apt's own words otherwise.
    failed=$(grep -E '^(E|W): ' <<<"$output" | grep -vE 'Some index files failed|old ones used instead' |
             sed -E 's/^(E|W): (Failed to fetch )?/  /') || true
    if [ "$attempt" -lt 3 ]; then
      echo "setup: apt-get update failed (attempt $attempt of 3); trying again in ${TARNWICK_APT_PAUSE:-20} s"
      sleep "${TARNWICK_APT_PAUSE:-20}"
    fi
  done
  echo "setup: these package indexes could not be fetched; going on with what apt already has:"
  echo "${failed:-  $(tail -n 1 <<<"$output")}"
}

# Installs the packages named; when apt refuses, names each package that cannot be installed with
# apt's reason (last lines) and fails.
apt_install() {
  local output p reasons=""
  output=$(DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" 2>&1 >/dev/null) && return 0
  for p in "$@"; do
    local why
    why=$(DEBIAN_FRONTEND=noninteractive apt-get install -s -qq "$p" 2>&1 | grep -E '^E: |Depends:|Conflicts:' |
          head -n 3) || true
    [ -n "$why" ] && reasons+="  $p: ${why//$'\n'/ }"$'\n'
  done
  echo "$output" | tail -n 5 >&2
  echo "setup: cannot install what the build needs:" >&2
  [ -n "$reasons" ] || reasons="  $* (apt's reason above)"$'\n'
  printf '%s' "$reasons" >&2
  return 1
}

# 32-bit Wine only where the kernel starts 32-bit programs and the tests are to take that path: it
# needs the i386 architecture, whose libraries must match the amd64 ones (from the same suites, the
# security suite included), so a missing i386 index makes it uninstallable, and it is useless where
# the kernel refuses 32-bit programs anyway. Without it the tests take the x86_64 path.
# When it could not be installed, the next runs within six hours do not ask the mirror again.
want_wine32=""
wine32_refused=$build/wine32-not-installable
if [ "${TARNWICK_TEST_ARCH:-}" != x86_64 ] && ! is_installed wine32:i386 &&
   [ -z "$(find "$wine32_refused" -mmin -360 2>/dev/null)" ] && kernel_starts_32bit; then
  want_wine32=1
fi
missing=()
for p in "${packages[@]}"; do is_installed "$p" || missing+=("$p"); done
if ((${#missing[@]})) || [ -n "$want_wine32" ]; then
  echo "setup: installing ${missing[*]}${want_wine32:+ wine32:i386}"
  if [ -n "$want_wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  apt_update
  ((${#missing[@]})) && { apt_install "${missing[@]}" || exit 1; }
  if [ -n "$want_wine32" ] && ! apt_install wine32:i386 2>/dev/null; then
    echo "setup: wine32:i386 cannot be installed now; the tests take the x86_64 path (as with TARNWICK_TEST_ARCH=x86_64)"
    mkdir -p "$build" && touch "$wine32_refused"
  fi
fi
test_arch >/dev/null || exit 1  # a TARNWICK_TEST_ARCH this machine cannot take

# libjpeg: Debian ships no MinGW build, so build the static library from Debian's own source package,
# for both architectures: the product and one test build are i686, the other test build x86_64.
# Built with what decoding any baseline or progressive JPEG needs: no arithmetic coding, and
# (jmorecfg.h) no colour quantisation, merged ("sloppy") upsampling, saving of markers or IDCTs other
# than the accurate integer one that is the default (with its scaled forms, which the background at
# high DPI uses); no getenv (JPEGMEM, read with sscanf), msvcrt's own printf for the messages, no
# unwind tables (C code that no exception passes), optimised for size.
jpeg_features='DCT_IFAST_SUPPORTED|DCT_FLOAT_SUPPORTED|UPSAMPLE_MERGING_SUPPORTED|QUANT_1PASS_SUPPORTED|QUANT_2PASS_SUPPORTED|SAVE_MARKERS_SUPPORTED'
jpeg_cflags='-DNO_GETENV -D__USE_MINGW_ANSI_STDIO=0 -fno-asynchronous-unwind-tables'
jpeg_configuration="$jpeg_features $jpeg_cflags MinSizeRel no-arith"
build_libjpeg() {
  local arch=$1 dest=$deps/libjpeg-$1
  # A library built with other options is built again.
  [ -f "$dest/lib/libjpeg.a" ] && [ "$(cat "$dest/configuration" 2>/dev/null)" = "$jpeg_configuration" ] && return 0
  echo "setup: building libjpeg ($arch) from Debian's libjpeg-turbo source package"
  if [ ! -d "$deps/jpeg-src" ]; then
    if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      . /etc/os-release
      printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$VERSION_CODENAME" "$VERSION_CODENAME" | $SUDO tee /etc/apt/sources.list.d/tarnwick-src.sources >/dev/null
      apt_update
    fi
    rm -rf "$deps/jpeg-src.tmp" && mkdir -p "$deps/jpeg-src.tmp"
    local fetched
    if ! fetched=$(cd "$deps/jpeg-src.tmp" && apt-get source --download-only -qq libjpeg-turbo 2>&1); then
      echo "$fetched" | tail -n 3 >&2
      echo "setup: cannot download libjpeg-turbo's source package, which the build needs (apt's reason above)" >&2
      exit 1
    fi
    (cd "$deps/jpeg-src.tmp" && tar xf libjpeg-turbo_*.orig.tar.* && rm -f ./*.debian.tar.* ./*.dsc ./*.orig.tar.*)
    mv "$deps/jpeg-src.tmp" "$deps/jpeg-src"
  fi
  local src
  src=$(ls -d "$deps"/jpeg-src/libjpeg-turbo-*/ | head -n 1)
  sed -i -E "s/^#define ($jpeg_features)\b/#undef \1/" "$src/jmorecfg.h"
  rm -rf "$deps/jpeg-build-$arch" "$dest"
  cmake -S "$src" -B "$deps/jpeg-build-$arch" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF -DCMAKE_C_FLAGS="$jpeg_cflags" \
    -DCMAKE_INSTALL_PREFIX="$dest" >/dev/null
  cmake --build "$deps/jpeg-build-$arch" -j"$(nproc)" --target install >/dev/null
  rm -rf "$deps/jpeg-build-$arch"
  echo "$jpeg_configuration" >"$dest/configuration"
}
build_libjpeg i686
build_libjpeg x86_64
rm -rf "$deps/jpeg-src"

# The private Wine prefixes: windows unmanaged (no window manager under Xvfb), a Verdana stand-in, no
# crash dialog (a crashing test program just ends, as the tests expect), and for the second one a
# display that runs at 144 DPI (150 %), where the wizard must scale itself. The marker names the
# version of this recipe, so that an older prefix is made again.
make_prefix() {  # folder, display DPI
  local prefix=$1 dpi=$2
  [ -f "$prefix/.tarnwick-ready-2" ] && return 0
  echo "setup: creating the Wine prefix $(basename "$prefix")"
  rm -rf "$prefix" && mkdir -p "$prefix"
  (
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine=$(wine_loader)
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Verdana /d "DejaVu Sans" /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Title-bar buttons are drawn with Marlett, which the new prefix does not have.
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
  )
  [ -d "$prefix/drive_c/windows" ] || { echo "setup: the Wine prefix could not be created" >&2; exit 1; }
  touch "$prefix/.tarnwick-ready-2"
}
make_prefix "$build/wineprefix" 96
make_prefix "$build/wineprefix-dpi144" 144
