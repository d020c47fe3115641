#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Independent Monte Carlo of a perturbed LC ladder, for comparison with the tolerance engine.

Reads on stdin:
    RS RL QL QC
    DISTRIBUTION TOL_L_PERCENT TOL_C_PERCENT TRIALS SEED
    MASK PASS_LOW PASS_HIGH MAX_PASS_LOSS STOP_ABOVE STOP_ATT   (nan for an absent bound)
    one line per branch: series|shunt L|C|LC L_HENRY C_FARAD
    FREQ f1 f2 ...
Prints one line per statistic: s21p05, s21p50, s21p95, s11p05, s11p50, s11p95 (dB, one value per
frequency), then "yield Y N", the share of the first N trials that meet the mask on dense grids of its own.

The ladder is a cascade of 2x2 chain matrices in complex numpy arrays over (trial, frequency);
S21 and S11 are the textbook power-wave formulas between RS and RL. The random numbers are
numpy's own, so only the distributions can be compared, never individual trials.
"""
import sys

import numpy as np


def main():
    lines = [l.split() for l in sys.stdin.read().strip().splitlines()]
    RS, RL, QL, QC = map(float, lines[0])
    dist = lines[1][0]
    tolL, tolC = float(lines[1][1]) / 100, float(lines[1][2]) / 100
    trials, seed = int(lines[1][3]), int(lines[1][4])
    _, passLow, passHigh, maxLoss, stopAbove, stopAtt = lines[2][0], *map(float, lines[2][1:])
    branches = [(b[0], b[1], float(b[2]), float(b[3])) for b in lines[3:-1]]
    f = np.array(list(map(float, lines[-1][1:])))

    rng = np.random.default_rng(seed)

    def factors(tol):
        if dist == "normal":
            return 1.0 + tol / 3.0 * rng.standard_normal((trials, 1))
        return 1.0 + tol * rng.uniform(-1.0, 1.0, (trials, 1))

    drawn = []
    for place, kind, L0, C0 in branches:
        drawn.append((L0 * factors(tolL) if "L" in kind else None, C0 * factors(tolC) if "C" in kind else None))

    def response(freqs, rows):
        w = 2 * np.pi * freqs[np.newaxis, :]
        rl = 1 / QL if QL > 0 else 0.0
        rc = 1 / QC if QC > 0 else 0.0
        A = np.ones((rows.stop - rows.start, freqs.size), complex)
        B = np.zeros_like(A)
        C = np.zeros_like(A)
        D = np.ones_like(A)
        for (place, kind, _, _), (L, Cap) in zip(branches, drawn):
            zL = w * L[rows] * (rl + 1j) if L is not None else None
            zC = (rc - 1j) / (w * Cap[rows]) if Cap is not None else None
            if place == "series":
                Z = zL if kind == "L" else zC if kind == "C" else zL + zC
                A, B, C, D = A, A * Z + B, C, C * Z + D
            else:
                Y = 1 / zL if kind == "L" else 1 / zC if kind == "C" else 1 / zL + 1 / zC
                A, B, C, D = A + B * Y, B, C + D * Y, D
        den = A * RL + B + C * RS * RL + D * RS
        s21 = 20 * np.log10(np.abs(2 * np.sqrt(RS * RL) / den))
        s11 = 20 * np.log10(np.abs((A * RL + B - C * RS * RL - D * RS) / den))
        return s21, s11

    s21, s11 = response(np.abs(f), slice(0, trials))
    for curve in (s21, s11):
        for p in (5, 50, 95):
            print(" ".join(repr(v) for v in np.percentile(curve, p, axis=0)))

    # The mask on its own uniform grids, whatever the sweep: 501 points over the passband (a
    # ripple peak missed by at most about 0.005 dB) and 100 from the stop frequency to 100 times it.
    passGrid = np.linspace(max(passLow, passHigh * 1e-4), passHigh, 501) if not np.isnan(maxLoss) else None
    stopGrid = np.geomspace(stopAbove, stopAbove * 100, 100) if not np.isnan(stopAtt) else None
    # The first 40 000 trials are measured: enough for a yield to within 0.5 %.
    measured = min(trials, 40000)
    passed = 0
    for first in range(0, measured, 2000):
        rows = slice(first, min(first + 2000, measured))
        margin = np.full(rows.stop - rows.start, np.inf)
        if passGrid is not None:
            margin = np.minimum(margin, (maxLoss + response(passGrid, rows)[0]).min(axis=1))
        if stopGrid is not None:
            margin = np.minimum(margin, (-response(stopGrid, rows)[0] - stopAtt).min(axis=1))
        passed += int(np.sum(margin >= 0))
    print("yield", repr(passed / measured), measured)


if __name__ == "__main__":
    main()
