// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "synthesis/Synthesis.h"

using namespace corvane;

using namespace synthesis;

namespace {

const double kTwoPi = 6.283185307179586;

DesignRequest BandPass(Family family, int N, BandPassForm form, double fbw, double RS = 50.0, double RL = 50.0)
{
    DesignRequest r;
    r.response.family = family;
    r.response.N = N;
    r.response.rippleDb = 0.1L;
    r.type = FilterType::BandPass;
    r.bandForm = form;
    r.RS = RS;
    r.RL = RL;
    // Band edges around a geometric centre of 100 MHz.
    const double x = fbw / 2.0;
    r.lowHz = 100e6 * (std::sqrt(x * x + 1.0) - x);
    r.highHz = 100e6 * (std::sqrt(x * x + 1.0) + x);
    return r;
}

double LadderLossDb(const Design& d, double hz)
{
    return -AnalyseAt(LadderOfModel(d.ladder), hz, PartQuality{}).S21dB;
}

// The ladder's loss from the filtermath analysis against the family's response from its
// polynomials, at 201 points across the band and at the edges: the goals the refinement serves.
void ExpectMeetsFamily(const Design& d, const std::string& label)
{
    const DesignRequest& r = d.request;
    double worstFamily = 0.0, worstLadder = 0.0;
    for (int j = 0; j <= 200; ++j) {
        const double hz = r.lowHz + (r.highHz - r.lowHz) * j / 200.0;
        worstFamily = std::max(worstFamily, -TransducerGainDb(d, hz));
        worstLadder = std::max(worstLadder, LadderLossDb(d, hz));
    }
    EXPECT_LE(worstLadder, worstFamily + 0.05) << label;
    for (const double edge : {r.lowHz, r.highHz}) {
        EXPECT_NEAR(LadderLossDb(d, edge), -TransducerGainDb(d, edge), 0.05) << label << " at " << edge;
        // The edge level is crossed within 1 % of the bandwidth of the edge.
        const double level = -TransducerGainDb(d, edge);
        const double margin = 0.01 * (r.highHz - r.lowHz);
        const double inside = edge == r.lowHz ? edge + margin : edge - margin;
        const double outside = edge == r.lowHz ? edge - margin : edge + margin;
        EXPECT_LT(LadderLossDb(d, inside), level + 0.05) << label << " inside " << edge;
        EXPECT_GT(LadderLossDb(d, outside), level) << label << " outside " << edge;
    }
    EXPECT_TRUE(d.fit.meetsGoal) << label;
}

TEST(CoupledResonator, EveryAllPoleFamilyMeetsItsResponseWithEqualInductors)
{
    struct Case {
        Family family;
        int N;
        double fbw;
        double RL;
    };
    const Case cases[] = {
        {Family::Butterworth, 2, 0.05, 50}, {Family::Butterworth, 7, 0.10, 50}, {Family::Chebyshev, 3, 0.10, 50},
        {Family::Chebyshev, 4, 0.05, 50},   {Family::Chebyshev, 5, 0.02, 200},  {Family::Chebyshev, 15, 0.05, 50},
        {Family::Bessel, 4, 0.05, 50},      {Family::Legendre, 6, 0.10, 75},    {Family::Legendre, 15, 0.02, 50}};
    for (const Case& c : cases)
        for (const BandPassForm form : {BandPassForm::TopC, BandPassForm::TopL}) {
            const std::string label = std::string(FamilyName(c.family)) + " N=" + std::to_string(c.N) + " fbw " +
                                      std::to_string(c.fbw) + (form == BandPassForm::TopC ? " top-C" : " top-L");
            DesignRequest r = BandPass(c.family, c.N, form, c.fbw, 50.0, c.RL);
            r.resonatorL = 120e-9;
            const Design d = Synthesise(r);
            const Ladder built = LadderOfModel(d.ladder);
            ASSERT_EQ(built.branches.size(), static_cast<size_t>(2 * c.N + 1)) << label;
            const double w0 = kTwoPi * 100e6;
            for (size_t j = 0; j < built.branches.size(); ++j) {
                const LadderBranch& b = built.branches[j];
                const bool resonator = j % 2 == 1;
                EXPECT_EQ(b.place, resonator ? BranchPlace::Shunt : BranchPlace::Series) << label;
                if (b.kind != BranchKind::Capacitor) {
                    EXPECT_GT(b.L, 0.0) << label << " branch " << j;
                }
                if (b.kind != BranchKind::Inductor) {
                    EXPECT_GT(b.C, 0.0) << label << " branch " << j;
                }
                // Top-C keeps the chosen inductor; top-L the capacitor that resonates with it.
                if (resonator && form == BandPassForm::TopC) {
                    EXPECT_EQ(b.L, 120e-9) << label;
                } else if (resonator) {
                    EXPECT_NEAR(b.C * w0 * w0 * 120e-9, 1.0, 1e-12) << label;
                }
            }
            ExpectMeetsFamily(d, label);
        }
}

TEST(CoupledResonator, NarrowBandCouplingsFollowThePublishedPrototype)
{
    // 0.1 dB Chebyshev, N = 5: g = 1.1468, 1.3712, 1.9750, 1.3712, 1.1468 (Matthaei, Young and
    // Jones, table 4.05-2(a)). At 0.1 % bandwidth a coupling capacitor over the resonator's total
    // capacitance is the coupling coefficient FBW / sqrt(g_i g_i+1).
    const double g[] = {1.1468, 1.3712, 1.9750, 1.3712, 1.1468};
    const double fbw = 0.001;
    DesignRequest r = BandPass(Family::Chebyshev, 5, BandPassForm::TopC, fbw);
    r.resonatorL = 100e-9;
    const Design d = Synthesise(r);
    const Ladder built = LadderOfModel(d.ladder);
    const double w0 = kTwoPi * 100e6;
    const double Cr = 1.0 / (w0 * w0 * 100e-9);
    for (int i = 1; i < 5; ++i) {
        const double k = fbw / std::sqrt(g[i - 1] * g[i]);
        EXPECT_NEAR(built.branches[static_cast<size_t>(2 * i)].C / Cr, k, 2e-3 * k) << "k" << i << i + 1;
    }
    // Every inner resonator with its couplings tunes to the centre: the capacitance its node sees,
    // its own plus its coupling capacitors, resonates with 100 nH at 100 MHz to within the bandwidth.
    for (int i = 2; i <= 4; ++i) {
        const size_t node = static_cast<size_t>(2 * i - 1);
        const double total = built.branches[node].C + built.branches[node - 1].C + built.branches[node + 1].C;
        EXPECT_NEAR(total / Cr, 1.0, fbw) << "resonator " << i;
    }
}

TEST(CoupledResonator, WideBandStatesItsDeviationInsteadOfFailing)
{
    const Design d = Synthesise(BandPass(Family::Butterworth, 3, BandPassForm::TopC, 0.60));
    const DesignRequest& r = d.request;
    double worst = 0.0;
    for (const double edge : {r.lowHz, r.highHz})
        worst = std::max(worst, std::fabs(LadderLossDb(d, edge) - -TransducerGainDb(d, edge)));
    EXPECT_FALSE(d.fit.meetsGoal);
    EXPECT_GT(worst, 0.05);
    EXPECT_NEAR(d.fit.edgeLossErrorDb, worst, 1e-6);
}

TEST(CoupledResonator, RefusalNamesTheResonatorAndAnInductanceThatWorks)
{
    // An 8-pole Bessel at 10 %: the default 79.6 nH leaves the end resonator too little
    // capacitance for its coupling to the source.
    const DesignRequest r = BandPass(Family::Bessel, 8, BandPassForm::TopC, 0.10);
    std::string message;
    try {
        Synthesise(r);
    } catch (const Failure& failure) {
        message = failure.what();
    }
    ASSERT_NE(message.find("Resonator 1 (L2, C2)"), std::string::npos) << message;
    const size_t at = message.find("such as ");
    ASSERT_NE(at, std::string::npos) << message;
    TypedValue suggested;
    ASSERT_TRUE(ReadEngineeringText(message.substr(at + 8, message.size() - at - 9), "H", suggested)) << message;
    DesignRequest retry = r;
    retry.resonatorL = suggested.value;
    const Design d = Synthesise(retry);
    const Ladder built = LadderOfModel(d.ladder);
    for (const LadderBranch& b : built.branches) EXPECT_GT(b.C, 0.0);

    // An inner resonator whose two couplings take more than its whole capacitance: no inductance helps.
    message.clear();
    try {
        Synthesise(BandPass(Family::Bessel, 15, BandPassForm::TopL, 0.05));
    } catch (const Failure& failure) {
        message = failure.what();
    }
    EXPECT_NE(message.find("Resonator 2 (L4, C4)"), std::string::npos) << message;
    EXPECT_NE(message.find("any inductance"), std::string::npos) << message;
}

TEST(CoupledResonator, RefusesWhatTheFormCannotBuild)
{
    DesignRequest lowPass = BandPass(Family::Chebyshev, 5, BandPassForm::TopC, 0.05);
    lowPass.type = FilterType::LowPass;
    lowPass.passHz = 1e6;
    EXPECT_THROW(Synthesise(lowPass), Failure);
    DesignRequest elliptic = BandPass(Family::Elliptic, 5, BandPassForm::TopL, 0.05);
    elliptic.response.stopAttDb = 40.0L;
    EXPECT_THROW(Synthesise(elliptic), Failure);
    EXPECT_THROW(Synthesise(BandPass(Family::Chebyshev, 1, BandPassForm::TopC, 0.05)), Failure);
}

} // namespace
