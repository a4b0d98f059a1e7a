#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz natively with clang into build/fuzz and runs each one for
# [runs] runs (default 10 million) from its seed corpus, with a fixed seed so that a run can be
# repeated. Prints runs, coverage (libFuzzer's cov and ft) and crashes per target; a crash, a leak,
# a hang or a broken property fails. With a second argument, also writes the outcome there as a
# GoogleTest-style XML report (for scripts/summarize-tests.sh).
#
# Seeds: tests/fuzz/seeds/<target>.txt, one input a line with printf %b escapes (\t, \\, \xHH); the
# message-field target also gets every message text of the recorded installer trace.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-10000000}
report=${2:-}
build=$here/build/fuzz
trace=$here/tests/unit/data/alpha-install.trace

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$here/tests/fuzz" -B "$build" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" 2>&1 | { grep -vE '^\[ *[0-9]+%\]' || true; }

seed_corpus() {  # target, folder
  local n=0 line
  while IFS= read -r line; do
    printf '%b' "$line" >"$2/seed-$((n++))"
  done <"$here/tests/fuzz/seeds/$1.txt"
  if [ "$1" = MessageFields_fuzz ]; then
    # Action start, action data, progress and common data, as the trace file escapes them.
    grep -E $'^0[89AB]000000\t' "$trace" | cut -f2- | sort -u | while IFS= read -r line; do
      printf '%b' "$line" >"$2/trace-$((n++))"
    done
  fi
}

# A smaller quarantine than the address sanitizer's 256 MB keeps the memory of these short runs warm
# (half again as fast); a freed text is still caught long after any use of it here.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
# Compared pointers steer the mutations: without address randomisation the same seed gives the same run
# (in the same folder and environment, whose size moves the stack).
norandom=(setarch "$(uname -m)" -R)
"${norandom[@]}" true 2>/dev/null || norandom=()

failed=0 cases=""
for source in "$here"/tests/fuzz/*_fuzz.cpp; do
  target=$(basename "$source" .cpp)
  corpus=$build/corpus/$target crashes=$build/crashes log=$build/$target.log
  rm -rf "$corpus" "$crashes/$target-"* && mkdir -p "$corpus" "$crashes"
  seed_corpus "$target" "$corpus"
  started=$(date +%s)
  rc=0
  "${norandom[@]}" "$build/$target" -seed=1 -runs="$runs" -reload=0 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$crashes/$target-" "$corpus" >"$log" 2>&1 || rc=$?
  done_runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  stats=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
  found=$(find "$crashes" -name "$target-*" | wc -l)
  printf 'fuzz %-20s %10s runs  cov %5s  ft %6s  %d crashes  %ds\n' "$target" "${done_runs:-?}" \
    "${cov:-?}" "${ft:-?}" "$found" "$(($(date +%s) - started))"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=$((failed + 1))
    cases+="    <testcase name=\"$target\"><failure message=\"exit code $rc, $found crashes\"/></testcase>"$'\n'
    # The sanitizer's or the property's report, our frames of the stack, and where the input was kept.
    grep -E 'property broken|ERROR:|SUMMARY:|Test unit written|^ +#[0-9]+ .*(/src/|/tests/fuzz/)' "$log" |
      head -n 20 >&2 || true
    echo "fuzz: $target failed (log: $log); repeat with: $build/$target <input>" >&2
  else
    cases+="    <testcase name=\"$target\"/>"$'\n'
  fi
done

if [ -n "$report" ]; then
  count=$(ls "$here"/tests/fuzz/*_fuzz.cpp | wc -l)
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="%d" failures="%d" name="fuzz">\n  <testsuite name="fuzz" tests="%d" failures="%d">\n%s  </testsuite>\n</testsuites>\n' \
    "$count" "$failed" "$count" "$failed" "$cases" >"$report"
fi
[ "$failed" -eq 0 ]
