#!/usr/bin/env bash
# Prepares a demo folder for the launcher: the launcher itself (once built), the stand-in
# engine as Quellmark.exe, the help file and generated sample bitmaps. An existing
# terrain.ini in the folder is left as it is, so settings survive a rebuild.
# Usage: make-demo.sh DIR
# SANDREL_BIN_DIR (default build/bin) and SANDREL_CHM (default build/ci/Sandrel.chm) say
# where the build put its outputs.
set -euo pipefail
dir=${1:?usage: make-demo.sh DIR}
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${SANDREL_BIN_DIR:-$root/build/bin}
chm=${SANDREL_CHM:-$root/build/ci/Sandrel.chm}

need() {
  [ -e "$1" ] || { echo "make-demo.sh: $1 is missing; build first (cmake --preset ci && cmake --build --preset ci)" >&2; exit 1; }
}
need "$bin/Quellmark.exe"
need "$bin/make-sample-data"
need "$chm"

mkdir -p "$dir"
install -m 755 "$bin/Quellmark.exe" "$dir/Quellmark.exe"
if [ -x "$bin/sandrel" ]; then
  install -m 755 "$bin/sandrel" "$dir/sandrel"
else
  echo "make-demo.sh: note: $bin/sandrel is not built yet; the folder has everything else" >&2
fi
cp "$chm" "$dir/Sandrel.chm"
"$bin/make-sample-data" "$dir"
echo "demo folder ready: $dir"
