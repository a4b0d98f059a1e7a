#!/usr/bin/env bash
# Sets up what is missing, builds, assembles a demo distribution (the wizard, an INI with four
# components, demo packages built with wixl and a demo setup program) in build/demo/ and runs it:
# on your display when there is one, otherwise as a headless walk-through under Xvfb that installs
# into the demo's Wine prefix, saves a screenshot of every page and prints what happened.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
scripts/setup.sh
scripts/build.sh
. scripts/session.sh
. scripts/test-build-dir.sh

demo=$(pwd)/build/demo
rm -rf "$demo" && mkdir -p "$demo/dist"
fixtures=$test_build/fixtures
cp "$test_build/TarnwickSetup.exe" "$demo/dist/"
cp "$fixtures/alpha.msi" "$demo/dist/TarnwickCore.msi"
cp "$fixtures/beta.msi" "$demo/dist/TarnwickCharts.msi"
cp "$fixtures/setup-stub.exe" "$demo/dist/SamplesSetup.exe"
cat > "$demo/dist/TarnwickSetup.INI" <<'INI'
[Core]
ComponentDescription=Tarnwick Core Library
Version=1.0
Size=1250
FileName=TarnwickCore.msi
Required=1
ComponentImageIndex=1
ColProdID=12

[Charts]
ComponentDescription=Tarnwick Charting Components
Version=2.4.1
Size=2500
FileName=TarnwickCharts.msi
ComponentImageIndex=0
ColProdID=40

[Samples]
ComponentDescription=Tarnwick Samples
Version=2.4
Size=830
FileName=SamplesSetup.exe
FileIsExe=1
SetupFileSubFolder=1
ComponentImageIndex=0
ColProdID=7

[Docs]
ComponentDescription=Tarnwick Documentation
Version=2.4
Size=4100.5
FileName=TarnwickDocs.msi
ComponentImageIndex=1
INI
# Forget what an earlier demo installed, so that this run installs afresh.
rm -rf "$WINEPREFIX/drive_c/Program Files/Tarnwick" "$WINEPREFIX/drive_c/TarnwickDemo"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  export TARNWICK_USE_DISPLAY=1
  start_session
  trap stop_session EXIT
  echo "demo: running the wizard on $DISPLAY from $demo/dist"
  code=0
  (cd "$demo/dist" && ../../../scripts/wine-run.sh TarnwickSetup.exe) || code=$?
  echo "demo: the wizard ended with exit code $code (a Unix parent sees only its low 8 bits)"
else
  start_session
  trap stop_session EXIT
  echo "demo: no display; walking through the wizard headless under Xvfb"
  shots=$(pwd)/build/screenshots/demo
  rm -rf "$shots" && mkdir -p "$shots"
  scripts/wine-run.sh "$test_build/tests/e2e/demo_walkthrough.exe" "Z:$demo/dist" "Z:$shots"
  for bmp in "$shots"/*.bmp; do [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"; done
  echo "demo: screenshots in $shots:"
  ls "$shots"
fi
