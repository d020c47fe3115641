// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <stdexcept>

#include "design/LadderModel.h"

using namespace corvane;

namespace {

// The kind back from a designator, over every shape Designator() writes and texts that merely
// resemble one.
TEST(Designator, GivesBackItsKindAndNothingForOtherTexts)
{
    for (const PartKind kind : {PartKind::Inductor, PartKind::Capacitor, PartKind::Resistor})
        for (int position : {1, 9, 10, 107})
            for (bool second : {false, true})
                EXPECT_EQ(DesignatorKind(Designator(kind, position, second)), kind) << position;
    for (const char* odd : {"", "L", "C", "LB", "L0", "L01", "C2C", "L2BB", "L2b", "l2", "c3", "X3", "L-1", "L 2", "2L",
                            "L2.5", "RS", "\u03a91"})
        EXPECT_EQ(DesignatorKind(odd), std::nullopt) << odd;
}

TEST(Designator, NamesKindPositionAndSecondPair)
{
    struct Case {
        PartKind kind;
        int position;
        bool second;
        const char* name;
    };
    const Case cases[] = {{PartKind::Inductor, 1, false, "L1"},
                          {PartKind::Capacitor, 2, false, "C2"},
                          {PartKind::Inductor, 2, true, "L102"},
                          {PartKind::Capacitor, 12, true, "C112"},
                          {PartKind::Resistor, 3, false, "R3"}};
    for (const Case& c : cases) EXPECT_EQ(Designator(c.kind, c.position, c.second), c.name);
}

// Design files and command lines written before name the second pairs L3B and C3B; they still find
// their part. Any other text is left for the caller to refuse.
TEST(Designator, EarlierSecondPairNamesFindTheirPart)
{
    LadderModel ladder{50.0, 50.0, {MakeBranch(3, BranchPlace::Series, BranchKind::SeriesArm, 1e-6, 1e-9, 2e-6, 2e-9)},
                       {},   {},   {}};
    const std::pair<const char*, const char*> cases[] = {{"L3B", "L103"}, {"C3B", "C103"}, {"L103", "L103"},
                                                         {"C3", "C3"},    {"L0B", "L0B"},  {"R3B", "R3B"},
                                                         {"L3b", "L3b"},  {"LB", "LB"},    {"L3BB", "L3BB"}};
    for (const auto& [given, current] : cases) EXPECT_EQ(CurrentDesignator(given), current) << given;
    ASSERT_NE(FindPart(ladder, "C3B"), nullptr);
    EXPECT_EQ(FindPart(ladder, "C3B")->value, 2e-9);
    EXPECT_EQ(FindPart(ladder, "L4B"), nullptr);
}

struct ShapeCase {
    BranchKind shape;
    std::vector<std::string> designators; // at position 4
};

class BranchShapes : public ::testing::TestWithParam<ShapeCase> {};

// Every shape's parts are named and carry its values, and the compact ladder comes back unchanged.
TEST_P(BranchShapes, NameEveryPartAndRoundTrip)
{
    const ShapeCase& c = GetParam();
    LadderBranch first{BranchPlace::Series, BranchKind::Inductor, 1e-6, 0.0};
    LadderBranch second{BranchPlace::Shunt, BranchKind::Capacitor, 0.0, 2e-9};
    LadderBranch third{BranchPlace::Series, BranchKind::Inductor, 3e-6, 0.0};
    const bool four = c.designators.size() == 4;
    const bool hasL = c.shape != BranchKind::Capacitor;
    const bool hasC = c.shape != BranchKind::Inductor;
    LadderBranch probe{BranchPlace::Shunt, c.shape,           hasL ? 4e-6 : 0.0,
                       hasC ? 5e-9 : 0.0,  four ? 6e-6 : 0.0, four ? 7e-9 : 0.0};
    const Ladder ladder{50.0, 75.0, {first, second, third, probe}};
    const LadderModel model = ModelOfLadder(ladder);
    ASSERT_EQ(model.branches.size(), 4u);
    EXPECT_EQ(model.RS, 50.0);
    EXPECT_EQ(model.RL, 75.0);
    const ModelBranch& arm = model.branches[3];
    EXPECT_EQ(arm.shape, c.shape);
    EXPECT_EQ(arm.place, BranchPlace::Shunt);
    std::vector<std::string> names;
    for (const ModelPart& part : arm.parts) {
        names.push_back(part.designator);
        EXPECT_EQ(part.kind, part.designator[0] == 'L' ? PartKind::Inductor : PartKind::Capacitor);
    }
    EXPECT_EQ(names, c.designators);
    const Ladder back = LadderOfModel(model);
    ASSERT_EQ(back.branches.size(), 4u);
    const LadderBranch& b = back.branches[3];
    EXPECT_EQ(b.kind, probe.kind);
    EXPECT_EQ(b.place, probe.place);
    EXPECT_EQ(b.L, probe.L);
    EXPECT_EQ(b.C, probe.C);
    EXPECT_EQ(b.L2, probe.L2);
    EXPECT_EQ(b.C2, probe.C2);
    EXPECT_EQ(back.RS, 50.0);
    EXPECT_EQ(back.RL, 75.0);
}

INSTANTIATE_TEST_SUITE_P(EveryShape, BranchShapes,
                         ::testing::Values(ShapeCase{BranchKind::Inductor, {"L4"}},
                                           ShapeCase{BranchKind::Capacitor, {"C4"}},
                                           ShapeCase{BranchKind::Resonator, {"L4", "C4"}},
                                           ShapeCase{BranchKind::SeriesLC, {"L4", "C4"}},
                                           ShapeCase{BranchKind::ParallelLC, {"L4", "C4"}},
                                           ShapeCase{BranchKind::SeriesArm, {"L4", "C4", "L104", "C104"}},
                                           ShapeCase{BranchKind::ParallelArm, {"L4", "C4", "L104", "C104"}}));

TEST(LadderOfModel, RefusesPartsThatDoNotFitTheShape)
{
    const ModelBranch resonator = MakeBranch(2, BranchPlace::Series, BranchKind::Resonator, 1e-6, 1e-9);
    ModelBranch missing = resonator;
    missing.parts.pop_back();
    ModelBranch swapped = resonator;
    std::swap(swapped.parts[0], swapped.parts[1]);
    ModelBranch resistor = MakeBranch(2, BranchPlace::Series, BranchKind::Inductor, 1e-6, 0.0);
    resistor.parts[0] = {PartKind::Resistor, 10.0, "R2", {}, {}, {}};
    for (const ModelBranch& bad : {missing, swapped, resistor}) {
        const LadderModel model{50.0, 50.0, {bad}, {}, {}, {}};
        EXPECT_THROW(LadderOfModel(model), std::invalid_argument);
    }
    EXPECT_NO_THROW(LadderOfModel(LadderModel{50.0, 50.0, {resonator}, {}, {}, {}}));
}

} // namespace
