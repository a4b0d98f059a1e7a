#!/usr/bin/env bash
# A benchmark, not a test: times the wizard's start-up against a bare Win32 program of the same build
# and its installation phase against msiexec on the same packages, under Wine and Xvfb with a warm
# wineserver, and prints one table (ours, the reference, the ratio, the goal) and the exe's size;
# also a sealed wizard's and a bundle's start-up and the staging of a 300 MB setup program from an
# unsealed folder, a sealed one and a bundle.
# A start-up run takes a tenth of a second and varies by a few tens of per cent with the machine, so
# the default takes the median of 21. Usage: scripts/bench.sh [start-up runs (21)] [installation runs (5)] [-v: every run's time]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
scripts/setup.sh
scripts/build.sh
. scripts/session.sh
. scripts/test-build-dir.sh
# The shipped exe where 32-bit programs run, else the test build's; the bare program of the same build.
if [ "$(test_arch)" = i686 ]; then measured=$here/build; else measured=$test_build; fi
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
# The large setup program of the staging rows: the stub with 300 MB after it (the program still runs).
big=$test_build/fixtures/big-setup.exe
if [ ! -f "$big" ]; then
  cp "$test_build/fixtures/setup-stub.exe" "$big.tmp" && head -c 300000000 /dev/zero >>"$big.tmp" && mv "$big.tmp" "$big"
fi
start_session
trap stop_session EXIT
scripts/wine-run.sh "$test_build/tarnwick-bench.exe" "$(windows_path "$measured/TarnwickSetup.exe")" \
  "$(windows_path "$measured/bench-window.exe")" "$(windows_path "$test_build/fixtures")" \
  "${1:-21}" "${2:-5}" "${3:-}" | tr -d '\r'
