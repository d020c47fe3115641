#!/usr/bin/env bash
# Runs each fuzz target for a bounded time; a finding stops the run with its reproducer in the build folder.
set -euo pipefail
build="$1"
seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
for target in number_text run axis_range; do
  work="$build/corpus-$target"
  mkdir -p "$work" "$build/findings"
  options=()
  if [ -f "$root/fuzz/$target.dict" ]; then options+=(-dict="$root/fuzz/$target.dict"); fi
  echo "fuzz_$target: $seconds s"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    "${options[@]}" -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
    "$work" "$root/fuzz/corpus/$target" 2>&1 | grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)'
done
