#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The same Monte Carlo two ways: corvane's tolerance engine (10 000 trials of a 7-pole 0.5 dB
# Chebyshev low-pass over 1001 points, from corvane-bench) and ngspice running a .control loop
# that alters every L and C by a uniform 5 % and reruns the same AC sweep. Prints the time per
# trial of each and their ratio, in wall time and in CPU time (every thread's; the fairer measure
# on a machine that others load).
#
#   bench/tolerance-vs-ngspice.sh [BUILD_DIR] [NGSPICE_TRIALS]
#
# Needs corvane-cli and corvane-bench built in BUILD_DIR (default: build), ngspice and python3.
set -euo pipefail

build=${1:-build}
trials=${2:-300}
cli="$build/cli/corvane-cli"
bench="$build/bench/corvane-bench"
for program in "$cli" "$bench"; do
  [ -x "$program" ] || { echo "missing $program: build it first (cmake --build $build)" >&2; exit 2; }
done
command -v ngspice >/dev/null || { echo "ngspice is not installed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The designed element values, then a deck of the T ladder between 50 ohm with an AC sweep of
# 1001 points from 1 to 100 MHz, repeated TRIALS times with fresh part values.
"$cli" --type LPF --model Chebyshev --ripple 0.5 --poles 7 --passband 10 --unit MHz --rl 50 --topology T --json \
  >"$work/design.json"
write_deck() {
  python3 - "$work/design.json" "$1" >"$2" <<'PY'
import json, sys
design = json.load(open(sys.argv[1]))
repeats = int(sys.argv[2])
units, values = design["ElementUnits"], design["ElementValues"]
n = len(values) - 2
lines = ["* Monte Carlo of a 7-pole Chebyshev low-pass, 5 % parts", "V1 in 0 AC 1", "RS in n0 50"]
node, names = "n0", []
for i in range(1, n + 1):
    if units[i] == "F":
        name = f"C{i}"
        lines.append(f"{name} {node} 0 {values[i]!r}")
    else:
        name = f"L{i}"
        lines.append(f"{name} {node} n{i} {values[i]!r}")
        node = f"n{i}"
    names.append((name, values[i]))
lines.append(f"RL {node} 0 50")
lines += [".control", "set noaskquit", "define unif(nom, var) (nom + nom*var*sunif(0))"]
lines.append(f"repeat {repeats}")
lines += [f"  alter {name} = unif({value!r}, 0.05)" for name, value in names]
lines += [f"  ac lin 1001 1meg 100meg",
          f"  let s21 = db(2*v({node}))",
          "  let worst = vecmin(s21)",
          "  destroy all",
          "end", "quit", ".endc", ".end"]
print("\n".join(lines))
PY
}

# Wall and CPU seconds of one ngspice run.
seconds() {
  local start end cpu
  start=$(date +%s.%N)
  /usr/bin/time -o "$work/time" -f "%U %S" ngspice -b "$1" >/dev/null 2>&1
  cpu=$(tail -1 "$work/time")
  end=$(date +%s.%N)
  python3 -c "u, s = '$cpu'.split(); print($end - $start, float(u) + float(s))"
}

write_deck 1 "$work/one.cir"
write_deck "$trials" "$work/many.cir"
read -r one_wall one_cpu < <(seconds "$work/one.cir")
read -r many_wall many_cpu < <(seconds "$work/many.cir")
spice_per_trial=$(python3 -c "print(($many_wall - $one_wall) / ($trials - 1))")
spice_cpu_per_trial=$(python3 -c "print(($many_cpu - $one_cpu) / ($trials - 1))")

result=$("$bench" --benchmark_filter='BM_ToleranceMonteCarlo/threads:0/trials:10000' --benchmark_format=json \
  --benchmark_min_time=1)
read -r corvane_run corvane_cpu < <(python3 -c "
import json, sys
b = json.loads(sys.argv[1])['benchmarks'][0]
print(b['real_time'] / 1e3, b['cpu_time'] / 1e3)" "$result")

python3 - "$spice_per_trial" "$spice_cpu_per_trial" "$corvane_run" "$corvane_cpu" "$trials" <<'PY'
import sys
spice, spice_cpu, run, run_cpu, trials = map(float, sys.argv[1:])
ours, ours_cpu = run / 10000, run_cpu / 10000
print(f"ngspice:  {spice * 1e3:8.3f} ms wall, {spice_cpu * 1e3:8.3f} ms CPU per trial "
      f"({int(trials)} trials of 1001 AC points, start-up subtracted)")
print(f"corvane:  {ours * 1e6:8.3f} us wall, {ours_cpu * 1e6:8.3f} us CPU per trial "
      f"(10000 trials in {run * 1e3:.1f} ms wall, {run_cpu * 1e3:.1f} ms CPU over all threads)")
print(f"ratio:    {spice / ours:8.0f} x wall, {spice_cpu / ours_cpu:8.0f} x CPU")
PY
