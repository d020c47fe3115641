#!/usr/bin/env python3
# SPDX-License-Identifier: Apache-2.0
"""Writes data/catalogue/generic-e24.csv: E24 values (E12 among them) with typical figures of
common SMD packages. Generic figures for planning, no vendor's data: check the parts you buy."""
import math
import sys

E24 = [1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
       3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1]
E12 = set(E24[::2])


def eng(value, unit):
    for exp, prefix in ((-15, "f"), (-12, "p"), (-9, "n"), (-6, "u"), (-3, "m"), (0, ""), (3, "k"), (6, "M"),
                        (9, "G")):
        scaled = value / 10.0 ** exp
        if scaled < 999.5:
            return f"{scaled:.3g}{prefix}{unit}"
    return f"{value:g}{unit}"


def srf(inductance, capacitance):
    return 1.0 / (2 * math.pi * math.sqrt(inductance * capacitance))


def rows():
    for decade in range(-12, -6):  # 1 pF to 910 nF
        for m in E24:
            c = m * 10.0 ** decade
            series = "E12" if m in E12 else "E24"
            if c < 10e-9:  # C0G/NP0: high Q, 0603, 0.6 nH of mounting inductance
                yield ("C", c, 5 if c >= 10e-12 else 10, 1000, 1e8 if c <= 1e-9 else 1e7, srf(0.6e-9, c), 0.05,
                       "0603 C0G",
                       f"GEN-C0G-0603-{eng(c, 'F')}", series)
            else:  # X7R, 0805, 0.8 nH
                yield ("C", c, 10, 50, 1e6, srf(0.8e-9, c), 0.02, "0805 X7R",
                       f"GEN-X7R-0805-{eng(c, 'F')}", series)
    for decade in range(-9, -4):  # 1 nH to 91 uH
        for m in E24:
            l = m * 10.0 ** decade
            series = "E12" if m in E12 else "E24"
            if l < 1e-6:  # ceramic-core wirewound 0603, about 0.1 pF across its winding
                yield ("L", l, 5, 40, 2.5e8, srf(l, 0.1e-12), 0.05 + 0.8e6 * l, "0603 wirewound",
                       f"GEN-WW-0603-{eng(l, 'H')}", series)
            else:  # ferrite-core wirewound 1210, about 1.5 pF
                yield ("L", l, 10, 30, 7.96e6, srf(l, 1.5e-12), 0.2 + 3e4 * l, "1210 wirewound",
                       f"GEN-WW-1210-{eng(l, 'H')}", series)


def main(path):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write("# Corvane generic parts catalogue: E24 values, E12 among them (see the last column).\n")
        out.write("# GENERIC TYPICAL FIGURES, NO VENDOR DATA: the manufacturer is 'generic' and the part\n")
        out.write("# numbers are placeholders. Check Q, self-resonance and resistance against the parts you buy.\n")
        out.write("# Made by scripts/make-generic-catalogue.py.\n")
        out.write("kind,value,tolerance,q,q_freq,srf,resistance,package,manufacturer,part_number\n")
        for kind, value, tol, q, qf, f0, r, package, number, series in rows():
            unit = "H" if kind == "L" else "F"
            out.write(f"{kind},{eng(value, unit)},{tol}%,{q},{eng(qf, 'Hz')},{eng(f0, 'Hz')},{r:.3g},"
                      f"{package},generic,{number}-{series}\n")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/catalogue/generic-e24.csv")
