#!/usr/bin/env bash
# The package stage of `make test` (after `make package`): lintian on the .deb, the .deb made
# twice more and compared byte for byte, its dates checked against the last commit's, the
# package unpacked into a scratch root with dpkg-deb -x, hardening-check on its program, and
# the program run from there as installed: --help, --version and --check without a display,
# then under Xvfb an unknown argument and F1 in an engine folder without the help file. (The
# Windows zip runs under Wine in test-win.sh.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/ci/CMakeCache.txt)
deb=$root/build/packages/sandrel_${version}_amd64.deb
[ -f "$deb" ] || { echo "test-package.sh: $deb is missing: run make package first" >&2; exit 1; }
# The engine folder below needs the stand-in engine and the sample-data tool, which the .deb
# does not need and `make deb` does not build.
cmake --build --preset ci --target quellmark_standin make_sample_data >/dev/null
scratch=$(mktemp -d /tmp/sandrel-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
passed=0
failures=()

note() { printf '[test-package] %s\n' "$*"; }
ok() { passed=$((passed + 1)); note "ok: $*"; }
fail() { failures+=("$*"); note "FAILED: $*"; }
expect() { # description command...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}

# ---- lintian: no errors, and every warning kept is explained in the README.
report=$(lintian --pedantic --display-info "$deb" 2>&1 | grep -v '^running with root privileges' || true)
note "lintian says:${report:+$'\n'}${report:- nothing}"
expect "lintian reports no errors" eval '! grep -q "^E:" <<<"$report"'
for tag in $(sed -n 's/^W: [^ ]* \([^ ]*\).*/\1/p' <<<"$report" | sort -u); do
  expect "lintian's warning $tag is explained in the README" grep -qF "\`$tag\`" README.md
done

# ---- Reproducible: cpack run twice more from the same build, each into a folder of its own,
# gives the same bytes as the package under test; every date in it is the last commit's.
for again in 1 2; do
  (cd build/ci && cpack -G DEB -B "$scratch/cpack$again" -D CPACK_OUTPUT_FILE_PREFIX="$scratch/again$again") \
    >"$scratch/cpack$again.log" 2>&1 || cat "$scratch/cpack$again.log"
done
expect "two more runs of cpack give the same bytes as the package" \
  eval 'cmp "$deb" "$scratch/again1/${deb##*/}" && cmp "$deb" "$scratch/again2/${deb##*/}"'
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || dpkg-parsechangelog -l packaging/changelog -STimestamp)}
dates() { # every date the .deb holds: its archive members, its control files, its files
  TZ=UTC ar tv "$deb" | awk '{print $4, $5, $6, $7}'
  for part in --ctrl-tarfile --fsys-tarfile; do
    dpkg-deb "$part" "$deb" | TZ=UTC tar -tv --full-time | awk '{print $4, $5}'
  done
}
expect "every date in the package is the last commit's, $(date -u -d "@$epoch" '+%F %T')" \
  test "$(dates | sort -u)" = "$(TZ=UTC date -d "@$epoch" '+%F %T'; TZ=UTC date -d "@$epoch" '+%b %-d %H:%M %Y')"

# ---- The files, unpacked as dpkg would put them.
dpkg-deb -x "$deb" "$scratch/root"
listed=$(cd "$scratch/root" && find . -type f | sort)
wanted="./usr/bin/sandrel
./usr/share/doc/sandrel/changelog.gz
./usr/share/doc/sandrel/copyright
$(for size in 128 16 22 24 256 32 48 64; do echo "./usr/share/icons/hicolor/${size}x$size/apps/sandrel.png"; done)
./usr/share/man/man1/sandrel.1.gz
./usr/share/sandrel/Sandrel.chm"
expect "the package holds the program, its help, its icon at eight sizes, its manual page, copyright and changelog" \
  test "$listed" = "$wanted"
for png in "$scratch"/root/usr/share/icons/hicolor/*/apps/sandrel.png; do
  size=${png%/apps/*}
  size=${size##*/}
  expect "the ${size} icon is a PNG of that size" test "$(identify -format '%m %wx%h' "$png")" = "PNG $size"
done
program=$scratch/root/usr/bin/sandrel

# ---- Hardened as Debian builds: PIE, stack protector, _FORTIFY_SOURCE, relro, immediate
# binding. Control-flow protection shows only where the C library's start files carry it too
# (the linker keeps the mark only if every object has it; Debian 12's do not).
hardening=(hardening-check)
if ! readelf -n "$(gcc -print-file-name=Scrt1.o)" 2>/dev/null | grep -q 'IBT, SHSTK'; then
  hardening+=(--nocfprotection)
fi
report=$("${hardening[@]}" "$program" 2>&1) && status=0 || status=$?
note "${hardening[*]} says:"$'\n'"$report"
expect "hardening-check finds every protection in the program" test "$status" = 0

# ---- The options, on no display at all.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY "$@"; }
run() { # dir args...: the program's stdout, stderr and status in $out, $err, $status
  local dir=$1
  shift
  status=0
  (cd "$dir" && nodisplay "$program" "$@") >"$scratch/out" 2>"$scratch/err" || status=$?
  out=$(cat "$scratch/out")
  err=$(cat "$scratch/err")
}
run "$scratch" --help
expect "--help prints the usage and exits 0" test "$status:${out%%$'\n'*}:$err" = "0:Usage: sandrel [--help | --version | --check [FILE]]:"
run "$scratch" --version
expect "--version prints 'sandrel $version', the package's version, and exits 0" \
  test "$status:$out:$(dpkg-deb -f "$deb" Version)" = "0:sandrel $version:$version"

# --check in an engine folder: a clean file, a file with one problem of every kind, a missing one.
demo=$scratch/demo
SANDREL_BIN_DIR=$root/build/bin SANDREL_CHM=$root/build/ci/Sandrel.chm scripts/make-demo.sh "$demo" >/dev/null 2>&1
printf '# checked by test-package.sh\nWIDTH = 1024\nHEIGHT = 768\nMAP_NAME = 257x257.bmp\nSTRAFE_LEFT = q\n' >"$demo/clean.ini"
printf '# a comment\nWIDTH = 100\nFOO = 1\nMAP_NAME = G.bmp\nSTRAFE_LEFT = ab\nTEXTURE_NAME = 257x257.bmp\n' \
  >"$demo/problems.ini"
before=$(ls -l --time-style=+%s.%N "$demo")
run "$demo" --check clean.ini
expect "--check on a clean file says nothing and exits 0" test "$status:$out:$err" = "0::"
run "$demo" --check problems.ini
expect "--check names every problem with its line and the tab's message, and exits 1" test "$status:$out" = "1:\
problems.ini:2: WIDTH = 100: Enter a whole number from 320 to 2147483647.
problems.ini:3: FOO = 1: unknown parameter type encountered
problems.ini:4: MAP_NAME = G.bmp: map has to be 8 bit grayscale, square and of size 2**n+1
problems.ini:5: STRAFE_LEFT = ab: Enter no more than 1 character.
problems.ini:6: TEXTURE_NAME = 257x257.bmp: texture edge_len has to be 2**n"
run "$demo" --check
expect "--check without terrain.ini says why on stderr and exits 2" \
  test "$status:$out:$err" = "2::sandrel: cannot read terrain.ini: No such file or directory"
expect "--check wrote nothing and started nothing" test "$(ls -l --time-style=+%s.%N "$demo")" = "$before"

# ---- The window, on a virtual display: the GUI tests' scenarios with the unpacked program.
if SANDREL_BIN_DIR=$root/build/bin SANDREL_CHM=$root/build/ci/Sandrel.chm /usr/bin/python3 \
    tests/gui/launcher_e2e.py --program "$program" --make-demo scripts/make-demo.sh \
    --screenshots "$root/build/screenshots/package" unknown_argument installed_help; then
  ok "under Xvfb: an unknown argument still brings up the sheet; F1 opens the installed help"
else
  fail "the unpacked program under Xvfb"
fi

printf 'package: %d passed, %d failed\n' "$passed" "${#failures[@]}"
if [ "${#failures[@]}" -ne 0 ]; then
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
