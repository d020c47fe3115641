// SPDX-License-Identifier: Apache-2.0
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/PartRange.h"

using namespace corvane;

namespace {

LadderModel OnePart(PartKind kind, double value)
{
    LadderModel ladder;
    ladder.RS = ladder.RL = 50.0;
    const bool inductor = kind == PartKind::Inductor;
    ladder.branches.push_back(MakeBranch(1, BranchPlace::Series,
                                         inductor ? BranchKind::Inductor : BranchKind::Capacitor,
                                         inductor ? value : 0.0, inductor ? 0.0 : value));
    return ladder;
}

TEST(PartRange, EachLimitFlagsOnlyThePartsBeyondIt)
{
    // At 100 MHz an inductor reaches 2 kOhm at 2000 / (2 pi 1e8) = 3.183 uH.
    struct Case {
        PartKind kind;
        double value;
        std::string says; // "" where the part is in range
    };
    const Case cases[] = {
        {PartKind::Capacitor, 0.99e-12, "C1 = 990 fF is below 1 pF"},
        {PartKind::Capacitor, 1.0e-12, ""},
        {PartKind::Capacitor, 1e-6, ""},
        {PartKind::Inductor, 4.9e-9, "L1 = 4.9 nH is below 5 nH"},
        {PartKind::Inductor, 5.0e-9, ""},
        {PartKind::Inductor, 3.17e-6, ""},
        {PartKind::Inductor, 3.2e-6, "L1 = 3.2 \u00b5H has 2.01 k\u03a9 reactance at 100 MHz, above 2 k\u03a9"},
    };
    for (const Case& c : cases) {
        const std::vector<PartFlag> flags = FlagParts(OnePart(c.kind, c.value), 100e6, PartLimits{});
        if (c.says.empty()) {
            EXPECT_TRUE(flags.empty()) << c.value << ": " << (flags.empty() ? "" : flags[0].reason);
            continue;
        }
        ASSERT_EQ(flags.size(), 1u) << c.value;
        EXPECT_EQ(flags[0].designator, c.kind == PartKind::Inductor ? "L1" : "C1");
        EXPECT_EQ(flags[0].reason.rfind(c.says, 0), 0u) << flags[0].reason;
    }
    // The limits are settings: a 10 pF floor flags the 4.7 pF part, a 1 kOhm ceiling the 3.17 uH one.
    PartLimits strict;
    strict.minCapacitance = 10e-12;
    strict.maxInductorReactance = 1000.0;
    EXPECT_EQ(FlagParts(OnePart(PartKind::Capacitor, 4.7e-12), 100e6, strict).size(), 1u);
    EXPECT_EQ(FlagParts(OnePart(PartKind::Inductor, 3.17e-6), 100e6, strict).size(), 1u);
}

TEST(PartRange, TheHighestPassbandFrequencyFollowsTheBand)
{
    // A low-pass and a band-pass end at their upper edge; a high-pass and a band-stop pass on up to
    // the top of what is analysed.
    EXPECT_EQ(HighestPassbandHz({BandShape::LowPass, 0.0, 30e6}, 100e6), 30e6);
    EXPECT_EQ(HighestPassbandHz({BandShape::BandPass, 99.5e6, 100.5e6}, 200e6), 100.5e6);
    EXPECT_EQ(HighestPassbandHz({BandShape::HighPass, 30e6, 0.0}, 100e6), 100e6);
    EXPECT_EQ(HighestPassbandHz({BandShape::BandStop, 8e6, 12e6}, 20e6), 20e6);
}

} // namespace
