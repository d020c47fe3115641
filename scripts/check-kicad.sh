#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Opens corvane-cli's KiCad schematics in KiCad's schematic editor and screenshots them, so that a
# person can look: the symbols, values and wiring as KiCad draws them. KiCad is only the checking
# tool: this script installs it (as root, from Debian), never the build or the tests.
# Usage: scripts/check-kicad.sh BUILD [OUTPUT_FOLDER]   (BUILD holds cli/corvane-cli)
set -euo pipefail
build=$1
out=${2:-kicad-check}
cli=$build/cli/corvane-cli
[[ -x $cli ]] || { echo "no $cli: build corvane-cli first" >&2; exit 2; }
if ! command -v eeschema >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends kicad xvfb imagemagick
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
# A home of its own with empty library tables, so that the first start asks nothing.
home=$(mktemp -d)
trap 'rm -rf "$home"; [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null' EXIT
mkdir -p "$home/.config/kicad/6.0"
echo '(sym_lib_table)' >"$home/.config/kicad/6.0/sym-lib-table"
echo '(fp_lib_table)' >"$home/.config/kicad/6.0/fp-lib-table"
echo '{}' >"$home/.config/kicad/6.0/kicad_common.json" # no first-start questions
"$cli" --model Chebyshev --poles 7 --ripple 0.1 --passband 30 --series E12 --kicad "$out/lowpass.kicad_sch" >/dev/null
"$cli" --model Elliptic --type BPF --poles 4 --fmin 8 --fmax 12 --series E24 --kicad "$out/bandpass.kicad_sch" >/dev/null
"$cli" --model Chebyshev --type BPF --poles 15 --ripple 0.5 --fmin 9 --fmax 11 --kicad "$out/fifteen.kicad_sch" >/dev/null
display=:97
Xvfb "$display" -screen 0 1600x1000x24 >/dev/null 2>&1 &
xvfb=$!
sleep 2
for sheet in lowpass bandpass fifteen; do
    HOME=$home DISPLAY=$display eeschema "$out/$sheet.kicad_sch" >"$out/$sheet.log" 2>&1 &
    editor=$!
    sleep 20
    DISPLAY=$display import -window root "$out/$sheet.png"
    kill "$editor" 2>/dev/null || true
    wait "$editor" 2>/dev/null || true
    echo "$out/$sheet.png"
done
