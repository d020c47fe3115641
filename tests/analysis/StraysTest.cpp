// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/InputRules.h"
#include "analysis/NetworkResponse.h"
#include "analysis/PartModels.h"
#include "analysis/Strays.h"
#include "tests/support/Designs.h"

using namespace corvane;

namespace {

// A Pi ladder has a shunt capacitor at every node: once each has given up its node's stray, the
// board and the parts together are the designed ladder again, whatever the frequency.
TEST(AbsorbStrays, PiLadderWithEveryNodeAbsorbedIsTheDesignAgain)
{
    const LadderModel designed = DesignModel({3, LadderTopology::Pi, 5, 0.5, 10, 0, 0, 50, 1e6});
    LadderModel board = designed;
    board.strays.nodeC = 6e-12;
    board.strays.nodeCAt[2] = 15e-12;
    const AbsorbedStrays result = AbsorbStrays(board);
    EXPECT_EQ(result.absorbed, (std::vector<std::string>{"C1", "C3", "C5"}));
    EXPECT_TRUE(result.refused.empty());
    EXPECT_DOUBLE_EQ(board.branches[2].parts[0].value, designed.branches[2].parts[0].value - 15e-12);
    const Ladder ideal = LadderOfModel(designed);
    for (double hz : {1e6, 9e6, 10.5e6, 25e6}) {
        const NetworkPoint with = AnalyseModelAt(board, hz, {});
        EXPECT_NEAR(with.S21dB, AnalyseAt(ideal, hz, {}).S21dB, 1e-9) << hz;
    }
}

// In a T ladder the end nodes carry no capacitor; a capacitor smaller than its node's stray is named
// and kept whole.
TEST(AbsorbStrays, NodesWithoutRoomKeepTheirStrays)
{
    LadderModel board = DesignModel({0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
    board.strays.nodeC = 1e-12;
    board.strays.nodeCAt[2] = 1e-6; // far above C2 = 636.6 pF
    const double C2 = board.branches[1].parts[0].value;
    const AbsorbedStrays result = AbsorbStrays(board);
    EXPECT_TRUE(result.absorbed.empty());
    ASSERT_EQ(result.refused.size(), 1u);
    EXPECT_EQ(result.refused[0], "C2 (637 pF) cannot absorb the 1 \u00b5F stray of its node: it would go to zero "
                                 "or below; it is kept.");
    EXPECT_EQ(board.branches[1].parts[0].value, C2);
    EXPECT_EQ(NodeCapacitance(board, 1), 1e-12);
    EXPECT_EQ(NodeCapacitance(board, 2), 1e-6);
}

// A stray at a node the ladder does not have would be dropped in silence: it is refused by name.
TEST(AbsorbStrays, AStrayAtANodeTheLadderLacksIsRefused)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6});
    EXPECT_EQ(NodeCount(ladder), 4);
    AnalysisOptions options;
    options.strays.emplace().nodeCAt[4] = 1e-12;
    EXPECT_NO_THROW(AnalyseDesign(ladder, options, {10}, 1e6));
    options.strays->nodeCAt[5] = 1e-12;
    try {
        AnalyseDesign(ladder, options, {10}, 1e6);
        ADD_FAILURE() << "n5 was taken";
    } catch (const InputError& error) {
        EXPECT_STREQ(error.what(), "The ladder has nodes n1 to n4; a stray is given at n5.");
    }
}

// "out" is the load's node, as the netlist calls it: the last node, whatever the ladder's length.
TEST(AbsorbStrays, TheOutputNodeIsTheLastOne)
{
    const LadderModel ladder = DesignModel({0, LadderTopology::T, 5, 0, 10, 0, 0, 50, 1e6});
    AnalysisOptions byName, byNumber;
    byName.strays = ReadNodeStrays("1p, out 4p", "--node-c");
    byNumber.strays = ReadNodeStrays("1p, n4 4p", "--node-c");
    const std::vector<double> mhz{5, 10, 15};
    EXPECT_EQ(AnalyseDesign(ladder, byName, mhz, 1e6).curves.NetS21,
              AnalyseDesign(ladder, byNumber, mhz, 1e6).curves.NetS21);
    EXPECT_NE(AnalyseDesign(ladder, byName, mhz, 1e6).curves.NetS21, AnalyseDesign(ladder, {}, mhz, 1e6).curves.NetS21);
    AnalysisOptions both;
    both.strays = ReadNodeStrays("out 4p, n4 1p", "--node-c");
    EXPECT_THROW(AnalyseDesign(ladder, both, mhz, 1e6), InputError);
    EXPECT_THROW(ReadNodeStrays("out 4p, out 1p", "--node-c"), InputError);
}

} // namespace
