// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/Designs.h"
#include "tests/support/SpiceDeck.h"
#include "tests/support/TempFolder.h"
#include "export/ExportError.h"
#include "export/ExportSweep.h"
#include "export/SpiceNetlist.h"

using namespace corvane;

namespace {

double Value(const SpiceDeck& deck, const std::string& name)
{
    return std::stod(deck.elements.at(name).value);
}

// The parts of the ladder and its terminations, without the DC leaks to ground.
size_t CircuitElements(const SpiceDeck& deck)
{
    size_t count = 0;
    for (const auto& entry : deck.elements) count += entry.first.rfind("RDC", 0) == 0 ? 0 : 1;
    return count;
}

TEST(SpiceNetlist, ButterworthLowPassTIsWiredSourceToLoad)
{
    // N = 3, 10 MHz, 50 ohm: L1 = L3 = 7.9577e-7 H in the line, C2 = 6.3662e-10 F across it.
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    const SpiceDeck deck = ParseSpiceDeck(SpiceNetlist(ladder, {1e6, 2e6}, {}, "Butterworth LPF"));
    EXPECT_EQ(deck.title, "* Butterworth LPF");
    EXPECT_EQ(CircuitElements(deck), 6u);
    EXPECT_EQ(deck.elements.at("V1").value, " in 0 DC 0 AC 1");
    const std::vector<std::vector<std::string>> wiring{
        {"RS", "in", "n1"}, {"L1", "n1", "n2"}, {"C2", "n2", "0"}, {"L3", "n2", "out"}, {"RLOAD", "out", "0"}};
    for (const auto& w : wiring) {
        EXPECT_EQ(deck.elements.at(w[0]).a, w[1]) << w[0];
        EXPECT_EQ(deck.elements.at(w[0]).b, w[2]) << w[0];
    }
    EXPECT_EQ(Value(deck, "RS"), 50.0);
    EXPECT_EQ(Value(deck, "RLOAD"), 50.0);
    EXPECT_NEAR(Value(deck, "L1"), 7.9577e-7, 1e-11);
    EXPECT_NEAR(Value(deck, "C2"), 6.3662e-10, 1e-14);
    EXPECT_EQ(deck.frequencies, (std::vector<std::string>{"1000000", "2000000"}));
    EXPECT_TRUE(deck.ended);
}

TEST(SpiceNetlist, BandPassPiHasParallelAndSeriesResonators)
{
    const Ladder ladder = DesignLadder({2, LadderTopology::Pi, 3, 0, 0, 10, 20, 50, 1e6});
    const LadderModel model = ModelOfLadder(ladder);
    const SpiceDeck deck = ParseSpiceDeck(SpiceNetlist(model, {1e7}, {}, "BPF"));
    // Position 1 and 3 across the line (L and C in parallel), 2 in the line through an inner node.
    for (const char* name : {"L1", "C1"}) {
        EXPECT_EQ(deck.elements.at(name).a, "n1") << name;
        EXPECT_EQ(deck.elements.at(name).b, "0") << name;
    }
    for (const char* name : {"L3", "C3"}) {
        EXPECT_EQ(deck.elements.at(name).a, "out") << name;
        EXPECT_EQ(deck.elements.at(name).b, "0") << name;
    }
    EXPECT_EQ(deck.elements.at("L2").a, "n1");
    EXPECT_EQ(deck.elements.at("L2").b, deck.elements.at("C2").a);
    EXPECT_EQ(deck.elements.at("C2").b, "out");
    EXPECT_EQ(deck.elements.at("RS").b, "n1");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(Value(deck, "L" + std::to_string(i)), ladder.branches[i - 1].L, 1e-14 * ladder.branches[i - 1].L);
        EXPECT_NEAR(Value(deck, "C" + std::to_string(i)), ladder.branches[i - 1].C, 1e-14 * ladder.branches[i - 1].C);
    }
}

struct LossCase {
    const char* name;
    PartQuality quality;
    size_t lossResistors;
};

void PrintTo(const LossCase& c, std::ostream* os)
{
    *os << c.name;
}

class LossResistors : public ::testing::TestWithParam<LossCase> {};

TEST_P(LossResistors, FollowEveryLossyPartAndAreSetPerFrequency)
{
    // Chebyshev band-pass, N = 2, T: four parts, two of each kind.
    const LadderModel ladder = DesignModel({5, LadderTopology::T, 2, 0.5, 0, 10, 20, 50, 1e6});
    const SpiceDeck deck = ParseSpiceDeck(SpiceNetlist(ladder, {1e7}, GetParam().quality, "lossy"));
    size_t resistors = 0;
    size_t alters = 0;
    for (const auto& [name, element] : deck.elements) resistors += name.rfind("RQ", 0) == 0 ? 1 : 0;
    for (const std::string& line : deck.controlLines) alters += line.find("alter RQ") != std::string::npos ? 1 : 0;
    EXPECT_EQ(resistors, GetParam().lossResistors);
    EXPECT_EQ(alters, GetParam().lossResistors);
    EXPECT_EQ(CircuitElements(deck), 2 + 1 + 4 + GetParam().lossResistors);
    if (GetParam().quality.QL > 0) {
        // The inductor's resistor sits between it and the next part.
        EXPECT_EQ(deck.elements.at("L1").b, deck.elements.at("RQL1").a);
        EXPECT_EQ(deck.elements.at("RQL1").b, deck.elements.at("C1").a);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LossResistors,
                         ::testing::Values(LossCase{"Ideal", {}, 0}, LossCase{"InductorsOnly", {50, 0}, 2},
                                           LossCase{"CapacitorsOnly", {0, 300}, 2}, LossCase{"Both", {50, 300}, 4}),
                         [](const ::testing::TestParamInfo<LossCase>& info) { return info.param.name; });

// Every part appears in the netlist under the designator the model gave it, second pairs of trap
// arms included, and nothing else but the source, its resistance and the load.
TEST(SpiceNetlist, NamesEveryPartByItsDesignator)
{
    const Ladder ladder{50.0,
                        50.0,
                        {{BranchPlace::Series, BranchKind::Inductor, 1e-6, 0.0},
                         {BranchPlace::Shunt, BranchKind::ParallelArm, 2e-6, 3e-10, 4e-6, 5e-10},
                         {BranchPlace::Series, BranchKind::SeriesArm, 6e-6, 7e-10, 8e-6, 9e-10}}};
    const LadderModel model = ModelOfLadder(ladder);
    const SpiceDeck deck = ParseSpiceDeck(SpiceNetlist(model, {1e7}, {}, "traps"));
    std::set<std::string> expected{"V1", "RS", "RLOAD"};
    for (const ModelBranch& branch : model.branches)
        for (const ModelPart& part : branch.parts) {
            expected.insert(part.designator);
            EXPECT_EQ(Value(deck, part.designator), part.value) << part.designator;
        }
    std::set<std::string> names;
    for (const auto& [name, element] : deck.elements)
        if (name.rfind("RDC", 0) != 0) names.insert(name); // the DC paths are tested in ngspice
    EXPECT_EQ(names, expected);
    EXPECT_EQ(names.count("C103"), 1u);
}

TEST(SpiceNetlist, NegativeQualityIsRefused)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    EXPECT_THROW(SpiceNetlist(ladder, {1e6}, {-1, 0}, "x"), ArithmeticError);
}

TEST(SpiceNetlist, TitleStaysOnTheFirstLine)
{
    const SpiceDeck deck = ParseSpiceDeck(SpiceNetlist(LadderModel{50, 50, {}, {}, {}, {}}, {1e6}, {}, "two\nlines"));
    EXPECT_EQ(deck.title, "* two lines");
    // With no parts the source resistor meets the load at the output node.
    EXPECT_EQ(deck.elements.at("RS").b, "out");
    EXPECT_EQ(deck.elements.at("RLOAD").a, "out");
}

TEST(SpiceNetlist, FileCarriesTheExportedPointsInHertz)
{
    TempFolder folder;
    const std::string path = folder.Path("ladder.cir");
    Sweep Freq = LinearSweep(-2, 7.9); // -2, -1.9, ..., 7.9 kHz
    Freq[20] = 1e-10; // the point that would be 0
    WriteSpiceNetlist(path, DesignModel({1, LadderTopology::T, 3, 0, 1, 0, 0, 50, 1e3}), List(Freq), 1e3, {}, "HPF");
    const SpiceDeck deck = ParseSpiceDeck(ReadFile(path));
    const std::vector<double> expected = ExportFrequencies(List(Freq));
    ASSERT_EQ(deck.frequencies.size(), expected.size());
    EXPECT_EQ(deck.frequencies.size(), 80u);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(std::stod(deck.frequencies[i]), expected[i] * 1e3, 1e-14 * expected[i] * 1e3) << i;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"ladder.cir"});
}

TEST(SpiceNetlist, UnwritablePathThrowsAndWritesNothing)
{
    TempFolder folder;
    EXPECT_THROW(WriteSpiceNetlist(folder.Path("missing/x.cir"), LadderModel{50, 50, {}, {}, {}, {}},
                                   List(LinearSweep(1, 100)), 1e6, {}, "x"),
                 ExportError);
    EXPECT_TRUE(folder.Names().empty());
}

} // namespace
