#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Creation to first paint and the click-to-result latency of "&Calculate" (1000 clicks each),
# from the benchmark program that links the window: under Xvfb, then on the offscreen platform.
# Usage: scripts/measure-latency.sh [build folder] [extra benchmark options]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-rob}"
shift || true
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j 2 --target corvane-bench-window >/dev/null
bench="$build/bench/window/corvane-bench-window"
echo "== X server (Xvfb)"
xvfb-run -a -s "-screen 0 1024x768x24" "$bench" "$@"
echo "== offscreen"
QT_QPA_PLATFORM=offscreen "$bench" "$@"
