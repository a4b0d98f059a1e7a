#!/usr/bin/env bash
# Assembles the demo distribution (the wizard, an INI with four components, demo packages built with
# wixl and a demo setup program) in a folder; demo.sh runs it, the tests check it with TarnwickCheck.
# Arguments: the build whose wizard and fixtures to take, the folder to create (emptied).
set -euo pipefail
build=$1 dist=$2
rm -rf "$dist" && mkdir -p "$dist"
cp "$build/TarnwickSetup.exe" "$dist/"
cp "$build/fixtures/alpha.msi" "$dist/TarnwickCore.msi"
cp "$build/fixtures/beta.msi" "$dist/TarnwickCharts.msi"
cp "$build/fixtures/docs.msi" "$dist/TarnwickDocs.msi"
cp "$build/fixtures/setup-stub.exe" "$dist/SamplesSetup.exe"
cat > "$dist/TarnwickSetup.INI" <<'INI'
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
