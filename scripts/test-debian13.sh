#!/usr/bin/env bash
# The Debian 13 stage of `make test`: the release build and every CTest test (the GUI tests
# under Xvfb included) in a Debian 13 ("trixie") root, so that a machine on Debian 12 proves
# the current release too.
#
# The root is made with debootstrap from the package mirror the machine's own apt sources name
# (or SANDREL_DEBIAN_MIRROR), and kept between runs outside the clone, in
# SANDREL_DEBIAN13_DIR (default /var/cache/sandrel/debian13):
#   root/      a finished root; debootstrap works in root.new/ and only a finished one is
#              renamed, so a run killed halfway leaves nothing that looks usable
#   debs/      debootstrap's downloads; apt/  apt's downloads (bind-mounted into the root)
#   lock       one run at a time
# Inside the root, scripts/install-deps.sh installs what the tests need, the working tree
# (without build/ and .git/) is copied to /sandrel/src with its file times, and build/ there is
# kept, so a second run builds only what changed, as the other stages do.
#
# /proc, /dev, /dev/pts and a /dev/shm of its own are mounted only inside a private mount
# namespace and a PID namespace of the stage's own: they are unmounted on the way out (EXIT,
# HUP, INT, TERM), and should the stage be killed outright, the kernel drops them with the
# namespace, and every process started in the root (Xvfb, D-Bus) ends with it. The host never
# sees a mount in the root, so removing a root cannot reach the host's /dev.
#
# Prints ctest's closing line; exits non-zero on any failure.
set -euo pipefail
suite=trixie
tag="[test-debian13]"
note() { printf '%s %s\n' "$tag" "$*"; }
die() { printf '%s %s\n' "$tag" "$*" >&2; exit 1; }
# The mount points at or below a folder, in this mount namespace.
mounts_in() {
  awk -v d="$1" '{ gsub(/\\040/, " ", $5) } $5 == d || index($5, d "/") == 1 { print $5 }' /proc/self/mountinfo
}

# ---- inside the namespaces: mount, run the stage in the root, unmount ---------------------
if [ "${1:-}" = "--in-namespace" ]; then
  root=$2 apt_cache=$3 jobs=$4
  mounted=()
  # This shell is the first process of the PID namespace: every other process there (the
  # tests, a stray Xvfb or D-Bus daemon) ends before the mounts they use are taken away.
  finish() {
    local i
    kill -TERM -1 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
      kill -0 -1 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL -1 2>/dev/null || true
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
      umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" ||
        echo "$tag could not unmount ${mounted[i]}" >&2
    done
    mounted=()
    local left
    left=$(mounts_in "$root")
    if [ -n "$left" ]; then
      echo "$tag still mounted:" $left >&2
    else
      echo "$tag unmounted: nothing is mounted in the root"
    fi
  }
  trap finish EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  mount --make-rprivate /
  mount_one() { # mount ARGS... TARGET
    mount "$@"
    mounted+=("${*: -1}")
  }
  # The root a mount point of its own, so that "/" there is one (tests make their own mounts
  # private), then what lives on top of it.
  mount_one --bind "$root" "$root"
  mount_one -t proc proc "$root/proc"
  mount_one --bind /dev "$root/dev"
  mount_one --bind /dev/pts "$root/dev/pts"
  # Shared memory for the GUI libraries, apart from the host's.
  mount_one -t tmpfs -o nosuid,nodev,mode=1777 shm "$root/dev/shm"
  mount_one --bind "$apt_cache" "$root/var/cache/apt/archives"
  status=0
  # In the background, so that a signal's trap runs at once; a background command of a script
  # ignores Ctrl+C, so the stage gets the usual signals back.
  env --default-signal=INT,QUIT chroot "$root" /usr/bin/env -i \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    TERM=dumb JOBS="$jobs" /bin/bash /sandrel/stage.sh 9>&- &
  wait $! || status=$?
  exit "$status"
fi

# ---- on the host ---------------------------------------------------------------------------
src=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || die "needs root (debootstrap, chroot, mount) or sudo"
  exec sudo --preserve-env=JOBS,SANDREL_DEBIAN13_DIR,SANDREL_DEBIAN_MIRROR "$0" "$@"
fi
jobs=${JOBS:-$(nproc)}
state=${SANDREL_DEBIAN13_DIR:-/var/cache/sandrel/debian13}
started=$(date +%s)
for tool in debootstrap unshare setpriv chroot flock tar; do
  command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh test installs it)"
done

# The host's Debian mirror: the first enabled "deb" source of its own release, from the
# one-line lists or the deb822 .sources files.
host_mirror() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || return 0
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk -v want="$codename" '
        $1 == "deb" { i = 2
                      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                      if ($(i + 1) == want) print $i }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk -v want="$codename" '
        function flush() { if (types ~ /(^| )deb( |$)/ && suites ~ ("(^| )" want "( |$)") && enabled != "no")
                             { split(uris, u, " "); if (u[1] != "") print u[1] }
                           types = uris = suites = enabled = "" }
        /^[ \t]*$/ { flush(); next }
        /^#/ { next }
        { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, "")
          if (key == "types") types = $0; else if (key == "uris") uris = $0
          else if (key == "suites") suites = $0; else if (key == "enabled") enabled = tolower($0) }
        END { flush() }'
  } | head -n 1
}

# Removes a tree that nothing is mounted in (a mount found there stops the script instead).
remove_tree() {
  local dir=$1
  [ -e "$dir" ] || return 0
  [ -z "$(mounts_in "$dir")" ] || die "something is mounted in $dir: unmount it before the root is removed"
  rm -rf --one-file-system "$dir"
}

mkdir -p "$state/debs" "$state/apt"
exec 9>"$state/lock"
if ! flock --nonblock 9; then
  note "waiting for another run to finish with $state"
  flock 9
fi
root=$state/root

# debootstrap and the stage run in namespaces of their own, under unshare, in the background.
# Stopped (INT, TERM, HUP), this script stops unshare's child (the stage's trap then ends the
# processes in the root and unmounts); should that hang, SIGKILL to unshare ends the namespace
# (--kill-child), and the kernel drops its mounts. Should this script itself be killed
# outright, unshare gets SIGKILL too (setpriv --pdeathsig).
inner=
stop_inner() {
  [ -n "$inner" ] || return 0
  local first i
  first=$(cat "/proc/$inner/task/$inner/children" 2>/dev/null || true)
  [ -z "$first" ] || kill -TERM $first 2>/dev/null || true
  for ((i = 0; i < 100; i++)); do
    kill -0 "$inner" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$inner" 2>/dev/null || true
  wait "$inner" 2>/dev/null || true
  inner=
}
trap 'stop_inner; exit 130' INT
trap 'stop_inner; exit 143' TERM
trap 'stop_inner; exit 129' HUP
run_unshared() { # unshare's options and a command: runs it and returns its exit status
  setpriv --pdeathsig KILL unshare --kill-child "$@" &
  inner=$!
  local status=0
  wait "$inner" || status=$?
  inner=
  return "$status"
}

# ---- the root: made once, kept -----------------------------------------------------------
if [ ! -d "$root" ]; then
  mirror=${SANDREL_DEBIAN_MIRROR:-$(host_mirror)}
  [ -n "$mirror" ] || die "no Debian mirror in /etc/apt/sources.list*: set SANDREL_DEBIAN_MIRROR"
  remove_tree "$root.new"
  note "making a Debian 13 root with debootstrap in $root"
  t=$(date +%s)
  # In a mount namespace of its own: what debootstrap mounts goes away with it.
  run_unshared --mount --propagation private \
    debootstrap --variant=minbase --cache-dir="$state/debs" "$suite" "$root.new" "$mirror" \
      >"$state/debootstrap.log" 2>&1 ||
    { tail -n 20 "$state/debootstrap.log" >&2; die "debootstrap failed (log: $state/debootstrap.log)"; }
  # A root for tests: dpkg need not sync every file, and documentation is not unpacked.
  cat >"$root.new/etc/dpkg/dpkg.cfg.d/sandrel-ci" <<'CFG'
force-unsafe-io
path-exclude=/usr/share/doc/*
path-exclude=/usr/share/man/*
path-exclude=/usr/share/info/*
CFG
  mv "$root.new" "$root"
  note "debootstrap: $(($(date +%s) - t)) s"
fi

# apt and the build need the host's name service; a link in the root is replaced, never followed.
rm -f "$root/etc/resolv.conf"
[ ! -e /etc/resolv.conf ] || cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# ---- the source: the working tree as it is, without build/ and .git/ ------------------------
mkdir -p "$root/sandrel/src"
find "$root/sandrel/src" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf --one-file-system {} +
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$root/sandrel/src" -xpf -

cat >"$root/sandrel/stage.sh" <<'STAGE'
set -euo pipefail
tag="[test-debian13]"
cd /sandrel/src
echo "$tag $(. /etc/os-release && echo "$PRETTY_NAME"), Debian $(cat /etc/debian_version)"
t=$(date +%s)
dpkg --configure -a
scripts/install-deps.sh ctest
echo "$tag dependencies: $(($(date +%s) - t)) s"
echo "$tag $(g++ --version | head -n 1)"
t=$(date +%s)
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$JOBS"
echo "$tag build: $(($(date +%s) - t)) s"
t=$(date +%s)
status=0
ctest --preset ci -j "$JOBS" 2>&1 | tee /sandrel/ctest.log || status=$?
echo "$tag ctest: $(($(date +%s) - t)) s"
exit "$status"
STAGE
rm -f "$root/sandrel/ctest.log"

status=0
run_unshared --mount --pid --fork "$0" --in-namespace "$root" "$state/apt" "$jobs" || status=$?

summary=$(grep -E 'tests passed|tests failed' "$root/sandrel/ctest.log" 2>/dev/null | tail -n 1 || true)
note "ctest in Debian 13: ${summary:-no result}"
note "stage: $(($(date +%s) - started)) s"
[ "$status" -eq 0 ] && [ -n "$summary" ] || die "failed (exit status $status)"
