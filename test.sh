#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test (unit tests and end-to-end tests under Wine).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
started=$(date +%s)
scripts/setup.sh
scripts/build.sh
. scripts/session.sh
. scripts/test-build-dir.sh
results=build/test-results
rm -rf "$results" && mkdir -p "$results"
# The test programs run under Wine, where the Unix root is drive Z:.
export GTEST_OUTPUT="xml:Z:$(pwd)/$results/"
rm -rf build/screenshots
status=0
# The fuzz targets are native programs: a short turn each with a fixed seed, before the Wine session.
scripts/fuzz.sh 50000 "$results/fuzz.xml" || status=1
start_session
trap stop_session EXIT
# Two at a time: the Wine tests take turns (RESOURCE_LOCK), the rebuild for the reproducibility check runs beside them.
ctest --test-dir "$test_build" --output-on-failure -j2 || status=$?
stop_session
trap - EXIT
for bmp in build/screenshots/*.bmp build/screenshots/*/*.bmp; do
  [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
scripts/summarize-tests.sh "$results" "$(( $(date +%s) - started ))" "$(test_path)" || status=1
exit $status
