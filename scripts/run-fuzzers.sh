#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Runs each fuzz target built in the build folder for a bounded time; a finding stops the run
# with its reproducer in the build folder's findings/.
set -euo pipefail
build="$1"
seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
found=0
for program in "$build"/fuzz/fuzz_*; do
  [ -x "$program" ] || continue
  found=1
  target="${program##*/fuzz_}"
  work="$build/corpus-$target"
  mkdir -p "$work" "$build/findings"
  options=()
  if [ -f "$root/fuzz/$target.dict" ]; then options+=(-dict="$root/fuzz/$target.dict"); fi
  echo "fuzz_$target: $seconds s"
  "$program" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    "${options[@]}" -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
    "$work" "$root/fuzz/corpus/$target" 2>&1 | grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)'
done
if [ "$found" -eq 0 ]; then
  echo "no fuzz targets in $build/fuzz" >&2
  exit 1
fi
