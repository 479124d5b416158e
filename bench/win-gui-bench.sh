#!/usr/bin/env bash
# Times Sandrel.exe's start under Wine against the system's own property sheet over the same four
# dialogs and against an empty dialog: started in turn on one Xvfb and one warm wineserver, each
# until its window is mapped and drawn, each stripped as the zip ships Sandrel.exe. Prints the
# medians and the ratios, then the DLLs each program has loaded once its window is up. A
# benchmark, run by hand.
# Usage: bench/win-gui-bench.sh [RUNS] [LABEL=PATH.exe ...]
#   RUNS >= 10, default 20; the launchers default to Sandrel.exe=build/win64/Sandrel.exe. Give two
#   (before=old/Sandrel.exe after=build/win64/Sandrel.exe) to compare builds in one series.
# Needs the win64 preset built (make win) and the ci preset's bench_wine_start and demo tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${SANDREL_BIN_DIR:-$root/build/bin}
win=$root/build/win64
runs=20
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  runs=$1
  shift
fi
launchers=("$@")
[ ${#launchers[@]} -gt 0 ] || launchers=("Sandrel.exe=$win/Sandrel.exe")

need() { [ -e "$1" ] || { echo "win-gui-bench.sh: $1 is not built ($2)" >&2; exit 1; }; }
need "$bin/bench_wine_start" "cmake --build --preset ci"
need "$win/bench/bench_system_sheet.exe" "make win"
need "$win/bench/bench_empty_dialog.exe" "make win"
for l in "${launchers[@]}"; do
  [[ $l == *=* ]] || { echo "win-gui-bench.sh: '$l' is not LABEL=PATH" >&2; exit 2; }
  need "${l#*=}" "make win"
done
for tool in wine wineserver Xvfb xdotool x86_64-w64-mingw32-strip; do
  command -v "$tool" >/dev/null || { echo "win-gui-bench.sh: $tool is not installed (make win)" >&2; exit 1; }
done

work=$(mktemp -d)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>/dev/null &
xvfb=$!
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${SANDREL_BENCH_WINEPREFIX:-$root/build/win64-wine/bench}
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill $xvfb 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"

# Each program as it is shipped: without the debugging sections of the static C++ library, which
# the loader would otherwise read in too.
programs=$work/programs
strip_copy() { # label exe -> the copy's path
  mkdir -p "$programs/$1"
  x86_64-w64-mingw32-strip -o "$programs/$1/$(basename "$2")" "$2"
  echo "$programs/$1/$(basename "$2")"
}
for i in "${!launchers[@]}"; do
  l=${launchers[$i]}
  launchers[$i]="${l%%=*}=$(strip_copy "${l%%=*}" "${l#*=}")"
done
sheet=$(strip_copy system_sheet "$win/bench/bench_system_sheet.exe")
empty=$(strip_copy empty_dialog "$win/bench/bench_empty_dialog.exe")

# One prefix kept between runs of the bench, and one wineserver for the whole series: every
# program meets Wine as warm as the first round leaves it. A server left from before would still
# serve its own display.
mkdir -p "$(dirname "$WINEPREFIX")"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
wineserver -p
"$root/scripts/make-demo.sh" "$work/demo" >/dev/null

args=()
for l in "${launchers[@]}"; do args+=(--launcher "$l"); done
"$bin/bench_wine_start" --folder "$work/demo" --sheet "$sheet" --empty "$empty" --runs "$runs" "${args[@]}"

# What each program has loaded by the time its window is up, in the order it loaded it.
loaded() { # label exe
  local log=$work/loaddll.log pid
  (cd "$work/demo" && exec env WINEDEBUG=+loaddll,+pid wine "$2" 2>"$log") &
  pid=$!
  xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1 || true
  sleep 0.5
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  local name wpid
  name=$(basename "$2")
  wpid=$(grep -m1 -F "\\\\$name\"" "$log" | cut -d: -f1)
  printf '%s: ' "$1"
  grep "^$wpid:.*Loaded L\"" "$log" | sed 's/.*Loaded L"\([^"]*\)".*/\1/; s/.*\\\\//' | tr '\n' ' '
  echo
}
echo "== DLLs loaded by the time the window is up"
for l in "${launchers[@]}"; do loaded "${l%%=*}" "${l#*=}"; done
loaded system_sheet "$sheet"
loaded empty_dialog "$empty"
