#!/usr/bin/env bash
# Every benchmark, one after the other; each prints its figures.
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
for b in "$build"/bench/bench/*/bench_*; do
  [ -x "$b" ] && { echo "== $(basename "$b")"; "$b"; }
done
for s in "$here"/wine_*.sh; do
  echo "== $(basename "$s" .sh)"
  bash "$s"
done
