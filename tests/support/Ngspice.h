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

// The lines where ngspice complains: a warning, an error, a singular matrix, gmin stepping (the
// signs of a node without an operating point or a loop of shorts).
std::vector<std::string> WarningLines(const std::string& output);

struct SimulatedPoint {
    double hz;
    double vout;
    double s21db;
};

// The rows of the one table that an exported netlist's control block prints: index, hz, vout, s21db.
std::vector<SimulatedPoint> ParseNgspiceTable(const std::string& output);

// A transient run of an exported netlist: its AC source becomes a 1 V step at t = 0 (rising in
// a femtosecond), its control block a transient analysis to stopSeconds with steps no longer than
// stepSeconds. Returns V(out) against time from ngspice's own output, empty when the run failed.
struct TransientPoint {
    double t;
    double vout;
};
std::vector<TransientPoint> SimulateStep(const std::string& netlist, double stopSeconds, double stepSeconds,
                                         const std::string& folder);
