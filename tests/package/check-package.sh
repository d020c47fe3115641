#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the Debian package from a finished build folder, unpacks it into a scratch root with dpkg -x and
# checks what an installation would get: the files in place, the dependencies dpkg-shlibdeps found in the
# programs, and both programs running from the unpacked tree.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/out/corvane_"$version"_*.deb 2>/dev/null | head -n 1)
[[ -n $deb ]] || fail "no corvane_${version}_*.deb was made"

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/corvane usr/bin/corvane-cli \
         usr/share/applications/corvane.desktop usr/share/icons/hicolor/scalable/apps/corvane.svg \
         usr/share/man/man1/corvane.1 usr/share/man/man1/corvane-cli.1 \
         usr/share/bash-completion/completions/corvane-cli usr/share/doc/corvane/copyright; do
    [[ -f $root/$f ]] || fail "the package lacks /$f"
done
if find "$root" -path '*/include/*' -o -name '*.a' | grep -q .; then fail "the package carries headers or static libraries"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libqt6widgets6 libqt6charts6; do
    grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

[[ $("$root/usr/bin/corvane-cli" --version | head -n 1) == "corvane-cli $version" ]] || fail "corvane-cli --version"
[[ $("$root/usr/bin/corvane" --version | head -n 1) == "corvane $version" ]] || fail "corvane --version"
# A 3-pole Butterworth low-pass at 10 MHz between 50 ohm: the classic first series inductor is
# R g1 / (2 pi f) = 50 / (2 pi 10 MHz) = 795.8 nH.
out=$("$root/usr/bin/corvane-cli" --model Butterworth --poles 3 --json)
grep -Eq '7\.95[0-9]*e-0?7' <<<"$out" || fail "the unpacked corvane-cli designed something else: $out"
echo "package $deb: files, Depends ($depends) and both programs checked"
