#!/usr/bin/env bash
# Times the launcher's start against the bare wx dialog on one Xvfb (-noreset), interleaved.
# Usage: bench/gui-bench.sh [RUNS]   (after building the ci preset; RUNS >= 10, default 12)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${SANDREL_BIN_DIR:-$root/build/bin}
runs=${1:-12}
for p in sandrel bench_bare_dialog bench_gui_start; do
  [ -x "$bin/$p" ] || { echo "gui-bench.sh: $bin/$p is not built (cmake --build --preset ci)" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "gui-bench.sh: Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
display=":$(head -n1 "$work/display")"

"$root/scripts/make-demo.sh" "$work/demo" >/dev/null
DISPLAY=$display NO_AT_BRIDGE=1 "$bin/bench_gui_start" --launcher "$bin/sandrel" --bare "$bin/bench_bare_dialog" \
  --folder "$work/demo" --runs "$runs"
