// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "analysis/MeasuredParts.h"
#include "tests/support/Designs.h"
#include "tests/support/SeriesPartFile.h"

using namespace corvane;

namespace {

using Cx = std::complex<double>;
const double kTwoPi = 2.0 * M_PI;

// The two equivalents written out as a circuit textbook gives them.
Cx CoilZ(double R, double L, double C, double f)
{
    const double w = kTwoPi * f;
    const Cx series{R, w * L};
    const Cx across{0.0, -1.0 / (w * C)};
    return series * across / (series + across);
}

Cx CapZ(double R, double L, double C, double f)
{
    const double w = kTwoPi * f;
    return {R, w * L - 1.0 / (w * C)};
}

struct FitCase {
    const char* name;
    PartKind kind;
    double R, L, C;
    double lowHz, highHz;
};

// An 0603 coil resonating in the data, one whose resonance lies far above them, and an 0402
// capacitor through its series resonance.
const FitCase kFits[] = {
    {"CoilThroughResonance", PartKind::Inductor, 0.8, 390e-9, 0.066e-12, 10e6, 2e9},
    {"CoilBelowResonance", PartKind::Inductor, 0.05, 1.2e-6, 0.3e-12, 1e6, 60e6},
    {"Capacitor", PartKind::Capacitor, 0.12, 0.4e-9, 100e-12, 10e6, 3e9},
};

class FitOfKnownParts : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitOfKnownParts, RecoversTheElementsOfDataMadeFromThem)
{
    const FitCase& c = GetParam();
    const std::vector<double> f = LogFrequencies(c.lowHz, c.highHz, 41);
    std::vector<Cx> z;
    for (double hz : f) z.push_back(c.kind == PartKind::Inductor ? CoilZ(c.R, c.L, c.C, hz) : CapZ(c.R, c.L, c.C, hz));
    const RlcEquivalent fit = FitRlcEquivalent(c.kind, f, z);
    EXPECT_NEAR(fit.L, c.L, 1e-6 * c.L);
    EXPECT_NEAR(fit.C, c.C, 1e-4 * c.C);
    EXPECT_NEAR(fit.R, c.R, 1e-4 * c.R);
}

INSTANTIATE_TEST_SUITE_P(Parts, FitOfKnownParts, ::testing::ValuesIn(kFits),
                         [](const auto& info) { return std::string(info.param.name); });

// Data from no R-L-C circuit at all (a loss growing with frequency, as skin effect makes it) far
// apart: between the points the impedance still follows the data's own curve.
TEST(MeasuredImpedance, FollowsTheDataBetweenPointsFarApart)
{
    const double L = 1.2e-6, Cp = 0.3e-12;
    const auto lossy = [&](double hz) { return CoilZ(0.05 + kTwoPi * hz * L / 60.0, L, Cp, hz); };
    const std::vector<double> f = LogFrequencies(1e6, 100e6, 11); // ten points a decade is sparse for this
    std::vector<Cx> z;
    for (double hz : f) z.push_back(lossy(hz));
    const MeasuredPart part = MakeMeasuredPart(PartKind::Inductor, "coil.s2p", f, z);
    for (size_t i = 0; i + 1 < f.size(); ++i) {
        const double mid = std::sqrt(f[i] * f[i + 1]);
        const auto got = MeasuredImpedance(PartKind::Inductor, part, part.equivalent.L, kTwoPi * mid).value;
        const Cx want = lossy(mid);
        EXPECT_NEAR(std::abs(Cx(double(got.real()), double(got.imag())) - want) / std::abs(want), 0.0, 2e-3) << mid;
        // The loss grows tenfold over the data, which no constant R of the equivalent follows.
        EXPECT_NEAR(double(got.real()), want.real(), 0.05 * want.real()) << mid;
    }
}

TEST(MeasuredParts, RefuseDataOfTheOtherKindAndTooFewPoints)
{
    const std::vector<double> f = LogFrequencies(1e6, 10e6, 5);
    std::vector<Cx> cap;
    for (double hz : f) cap.push_back(CapZ(0.1, 0.0, 1e-9, hz));
    EXPECT_THROW(MakeMeasuredPart(PartKind::Inductor, "c.s2p", f, cap), MeasuredPartError);
    EXPECT_THROW(MakeMeasuredPart(PartKind::Capacitor, "c.s2p", {1e6, 2e6}, {cap[0], cap[1]}), MeasuredPartError);
    EXPECT_NO_THROW(MakeMeasuredPart(PartKind::Capacitor, "c.s2p", f, cap));
}

TEST(MeasuredParts, ApplyNamesAMissingPartAndWarnOncePerPartOutsideItsData)
{
    LadderModel ladder = DesignModel(Design{3, LadderTopology::T, 5, 0.5, 10, 0, 0, 50, 1e6});
    const std::vector<double> f = LogFrequencies(1e6, 50e6, 11);
    std::vector<Cx> z;
    for (double hz : f) z.push_back(CoilZ(0.1, 1.5e-6, 0.2e-12, hz));
    const auto part = std::make_shared<const MeasuredPart>(MakeMeasuredPart(PartKind::Inductor, "l3.s2p", f, z));
    try {
        ApplyMeasuredParts(ladder, {{"L9", part}});
        ADD_FAILURE() << "no refusal";
    } catch (const MeasuredPartError& error) {
        EXPECT_NE(std::string(error.what()).find("L9"), std::string::npos);
    }
    ApplyMeasuredParts(ladder, {{"L3", part}});
    EXPECT_NEAR(ladder.branches[2].parts[0].value, 1.5e-6, 1e-12);
    EXPECT_TRUE(MeasuredRangeWarnings(ladder, 1e6, 50e6).empty());
    const std::vector<std::string> warnings = MeasuredRangeWarnings(ladder, 1e6, 100e6);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("L3 (l3.s2p)"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("50.0 MHz"), std::string::npos) << warnings[0];
}

} // namespace
