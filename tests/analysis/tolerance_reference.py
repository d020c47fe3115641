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
frequency), then "yield Y".

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

    w = 2 * np.pi * f[np.newaxis, :]
    rl = 1 / QL if QL > 0 else 0.0
    rc = 1 / QC if QC > 0 else 0.0
    A = np.ones((trials, f.size), complex)
    B = np.zeros_like(A)
    C = np.zeros_like(A)
    D = np.ones_like(A)
    for place, kind, L0, C0 in branches:
        L = L0 * factors(tolL) if "L" in kind else None
        Cap = C0 * factors(tolC) if "C" in kind else None
        zL = w * L * (rl + 1j) if L is not None else None
        zC = (rc - 1j) / (w * Cap) if Cap is not None else None
        if place == "series":
            Z = zL if kind == "L" else zC if kind == "C" else zL + zC
            A, B, C, D = A, A * Z + B, C, C * Z + D
        else:
            Y = 1 / zL if kind == "L" else 1 / zC if kind == "C" else 1 / zL + 1 / zC
            A, B, C, D = A + B * Y, B, C + D * Y, D
    den = A * RL + B + C * RS * RL + D * RS
    s21 = 20 * np.log10(np.abs(2 * np.sqrt(RS * RL) / den))
    s11 = 20 * np.log10(np.abs((A * RL + B - C * RS * RL - D * RS) / den))

    for curve in (s21, s11):
        for p in (5, 50, 95):
            print(" ".join(repr(v) for v in np.percentile(curve, p, axis=0)))
    loss = -s21
    margin = np.full(trials, np.inf)
    fa = np.abs(f)
    if not np.isnan(maxLoss):
        inPass = (fa >= passLow) & (fa <= passHigh)
        if inPass.any():
            margin = np.minimum(margin, (maxLoss - loss[:, inPass]).min(axis=1))
    if not np.isnan(stopAtt):
        inStop = fa >= stopAbove
        if inStop.any():
            margin = np.minimum(margin, (loss[:, inStop] - stopAtt).min(axis=1))
    print("yield", repr(float(np.mean(margin >= 0))))


if __name__ == "__main__":
    main()
