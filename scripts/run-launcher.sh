#!/usr/bin/env bash
# Starts the launcher in a folder (its current directory is where terrain.ini and Quellmark.exe
# live). Usage: run-launcher.sh DIR. SANDREL (default build/bin/sandrel) names the program.
set -euo pipefail
dir=${1:?usage: run-launcher.sh DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
program=${SANDREL:-$root/build/bin/sandrel}
case "$program" in /*) ;; *) program=$PWD/$program ;; esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
run-launcher.sh: the launcher shows a window and needs a graphical display, but $DISPLAY is not set.
Without a desktop, run it on a virtual display with Xvfb:
    xvfb-run -a make run
or start one and point DISPLAY at it:
    Xvfb :99 & DISPLAY=:99 make run
MSG
  exit 2
fi
[ -x "$program" ] || { echo "run-launcher.sh: $program is not built yet (make build)" >&2; exit 1; }
[ -d "$dir" ] || { echo "run-launcher.sh: no folder $dir (make demo makes build/demo)" >&2; exit 1; }
cd "$dir"
exec "$program"
