// SPDX-License-Identifier: Apache-2.0
#include "tests/support/Ngspice.h"

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "export/SpiceNetlist.h"

using namespace corvane;

bool NgspiceInstalled()
{
    return std::system("command -v ngspice >/dev/null 2>&1") == 0;
}

NgspiceRun RunNgspice(const std::string& netlistPath)
{
    const std::string command = "ngspice -b '" + netlistPath + "' 2>&1";
    NgspiceRun run{-1, ""};
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

std::vector<std::string> WarningLines(const std::string& output)
{
    std::vector<std::string> found;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::string lower(line);
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (const char* word : {"warning", "singular", "gmin", "error"})
            if (lower.find(word) != std::string::npos) {
                found.push_back(line);
                break;
            }
    }
    return found;
}

std::vector<SimulatedPoint> ParseNgspiceTable(const std::string& output)
{
    std::vector<SimulatedPoint> points;
    std::istringstream lines(output);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first, second, third, fourth;
        words >> first >> second >> third >> fourth;
        if (first == "Index") {
            inTable = second == kSpiceFrequencyName && third == kSpiceOutputName && fourth == kSpiceGainName;
            continue;
        }
        if (!inTable || first.empty() || !std::isdigit(static_cast<unsigned char>(first[0]))) continue;
        if (std::stoul(first) != points.size()) continue;
        points.push_back({std::stod(second), std::stod(third), std::stod(fourth)});
    }
    return points;
}

std::vector<TransientPoint> SimulateStep(const std::string& netlist, double stopSeconds, double stepSeconds,
                                         const std::string& folder)
{
    const std::string source = "V1 in 0 DC 0 AC 1\n";
    std::string deck = netlist.substr(0, netlist.find(".control"));
    const size_t at = deck.find(source);
    if (at == std::string::npos) return {};
    deck.replace(at, source.size(), "V1 in 0 PULSE(0 1 0 1e-15 1e-15 1 2)\n");
    // "//" would start a comment in a control line.
    std::string base = folder;
    while (!base.empty() && base.back() == '/') base.pop_back();
    const std::string data = base + "/step.dat";
    std::ostringstream control;
    control.precision(17);
    control << ".options reltol=1e-7 abstol=1e-15 vntol=1e-12 method=gear maxord=6\n"
            << ".control\nset wr_singlescale\nset numdgt=15\n"
            << "tran " << stepSeconds << ' ' << stopSeconds << " 0 " << stepSeconds << '\n'
            << "wrdata " << data << " v(out)\nquit 0\n.endc\n.end\n";
    deck += control.str();
    const std::string path = base + "/step.cir";
    {
        std::ofstream file(path);
        file << deck;
    }
    if (RunNgspice(path).status != 0) return {};
    std::vector<TransientPoint> points;
    std::ifstream rows(data);
    double t = 0.0, v = 0.0;
    while (rows >> t >> v) points.push_back({t, v});
    return points;
}
