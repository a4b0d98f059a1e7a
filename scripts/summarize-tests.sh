#!/usr/bin/env bash
# Adds up the GoogleTest XML reports of one run and prints the counts per binary and in all, and
# the test path this machine took (see scripts/wine-loader.sh).
results=$1 seconds=$2 path=${3:-}
total=0 failed=0 skipped=0
for f in "$results"/*.xml; do
  [ -f "$f" ] || continue
  header=$(grep -m1 '<testsuites ' "$f")
  t=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<<"$header")
  fl=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<<"$header")
  s=$(grep -c '<skipped' "$f")
  t=${t:-0} fl=${fl:-0}
  printf '%-12s %4d tests, %d failed, %d skipped\n' "$(basename "$f" .xml)" "$t" "$fl" "$s"
  total=$((total + t)) failed=$((failed + fl)) skipped=$((skipped + s))
done
echo "test time: ${seconds}s"
[ -n "$path" ] && echo "test path: $path"
echo "$((total - failed - skipped)) passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$total" -gt 0 ]
