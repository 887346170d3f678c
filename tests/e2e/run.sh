#!/usr/bin/env bash
# Runs every end-to-end test (t_*.sh) one after the other, each in its own
# Wine prefix and X display, and prints the summary line.
#   tests/e2e/run.sh [NAME-FILTER]
set -u
here=$(cd "$(dirname "$0")" && pwd)
filter=${1:-}
passed=0; failed=0; failures=()
for t in "$here"/t_*.sh; do
  name=$(basename "$t" .sh)
  [ -n "$filter" ] && [[ "$name" != *"$filter"* ]] && continue
  start=$SECONDS
  if timeout 600 bash "$t"; then
    passed=$((passed + 1)); echo "PASS $name ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1)); failures+=("$name"); echo "FAIL $name ($((SECONDS - start)) s)"
  fi
done
[ "$failed" -gt 0 ] && echo "failed: ${failures[*]}"
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
