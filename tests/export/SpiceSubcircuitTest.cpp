// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export/SpiceNetlist.h"
#include "synthesis/Synthesis.h"
#include "tests/support/Designs.h"
#include "tests/support/Ngspice.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// The test bench netlist with its ladder taken out and the subcircuit instanced in its place:
// the source, its resistance, the load and the control block stay as they are.
std::string BenchAroundSubcircuit(const std::string& bench, const std::string& subcircuitPath)
{
    std::istringstream lines(bench);
    std::ostringstream out;
    std::string line;
    bool inLadder = false;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, a, b, value;
        words >> name >> a >> b >> value;
        if (name == "RS") {
            // A ladder without a series branch has one node, which the bench calls "out".
            if (b == "out") b = "n1";
            out << "RS " << a << ' ' << b << ' ' << value << "\n.include " << subcircuitPath << "\nXLADDER " << b
                << " out 0 " << kSpiceSubcircuitName << '\n';
            inLadder = true;
            continue;
        }
        if (name == "RLOAD") inLadder = false;
        const bool ladderLine =
            inLadder || name.rfind("RDC", 0) == 0 || name == "alter" || (name == "*" && a == "RDC:");
        if (!ladderLine) out << line << '\n';
    }
    return out.str();
}

std::vector<SimulatedPoint> Simulate(const std::string& path)
{
    const NgspiceRun run = RunNgspice(path);
    EXPECT_EQ(run.status, 0) << run.output.substr(0, 3000);
    return ParseNgspiceTable(run.output);
}

struct SubcircuitCase {
    const char* name;
    LadderModel ladder;
    PartQuality quality;
    std::vector<double> hz;
};

std::vector<double> Spread(double low, double high, int n)
{
    std::vector<double> hz;
    for (int i = 0; i < n; ++i) hz.push_back(low * std::pow(high / low, i / (n - 1.0)));
    return hz;
}

LadderModel EllipticBandPass()
{
    synthesis::DesignRequest request;
    request.response = {synthesis::Family::Elliptic, 4, 0.5L, 40.0L};
    request.type = synthesis::FilterType::BandPass;
    request.lowHz = 8e6;
    request.highHz = 12e6;
    return synthesis::Synthesise(request).ladder;
}

// One shunt capacitor: the ladder's input and output are one node.
LadderModel ShuntOnly()
{
    LadderModel ladder;
    ladder.RS = ladder.RL = 50.0;
    ladder.branches.push_back(MakeBranch(1, BranchPlace::Shunt, BranchKind::Capacitor, 0.0, 6.4e-10));
    return ladder;
}

// The subcircuit in the test bench simulates as the test bench itself does, and both as the analysis.
TEST(SpiceSubcircuit, InstancedInTheTestBenchSimulatesAsTheBench)
{
    if (!NgspiceInstalled()) GTEST_SKIP() << "ngspice is not installed (Debian package ngspice)";
    const SubcircuitCase cases[] = {
        {"LossyChebyshevT5",
         DesignModel({3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6}),
         {50, 200},
         Spread(1e5, 4e7, 25)},
        {"LossyEllipticBandPassTraps", EllipticBandPass(), {80, 300}, Spread(4e6, 20e6, 25)},
        {"ShuntCapacitorOnly", ShuntOnly(), {0, 100}, Spread(1e6, 1e9, 13)},
    };
    for (const SubcircuitCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string benchText = SpiceNetlist(c.ladder, c.hz, c.quality, c.name);
        const std::string subPath = folder.Path("ladder.sub");
        WriteSpiceSubcircuit(subPath, c.ladder, c.quality, c.name);
        std::ofstream(folder.Path("bench.cir")) << benchText;
        std::ofstream(folder.Path("instanced.cir")) << BenchAroundSubcircuit(benchText, subPath);
        const std::vector<SimulatedPoint> bench = Simulate(folder.Path("bench.cir"));
        const std::vector<SimulatedPoint> instanced = Simulate(folder.Path("instanced.cir"));
        ASSERT_EQ(bench.size(), c.hz.size());
        ASSERT_EQ(instanced.size(), c.hz.size());
        const Ladder ladder = LadderOfModel(c.ladder);
        for (size_t i = 0; i < c.hz.size(); ++i) {
            const double exact = AnalyseAt(ladder, c.hz[i], c.quality).S21dB;
            if (exact < -100.0) continue;
            EXPECT_NEAR(instanced[i].s21db, bench[i].s21db, 1e-6) << "at " << c.hz[i] << " Hz";
            EXPECT_NEAR(instanced[i].s21db, exact, 0.01) << "at " << c.hz[i] << " Hz";
        }
    }
}

} // namespace
