#!/usr/bin/env bash
# Runs the benchmarks of the ci build: settings and bitmap (Google Benchmark), then the window's
# start time against a bare dialog on a private Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
for b in bench_settings bench_bitmap; do
  [ -x "$bin/$b" ] || { echo "run-benchmarks.sh: $bin/$b is missing; run 'make build' first" >&2; exit 1; }
  echo "== $b"
  (cd "$(mktemp -d)" && "$bin/$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
done
echo "== start to window"
"$root/bench/gui-bench.sh"
