#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the build and the tests need and the machine lacks.
# Usage: install-deps.sh [build|run|ctest|fuzz|packagetest|debian13|test|cross|win|package]...
set -euo pipefail

build=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
       libwxgtk3.2-dev libgtk-3-dev libmspack-dev fp-utils libpng-dev)
run=(xvfb xauth xdotool)
# What the CTest tests need besides the build: strace for the save tests, locales for the ones
# that read and write under a comma-decimal locale, windres and the MinGW-w64 headers for the
# one that compares the resource tables with the Windows resource compiler, and for the GUI
# tests Xvfb, xdotool, ImageMagick's import and the accessibility bus (AT-SPI) on a D-Bus session.
ctest=(strace locales binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev xvfb xauth xdotool imagemagick
       at-spi2-core python3 python3-pyatspi dbus dbus-x11 util-linux)
# clang for the fuzz targets, lintian and devscripts (hardening-check) for the package's checks,
# debootstrap for the Debian 13 stage; all of make test is these and the CTest tests' needs.
fuzz=(clang libclang-rt-dev)
packagetest=(lintian devscripts dpkg-dev xvfb xauth xdotool)
debian13=(debootstrap util-linux)
test=("${ctest[@]}" "${fuzz[@]}" "${packagetest[@]}" "${debian13[@]}")
# The Windows program: the MinGW-w64 cross compiler (posix threads, which GoogleTest needs) and
# windres build it (and the zip); Wine with a virtual display runs it and its tests.
cross=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev libgtest-dev)
win=("${cross[@]}" wine wine64 xvfb xauth xdotool imagemagick)
# The packages: dpkg-shlibdeps for the .deb's dependencies (CPack writes the archives itself).
package=(dpkg-dev)

want=()
for what in "${@:-test}"; do
  case "$what" in
    build) want+=("${build[@]}") ;;
    run)   want+=("${build[@]}" "${run[@]}") ;;
    ctest) want+=("${build[@]}" "${ctest[@]}") ;;
    fuzz) want+=("${build[@]}" "${fuzz[@]}") ;;
    packagetest) want+=("${build[@]}" "${packagetest[@]}") ;;
    debian13) want+=("${debian13[@]}") ;;
    test)  want+=("${build[@]}" "${test[@]}") ;;
    cross) want+=("${build[@]}" "${cross[@]}") ;;
    win)   want+=("${build[@]}" "${win[@]}") ;;
    package) want+=("${build[@]}" "${package[@]}") ;;
    *) echo "install-deps.sh: unknown set '$what'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps.sh: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
