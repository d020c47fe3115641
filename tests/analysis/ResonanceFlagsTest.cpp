// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/ResonanceFlags.h"
#include "tests/support/Designs.h"

namespace {

// The 3-pole Butterworth low-pass at 10 MHz: L1 795.8 nH, C2 636.6 pF, L3 795.8 nH.
LadderModel LowPass10()
{
    return DesignModel(Design{0, LadderTopology::T, 3, 0, 10, 0, 0, 50, 1e6});
}

std::vector<std::string> Flagged(const LadderModel& ladder)
{
    std::vector<std::string> parts;
    for (const PartFlag& flag : FlagBuiltParts(ladder, {}, {BandShape::LowPass, 0.0, 10e6}, 30e6, {}))
        parts.push_back(flag.designator + ": " + flag.brief);
    return parts;
}

} // namespace

// A part that resonates by itself at or below the highest passband frequency is flagged; one that
// resonates above it is not. A capacitor's resonance comes from its ESL and its leads together:
// 636.6 pF with 0.2 nH ESL and 0.2 nH of leads resonates at 1/(2 pi sqrt(0.4 nH 636.6 pF)) = 315 MHz.
TEST(ResonanceFlags, PartsResonantInsideThePassbandAreFlagged)
{
    LadderModel ladder = LowPass10();
    EXPECT_TRUE(Flagged(ladder).empty());
    ladder.inductorModel.srfHz = 10e6;
    EXPECT_EQ(Flagged(ladder),
              (std::vector<std::string>{"L1: self-resonant at 10 MHz", "L3: self-resonant at 10 MHz"}));
    ladder.inductorModel.srfHz = 10.01e6;
    EXPECT_TRUE(Flagged(ladder).empty());

    ladder = LowPass10();
    ladder.capacitorModel.esl = 0.2e-9;
    ladder.strays.leadL = 0.2e-9;
    EXPECT_TRUE(Flagged(ladder).empty()) << "315 MHz is far above the passband";
    const std::vector<PartFlag> flags = SelfResonanceFlags(ladder, {}, 400e6);
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0].designator, "C2");
    const double expected = 1.0 / (2.0 * M_PI * std::sqrt(0.4e-9 * ladder.branches[1].parts[0].value));
    EXPECT_NE(flags[0].brief.find(std::to_string(static_cast<int>(expected / 1e6))), std::string::npos)
        << flags[0].brief << " against " << expected;
}
