#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Time from process start to the first painted Corvane window, measured from outside under Xvfb.
# Usage: scripts/measure-startup.sh [build folder] [runs]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rob}"
runs="${2:-20}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target corvane >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" python3 "$root/scripts/measure-window.py" startup "$build/app/corvane" --runs "$runs"
