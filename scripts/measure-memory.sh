#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Peak resident memory of the running Corvane window after repeated runs, chart hovering and
# axis switching, measured from outside under Xvfb.
# Usage: scripts/measure-memory.sh [build folder] [rounds]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rob}"
rounds="${2:-20}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target corvane >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" python3 "$root/scripts/measure-window.py" memory "$build/app/corvane" --clicks "$rounds"
