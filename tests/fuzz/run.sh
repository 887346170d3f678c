#!/usr/bin/env bash
# Runs each fuzz target for a bounded time on its seed corpus (copied, so the
# checked-in corpus stays as it is) and prints the summary line.
#   tests/fuzz/run.sh BUILD_DIR SECONDS
set -u
build=${1:-build/fuzz}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
passed=0; failed=0
for pair in "fuzz_cti_event cti" "fuzz_cti_framing framing" "fuzz_crm_url crm" "fuzz_normalize_number number" "fuzz_login_answer login" "fuzz_profile_lists profiles"; do
  set -- $pair
  target=$build/tests/fuzz/$1
  work=$(mktemp -d)
  cp "$here/corpus/$2"/* "$work/" 2>/dev/null
  if "$target" "$work" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 \
       -artifact_prefix="$build/tests/fuzz/$1-" >"$build/tests/fuzz/$1.log" 2>&1; then
    passed=$((passed + 1)); echo "PASS $1"
    tail -1 "$build/tests/fuzz/$1.log"
  else
    failed=$((failed + 1)); echo "FAIL $1: see $build/tests/fuzz/$1.log"; tail -30 "$build/tests/fuzz/$1.log"
  fi
  rm -rf "$work"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
