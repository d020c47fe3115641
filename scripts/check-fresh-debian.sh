#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Proves the two commands on a fresh machine: a minimal Debian 12 root made with debootstrap,
# a clone of the committed tree (uncommitted changes are left out on purpose), then `make test`
# and `make run` with nothing but git and make installed beforehand, then `make package` and the
# package installed with apt. Run as root; needs
# debootstrap on this machine (a checking tool, not a build dependency) and network access.
#
#   scripts/check-fresh-debian.sh [ROOT_DIR]     (default /var/tmp/corvane-fresh, reused if present)
#
# FRESH_NICE (19) is the priority of the build inside the root, JOBS its parallel jobs.
set -euo pipefail
root_dir="${1:-/var/tmp/corvane-fresh}"
repo="$(cd "$(dirname "$0")/.." && pwd)"
mirror="${MIRROR:-http://deb.debian.org/debian}"
nice_level="${FRESH_NICE:-19}"
jobs="${JOBS:-$(nproc)}"

if [ "$(id -u)" -ne 0 ]; then
  echo "check-fresh-debian: run as root (debootstrap and chroot need it)" >&2
  exit 2
fi
if ! command -v debootstrap >/dev/null; then
  echo "check-fresh-debian: debootstrap is missing (apt-get install debootstrap)" >&2
  exit 2
fi

if [ ! -x "$root_dir/usr/bin/apt-get" ]; then
  echo "== debootstrap bookworm (minbase) into $root_dir"
  debootstrap --variant=minbase bookworm "$root_dir" "$mirror"
fi
cat >"$root_dir/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root_dir/etc/resolv.conf"

mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
}
trap cleanup EXIT
mount_in() {
  mkdir -p "$root_dir$2"
  mount "${@:3}" "$1" "$root_dir$2"
  mounted+=("$root_dir$2")
}
mount_in proc /proc -t proc
mount_in /dev /dev --bind
mount_in devpts /dev/pts -t devpts
mount_in tmpfs /dev/shm -t tmpfs

# The user's own two steps before the two commands: git to clone, make to run them.
chroot "$root_dir" /usr/bin/env DEBIAN_FRONTEND=noninteractive bash -c \
  'apt-get update -qq && apt-get install -y -qq --no-install-recommends git make ca-certificates >/dev/null'

rm -rf "$root_dir/root/corvane"
git clone --quiet --no-local "$repo" "$root_dir/root/corvane"
echo "== clone of $(git -C "$repo" rev-parse --short HEAD)"
if [ -x "$repo/../shared/tools/check-deps" ]; then
  mkdir -p "$root_dir/root/shared/tools"
  cp "$repo/../shared/tools/check-deps" "$root_dir/root/shared/tools/"
fi

inside() {
  chroot "$root_dir" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    JOBS="$jobs" nice -n "$nice_level" bash -c "cd /root/corvane && $1"
}

echo "== make test"
inside 'make test'
if [ -x "$root_dir/root/shared/tools/check-deps" ]; then
  echo "== check-deps"
  inside '../shared/tools/check-deps build scripts/install-deps.sh'
fi
echo "== make build"
inside 'make build'
# The package as a user installs it: apt resolves the dependencies dpkg-shlibdeps declared.
echo "== make package, apt install, run from /usr/bin"
inside 'make package && apt-get install -y -qq ./build/corvane_*.deb >/dev/null && /usr/bin/corvane-cli --version &&
  /usr/bin/corvane-cli --model Chebyshev --poles 5 >/dev/null && test -f /usr/share/man/man1/corvane-cli.1'
# No display in the root: the window starts under Xvfb, as `make run` does after its build.
# Still running after five seconds (timeout's status 124) means it started and stayed up.
echo "== start the window (5 s)"
status=0
inside 'timeout -k 3 5 scripts/run-window.sh build/app/corvane' || status=$?
# Whatever the window left running inside the root (Xvfb), ended by its process id.
for proc in /proc/[0-9]*; do
  if [ "$(readlink "$proc/root" 2>/dev/null)" = "$(readlink -f "$root_dir")" ]; then kill "${proc#/proc/}" 2>/dev/null || true; fi
done
if [ "$status" -ne 124 ]; then
  echo "check-fresh-debian: the window ended with status $status within 5 s" >&2
  exit 1
fi
echo "== fresh Debian 12: make test passes, the package installs and runs, the window builds and starts"
