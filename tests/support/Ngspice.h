// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

// ngspice is an independent route to a ladder's response: tests that simulate an exported
// netlist skip when it is missing rather than fail.
bool NgspiceInstalled();

struct NgspiceRun {
    int status;
    std::string output;
};

// Runs ngspice in batch mode on the netlist file and collects everything it prints.
NgspiceRun RunNgspice(const std::string& netlistPath);

struct SimulatedPoint {
    double hz;
    double vout;
    double s21db;
};

// The rows of the one table that an exported netlist's control block prints: index, hz, vout, s21db.
std::vector<SimulatedPoint> ParseNgspiceTable(const std::string& output);
