// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <string>
#include <vector>

// ngspice's AC solution of an exported netlist as the two-port a network analyser would measure:
// S21 = 2 sqrt(RS/RL) V(out) and S11 = 2 V(n1) - 1 for the 1 V source behind RS. A linear sweep of
// points from startHz to stopHz; empty when the run failed.
struct SimulatedTwoPortPoint {
    double hz;
    std::complex<double> S11, S21;
};
std::vector<SimulatedTwoPortPoint> SimulateTwoPort(const std::string& netlist, double RS, double RL, double startHz,
                                                   double stopHz, int points, const std::string& folder);
