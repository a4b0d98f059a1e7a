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
export GTEST_OUTPUT="xml:$(pwd)/$results/"
start_session
trap stop_session EXIT
status=0
ctest --test-dir "$test_build" --output-on-failure || status=$?
stop_session
trap - EXIT
scripts/summarize-tests.sh "$results" "$(( $(date +%s) - started ))" || status=1
exit $status
