// SPDX-License-Identifier: Apache-2.0
#include "tests/support/Ngspice.h"

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "export/SpiceNetlist.h"

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
