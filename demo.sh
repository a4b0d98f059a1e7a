#!/usr/bin/env bash
# Sets up what is missing, builds, assembles a demo distribution (the wizard, an INI with four
# components, demo packages built with wixl and a demo setup program; see scripts/demo-dist.sh) in
# build/demo/, checks it with TarnwickCheck and runs it:
# on your display when there is one, otherwise as a headless walk-through under Xvfb that installs
# into the demo's Wine prefix, saves a screenshot of every page and prints what happened.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh
scripts/build.sh
. scripts/session.sh
. scripts/test-build-dir.sh

demo=$(pwd)/build/demo
rm -rf "$demo"
scripts/demo-dist.sh "$test_build" "$demo/dist"
# Forget what an earlier demo installed, so that this run installs afresh.
rm -rf "$WINEPREFIX/drive_c/Program Files/Tarnwick" "$WINEPREFIX/drive_c/TarnwickDemo"

on_display=""
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  on_display=1
  export TARNWICK_USE_DISPLAY=1
fi
start_session
trap stop_session EXIT

# What a distributor does before shipping: check the folder with the wizard's own reading of the INI.
echo "demo: checking the distribution with TarnwickCheck"
(cd "$demo/dist" && ../../../scripts/wine-run.sh "$test_build/TarnwickCheck.exe" TarnwickSetup.INI) | sed 's/^/  /' ||
  echo "demo: TarnwickCheck found errors; the wizard will show them as failed components"

if [ -n "$on_display" ]; then
  echo "demo: running the wizard on $DISPLAY from $demo/dist"
  code=0
  (cd "$demo/dist" && ../../../scripts/wine-run.sh TarnwickSetup.exe) || code=$?
  echo "demo: the wizard ended with exit code $code (a Unix parent sees only its low 8 bits)"
else
  echo "demo: no display; walking through the wizard headless under Xvfb"
  shots=$(pwd)/build/screenshots/demo
  rm -rf "$shots" && mkdir -p "$shots"
  scripts/wine-run.sh "$test_build/tests/e2e/demo_walkthrough.exe" "Z:$demo/dist" "Z:$shots"
  for bmp in "$shots"/*.bmp; do [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"; done
  echo "demo: screenshots in $shots:"
  ls "$shots"
fi
