#!/usr/bin/env bash
# Builds the shipped executables a second time, from a copy of the source tree in another folder, and
# compares them byte for byte with build/: distributors must be able to rebuild what we ship.
# Arguments: the source tree, a scratch folder (emptied).
set -u
src=$1 work=$2
fail() { echo "FAIL: $*"; exit 1; }
shipped=$src/build/TarnwickSetup.exe
[ -f "$shipped" ] || fail "$shipped was not built"
rm -rf "$work" && mkdir -p "$work/tree/build" || fail "cannot create $work"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/tree" -xf - || fail "cannot copy the sources"
# libjpeg is an input of the build, not part of it: the same static library for both builds.
ln -s "$src/build/deps" "$work/tree/build/deps"
# At the lowest priority: it runs beside the end-to-end tests, whose waits must not starve.
nice -n 19 "$work/tree/scripts/build.sh" --product-only >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "second build failed"; }
for exe in TarnwickSetup.exe TarnwickCheck.exe; do
  again=$work/tree/build/$exe
  if ! cmp -s "$src/build/$exe" "$again"; then
    echo "differing bytes of $exe (offset, octal values):"
    cmp -l "$src/build/$exe" "$again" | head -n 20
    fail "a second build in $work differs from $src/build/$exe"
  fi
  echo "PASS: $exe built a second time in another folder is identical ($(stat -c %s "$again") bytes, sha256 $(sha256sum <"$again" | cut -c1-16)...)"
done
rm -rf "$work"
