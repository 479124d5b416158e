#!/usr/bin/env bash
# The Windows stage of `make test`: cross-builds the win64 preset (Sandrel.exe, the stand-in
# Quellmark.exe and the Windows test programs, all in build/win64), runs the unit and headless
# tests under Wine without a display, then the native backend's tests and the real program
# under Xvfb, driven by keys and read back through its own windows, and what it loads at start
# and on the first "...". Screenshots of the four tabs go to build/screenshots/win64/.
#
# Each stage has a fresh Wine prefix of its own under build/win64-wine/: a run without a
# display leaves a desktop process behind that would make the next program's windows fail
# silently, and Wine's winediag errors are kept visible so that such a failure shows.
#
# Then the Linux launcher with the Windows stand-in engine under Wine.
#
# Last, the sheet at 144 and 192 DPI (each a prefix of its own with that LogPixels): the native
# check that every text fits its control and the buttons lie inside the sheet, and screenshots
# of the four tabs in build/screenshots/win64-dpi/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
JOBS=${JOBS:-$(nproc)}
out=$root/build/win64
shots=$root/build/screenshots/win64
wine_root=$root/build/win64-wine
started=$(date +%s)

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$JOBS"

export WINEARCH=win64
export WINEDEBUG=-all,err+winediag
# No Mono or Gecko download prompts in a fresh prefix: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
passed=0
failed=0
failures=()

note() { printf '[test-win] %s\n' "$*"; }
ok() { passed=$((passed + 1)); note "ok: $*"; }
fail() { failed=$((failed + 1)); failures+=("$*"); note "FAILED: $*"; }

fresh_prefix() {
  export WINEPREFIX=$wine_root/$1
  rm -rf "$WINEPREFIX"
  mkdir -p "$wine_root"
  wineboot -i >/dev/null 2>&1 || true
}

end_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# The tests of other areas that assert Linux rules, or need what Windows lacks:
#   LF line ends (Windows writes CR LF: checked by WindowsSettingsFile), fork() and user
#   switching, named pipes, Linux paths and the absence of short names (Windows rules:
#   WindowsChooser), and glibc's strtod reading hexadecimal and "inf" (msvcrt's atof, like the
#   engine's, reads neither).
declare -A skip=(
  [win_settings_tests]='SettingsWriter.*:Golden/SettingsReaderCase.MatchesItsExpectedOutcome/infinity:Golden/SettingsReaderCase.MatchesItsExpectedOutcome/numeric_prefixes'
  [win_bitmap_tests]='Chooser.BareNameOnlyForAFileDirectlyInTheCurrentDirectory:Chooser.ACurrentDirectoryTooLongForTheBufferCountsAsOutside:LoadBitmapFile.NamesThatGiveNoFile'
  [win_page_tests]='GeneralPage.BrowseWritesTheBareNameForAFileHereAndAFullPathOtherwise'
  [win_app_tests]='Launcher.UnwritableTerrainIniKeepsTheSheetOpenUntilSavedOrCancelled:Launcher.ValuesReachTheFileThroughThePageFieldsOnly:Launcher.WithoutAnEngineTheFileIsWrittenAndTheUserTold:Launcher.WithoutTerrainIniTheDefaultsAreShownAndOkWritesThemAndStartsTheEngine'
)

run_gtest() { # name [wine args...]
  local name=$1 filter=${skip[$1]:-}
  local args=(--gtest_brief=1)
  [ -n "$filter" ] && args+=("--gtest_filter=-$filter")
  local log=$wine_root/$name.log
  if (cd "$out/tests" && timeout 600 wine "$name.exe" "${args[@]}") >"$log" 2>&1; then
    ok "$name: $(grep -E '^\[  PASSED  \]' "$log" | tail -1)"
  else
    fail "$name"
    cat "$log"
  fi
  if grep -q 'err:winediag' "$log"; then grep 'err:winediag' "$log"; fi
}

# ---- Stage 1: unit and headless tests, no display.
unset DISPLAY
fresh_prefix headless
for t in win_framework_tests win_settings_tests win_bitmap_tests win_page_tests win_app_tests; do
  run_gtest "$t"
done
end_prefix

# ---- Stage 2: on a virtual display.
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fresh_prefix gui
# Wine draws the windows' frames itself (there is no window manager on Xvfb), so the
# screenshots show the captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

run_gtest win_backend_tests

wintext() { (cd "$out/tests" && wine wintext.exe "$@" 2>/dev/null) | tr -d '\r'; }

# Waits until a visible window of this title exists; fails after a while.
wait_window() {
  local title=$1 tries=${2:-150}
  for _ in $(seq "$tries"); do
    wintext "$title" | grep -q "^window $title\$" && return 0
    sleep 0.2
  done
  return 1
}

# The screen rectangle's centre of a control of the window: "x y".
centre_of() { # title id
  wintext "$1" | awk -v id="$2" '$2 == id { print int(($3 + $5) / 2), int(($4 + $6) / 2); exit }'
}

text_of() { # title id
  wintext "$1" | awk -v id="$2" '$2 == id { $1 = $2 = $3 = $4 = $5 = $6 = ""; sub(/^ +/, ""); print; exit }'
}

xwindow() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }

key() { # title keys...
  local w
  w=$(xwindow "$1")
  shift
  [ -n "$w" ] && xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key --delay 80 "$@"
  sleep 0.4
}

click() { # title id
  local at
  at=$(centre_of "$1" "$2")
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
  sleep 0.3
}

shoot() { import -window root "$shots/$1.png" 2>/dev/null || xwd -root -silent | convert xwd:- "$shots/$1.png"; }

wait_gone() { # pid
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}

# A folder as a user has it: the launcher, the engine, the help file and bitmaps.
make_folder() { # dir
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$out/Sandrel.exe" "$out/Quellmark.exe" "$dir/"
  [ -f "$root/build/ci/Sandrel.chm" ] && cp "$root/build/ci/Sandrel.chm" "$dir/"
  python3 - "$dir" <<'EOF'
import struct, sys
def bmp(path, w, h, bits):
    row = ((w * bits + 31) // 32) * 4
    table = b''.join(struct.pack('<4B', i, i, i, 0) for i in range(256)) if bits == 8 else b''
    off = 54 + len(table)
    pixels = bytearray()
    for y in range(h):
        if bits == 8:
            line = bytes((x * 255 // max(1, w - 1)) for x in range(w))
        else:
            line = b''.join(bytes((x % 256, y % 256, 128)) for x in range(w))
        pixels += line + b'\0' * (row - len(line))
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', off + len(pixels), 0, 0, off))
        f.write(struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(pixels), 2835, 2835, 0, 0))
        f.write(table + pixels)
bmp(sys.argv[1] + '/257x257.bmp', 257, 257, 8)
bmp(sys.argv[1] + '/G.bmp', 256, 256, 24)
EOF
}

launch() { # dir [extra env...]
  local dir=$1
  shift
  (cd "$dir" && exec env "$@" wine Sandrel.exe >"$dir/wine.log" 2>&1) &
  echo $!
}

mkdir -p "$shots"
e2e=$root/build/win64-e2e

# Enter writes terrain.ini with CR LF line ends and starts the Windows stand-in engine; the
# tabs are photographed on the way, and a key edit upper-cases what is typed.
scenario_enter() {
  local dir=$e2e/enter pid
  make_folder "$dir"
  pid=$(launch "$dir")
  wait_window Sandrel || { fail "enter: the sheet did not open"; cat "$dir/wine.log"; return; }
  sleep 1
  shoot 1-general
  key Sandrel ctrl+Tab; shoot 2-texture
  key Sandrel ctrl+Tab; shoot 3-opengl
  key Sandrel ctrl+Tab; shoot 4-controls
  click Sandrel 1009 || true
  key Sandrel End BackSpace q
  local typed
  typed=$(text_of Sandrel 1009)
  [ "$typed" = "Q" ] && ok "a key edit upper-cases: q gives Q" || fail "key edit shows '$typed', not Q"
  key Sandrel Return
  wait_gone "$pid" || fail "enter: the launcher did not end"
  if [ -f "$dir/terrain.ini" ]; then
    local lines crlf
    lines=$(wc -l <"$dir/terrain.ini")
    crlf=$(grep -c $'\r$' "$dir/terrain.ini" || true)
    [ "$lines" = 40 ] && [ "$crlf" = 40 ] && ok "Enter wrote terrain.ini: 40 lines, all CR LF" \
      || fail "terrain.ini has $lines lines, $crlf with CR LF"
    grep -q $'^STRAFE_LEFT = Q\r$' "$dir/terrain.ini" && ok "the typed key reached terrain.ini" \
      || fail "STRAFE_LEFT is not Q in terrain.ini"
  else
    fail "Enter wrote no terrain.ini"
  fi
  for _ in $(seq 50); do [ -f "$dir/quellmark-run.log" ] && break; sleep 0.2; done
  if grep -q '^argc=1$' "$dir/quellmark-run.log" 2>/dev/null && grep -q '^terrain.ini=.* bytes$' "$dir/quellmark-run.log"; then
    ok "the stand-in Quellmark.exe started in the folder, without arguments, after terrain.ini was written"
  else
    fail "Quellmark.exe did not start (or not as expected)"
  fi
}

# Escape closes the sheet and writes nothing, starts nothing.
scenario_escape() {
  local dir=$e2e/escape pid
  make_folder "$dir"
  printf 'WIDTH = 1024\nHEIGHT = 768\n' >"$dir/terrain.ini"
  cp "$dir/terrain.ini" "$dir/terrain.before"
  pid=$(launch "$dir")
  wait_window Sandrel || { fail "escape: the sheet did not open"; return; }
  sleep 0.5
  [ "$(text_of Sandrel 1001)" = 1024 ] && ok "the sheet shows terrain.ini's values" || fail "width edit is not 1024"
  key Sandrel Escape
  wait_gone "$pid" || fail "escape: the launcher did not end"
  cmp -s "$dir/terrain.ini" "$dir/terrain.before" && [ ! -e "$dir/quellmark-run.log" ] \
    && ok "Escape changed nothing and started nothing" || fail "Escape changed terrain.ini or started the engine"
}

# A map of the wrong shape is answered with the page's message (caption Sandrel) and the
# fallback picture.
scenario_wrong_shape() {
  local dir=$e2e/wrong-shape pid
  make_folder "$dir"
  printf 'MAP_NAME = G.bmp\n' >"$dir/terrain.ini"
  pid=$(launch "$dir")
  wait_window Sandrel || { fail "wrong shape: nothing opened"; return; }
  sleep 0.5
  local shown
  shown=$(wintext Sandrel)
  if grep -q 'map has to be 8 bit grayscale, square and of size 2\*\*n+1' <<<"$shown"; then
    ok "a wrong-shaped map gives its message in a box captioned Sandrel"
    shoot 5-wrong-shape-message
  else
    fail "no wrong-shape message; windows: $shown"
  fi
  key Sandrel Return # confirms the message
  sleep 1
  shoot 6-fallback
  key Sandrel Escape
  wait_gone "$pid" || fail "wrong shape: the launcher did not end"
}

# The first screen loads only what it shows: the file dialog's comdlg32 (which brings the shell's
# libraries) and the screen readers' oleacc and oleaut32 wait for "..." and for a screen reader,
# and then come from the system folder, though files of their names lie beside the program. With
# comdlg32 missing, "..." says so in the chooser's box and the name stays as it was.
scenario_libraries() {
  local dir=$e2e/libraries pid log wpid early
  make_folder "$dir"
  for dll in comdlg32 oleacc oleaut32; do printf 'not a library' >"$dir/$dll.dll"; done
  pid=$(launch "$dir" WINEDEBUG=-all,err+winediag,+loaddll,+pid)
  wait_window Sandrel || { fail "libraries: the sheet did not open"; cat "$dir/wine.log"; return; }
  sleep 1
  log=$dir/wine.log
  wpid=$(grep -m1 -F '\Sandrel.exe"' "$log" | cut -d: -f1)
  sandrel_dlls() { grep "^$wpid:.*Loaded L\"" "$log" | sed 's/.*Loaded L"\([^"]*\)".*/\1/' | tr 'A-Z' 'a-z'; }
  early=$(sandrel_dlls | grep -E '\\(comdlg32|shell32|oleacc|oleaut32)\.dll$' || true)
  [ -z "$early" ] && ok "the first screen loads neither comdlg32 nor the shell, oleacc or oleaut32" \
    || fail "loaded at start: $early"
  click Sandrel 1004
  if wait_window Open 50; then
    sandrel_dlls | grep -qx 'c:\\\\windows\\\\system32\\\\comdlg32.dll' \
      && ok "\"...\" opens the file dialog with comdlg32 from the system folder, beside a stray comdlg32.dll" \
      || fail "the file dialog's comdlg32 did not come from the system folder: $(sandrel_dlls | grep comdlg32)"
    key Open Escape
  else
    fail "\"...\" opened no file dialog"
  fi
  key Sandrel Escape
  wait_gone "$pid" || fail "libraries: the launcher did not end"

  pid=$(launch "$dir" "WINEDLLOVERRIDES=mscoree,mshtml=;comdlg32=d")
  wait_window Sandrel || { fail "libraries: the sheet did not open without comdlg32"; return; }
  sleep 0.5
  click Sandrel 1004
  sleep 1
  if wintext Sandrel | grep -q "the file dialog can't be shown: comdlg32.dll: "; then
    ok "without comdlg32, \"...\" says so: $(wintext Sandrel | grep -o "the file dialog can't be shown: .*")"
    shoot 7-no-file-dialog
  else
    fail "without comdlg32, \"...\" said nothing; windows: $(wintext Sandrel)"
  fi
  key Sandrel Return
  [ "$(text_of Sandrel 1014)" = 257x257.bmp ] && ok "the map's name stayed as it was" \
    || fail "the map's name is now '$(text_of Sandrel 1014)'"
  key Sandrel Escape
  wait_gone "$pid" || fail "libraries: the launcher did not end without comdlg32"
}

# F1 asks the platform's help viewer for the topic; Wine's viewer shows no content, so the call
# itself is checked, as hhctrl.ocx traces it (HtmlHelpA passes it on to HtmlHelpW unchanged):
# no owner, the help file by its full path with its topic, HH_DISPLAY_TOPIC, data 0.
# Presses F1 on the sheet and looks in the program's htmlhelp trace (log) for the call that shows
# the welcome topic of the help file chm (as the trace escapes it), followed by tail.
expect_help_call() {
  local log=$1 chm=$2 tail=$3 what=$4
  sleep 0.5
  key Sandrel F1
  sleep 2
  if grep -qF "HtmlHelpW (0000000000000000, L\"$chm::/welcome.htm\", command=HH_DISPLAY_TOPIC$tail" "$log"; then
    ok "$what"
  else
    fail "$what: no such call in the trace"
    grep -i htmlhelp "$log" | head -5 || true
  fi
}

# The folder also holds a file named like the help library, as a downloads folder might: the
# program loads the system's own.
scenario_help() {
  local dir=$e2e/help pid
  make_folder "$dir"
  printf 'not a library' >"$dir/hhctrl.ocx"
  pid=$(launch "$dir" WINEDEBUG=-all,err+winediag,trace+htmlhelp)
  wait_window Sandrel || { fail "help: the sheet did not open"; return; }
  expect_help_call "$dir/wine.log" "$(winepath -w "$dir/Sandrel.chm" 2>/dev/null | sed 's/\\/\\\\/g')" ', data=0)' \
    "F1 calls the system's HtmlHelpA with the full path of Sandrel.chm::/welcome.htm, beside a stray hhctrl.ocx"
  wineserver -k >/dev/null 2>&1 || true
  wait_gone "$pid" || true
}

# The zip as a user unpacks it into the engine's folder (after `make package`; `make test` makes
# it first): Enter writes terrain.ini and starts the engine. Then Sandrel.exe is started from
# another folder, which has no help file: F1 hands HtmlHelpA the one beside the program, by its
# full path.
scenario_zip() {
  local version zip dir=$e2e/zip other=$e2e/zip-elsewhere pid
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/win64-build/CMakeCache.txt")
  zip=$root/build/packages/Sandrel-$version-win64.zip
  if [ ! -f "$zip" ]; then
    note "skipped: the zip (no $zip; make package makes it)"
    return
  fi
  make_folder "$dir"
  rm -f "$dir/Sandrel.exe" "$dir/Sandrel.chm"
  python3 -m zipfile -e "$zip" "$dir"
  [ "$(python3 -m zipfile -l "$zip" | awk 'NR > 1 { print $1 }' | sort | xargs)" = "README.txt Sandrel.chm Sandrel.exe" ] \
    && ok "the zip holds Sandrel.exe, Sandrel.chm and README.txt" || fail "the zip's files: $(python3 -m zipfile -l "$zip")"
  pid=$(launch "$dir")
  wait_window Sandrel || { fail "zip: the sheet did not open"; cat "$dir/wine.log"; return; }
  sleep 0.5
  key Sandrel Return
  wait_gone "$pid" || fail "zip: the launcher did not end"
  for _ in $(seq 50); do [ -f "$dir/quellmark-run.log" ] && break; sleep 0.2; done
  [ "$(wc -l <"$dir/terrain.ini" 2>/dev/null)" = 40 ] && grep -q '^argc=1$' "$dir/quellmark-run.log" 2>/dev/null \
    && ok "unzipped beside the engine, Enter writes terrain.ini and starts Quellmark.exe" \
    || fail "unzipped, Enter did not write terrain.ini and start the engine"

  make_folder "$other"
  rm -f "$other/Sandrel.exe" "$other/Sandrel.chm"
  (cd "$other" && exec env WINEDEBUG=-all,err+winediag,trace+htmlhelp wine "$dir/Sandrel.exe" >"$other/wine.log" 2>&1) &
  pid=$!
  wait_window Sandrel || { fail "zip: the sheet did not open from another folder"; return; }
  expect_help_call "$other/wine.log" "$(winepath -w "$dir/Sandrel.chm" 2>/dev/null | sed 's/\\/\\\\/g')" '' \
    "without a help file in the folder, F1 calls HtmlHelpA with the one beside Sandrel.exe"
  wineserver -k >/dev/null 2>&1 || true
  wait_gone "$pid" || true
}

scenario_enter
scenario_escape
scenario_wrong_shape
scenario_libraries
scenario_help
scenario_zip
end_prefix

# ---- The Linux launcher with the Windows stand-in engine, which Wine runs (a prefix of its own,
# made fresh): the map named the Windows way, a texture picked outside the folder, OK; then the
# same folder without Wine, and a 32-bit engine where Wine has no 32-bit half.
scenario_wine_engine() {
  cmake --preset ci >/dev/null
  cmake --build --preset ci -j "$JOBS" --target sandrel quellmark_standin make_sample_data sandrel_help >/dev/null
  fresh_prefix wine-engine
  local log=$wine_root/wine-engine.log
  if SANDREL_WIN_ENGINE=$out/Quellmark.exe SANDREL_BIN_DIR=$root/build/bin SANDREL_CHM=$root/build/ci/Sandrel.chm \
    timeout 300 /usr/bin/python3 "$root/tests/gui/launcher_e2e.py" --program "$root/build/bin/sandrel" \
    --make-demo "$root/scripts/make-demo.sh" --screenshots "$shots" wine_engine >"$log" 2>&1; then
    ok "the Linux launcher starts the Windows engine through Wine, which opens MAPS\\BIG.BMP and a texture picked outside the folder"
  else
    fail "the Linux launcher with the Windows engine"
  fi
  cat "$log"
  end_prefix
}
scenario_wine_engine

# ---- Stage 3: high DPI, on a screen large enough for the sheet at 200 %.
dpi_shots=$root/build/screenshots/win64-dpi
mkdir -p "$dpi_shots"
wineserver -k >/dev/null 2>&1 || true
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
Xvfb "$display" -screen 0 2048x1536x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
for dpi in 144 192; do
  fresh_prefix "dpi-$dpi"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # Wine 8 takes the screen's DPI from here; the native test checks that it did.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  log=$wine_root/dpi-$dpi.log
  if (cd "$out/tests" && SANDREL_EXPECT_DPI=$dpi timeout 600 wine win_backend_tests.exe --gtest_brief=1 \
    --gtest_filter='NativeSheet.EveryTextFits*') >"$log" 2>&1 && grep -q '^\[  PASSED  \] 1 test' "$log"; then
    ok "$dpi DPI: every text fits its control, the buttons lie inside the sheet"
  else
    fail "$dpi DPI: texts or buttons do not fit"
    cat "$log"
  fi
  dir=$e2e/dpi-$dpi
  make_folder "$dir"
  pid=$(launch "$dir")
  if wait_window Sandrel; then
    sleep 1
    w=$(xwindow Sandrel)
    n=1
    for tab in general texture opengl controls; do
      [ "$n" -gt 1 ] && key Sandrel ctrl+Tab
      xdotool mousemove 0 0
      sleep 0.3
      import -window "$w" "$dpi_shots/$dpi-$n-$tab.png" 2>/dev/null || fail "$dpi DPI: no screenshot of $tab"
      n=$((n + 1))
    done
    key Sandrel Escape
    wait_gone "$pid" || fail "$dpi DPI: the launcher did not end"
  else
    fail "$dpi DPI: the sheet did not open"
    cat "$dir/wine.log"
  fi
  end_prefix
done

elapsed=$(($(date +%s) - started))
note "screenshots: $shots, $dpi_shots"
note "Windows stage took ${elapsed}s"
printf 'win64: %d passed, %d failed\n' "$passed" "$failed"
if [ "$failed" -ne 0 ]; then
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
