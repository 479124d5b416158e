#!/usr/bin/env bash
# Runs every fuzz target for a short, bounded time over its seed corpus.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS]
set -euo pipefail
dir=${1:?build dir}
secs=${2:-${FUZZ_SECONDS:-20}}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
ran=0
for target in "$dir"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds="$root/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "== $name (${secs}s)"
  "$target" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 \
    | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  [ "$status" -eq 0 ] || { echo "$name failed" >&2; exit 1; }
  ran=$((ran + 1))
done
echo "fuzz: $ran targets ran, $ran passed, 0 failed"
