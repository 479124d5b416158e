#!/usr/bin/env bash
# The Windows stage of `make test`: cross-builds the win64 preset (Sandrel.exe, the stand-in
# Quellmark.exe and the Windows test programs, all in build/win64) and the Linux program the
# Wine-engine check runs, then hands everything to CTest, which runs it under Wine
# (`ctest --preset win64`: unit and headless tests without a display, the native backend and the
# real program under Xvfb, the Linux launcher with the Windows engine, the sheet at 144 and
# 192 DPI). Each stage has a fresh Wine prefix of its own under build/win64-wine/; screenshots go
# to build/screenshots/win64/ and build/screenshots/win64-dpi/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
JOBS=${JOBS:-$(nproc)}
started=$(date +%s)

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$JOBS"
# The help file the Windows folders get, and the Linux launcher that starts the Windows engine.
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$JOBS" --target sandrel quellmark_standin make_sample_data sandrel_help >/dev/null

status=0
ctest --preset win64 -j "$JOBS" || status=$?
echo "[test-win] screenshots: build/screenshots/win64, build/screenshots/win64-dpi"
echo "[test-win] Windows stage took $(($(date +%s) - started))s"
exit "$status"
