// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filtermath/Failure.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/Synthesis.h"

using namespace corvane;

using namespace synthesis;

namespace {

constexpr double kMHz = 1e6;

DesignRequest Request(Family family, FilterType type, int N, std::vector<double> zerosMHz,
                      LadderTopology form = LadderTopology::T)
{
    DesignRequest r;
    r.response.family = family;
    r.response.N = N;
    r.response.rippleDb = 0.1L;
    r.type = type;
    r.form = form;
    r.passHz = 30 * kMHz;
    r.lowHz = 90 * kMHz;
    r.highHz = 110 * kMHz;
    for (double f : zerosMHz) r.zerosHz.push_back(f * kMHz);
    return r;
}

// |S21| in dB of the synthesised ladder by its own cascade analysis, not by the approximation.
double LadderS21(const Design& d, double hz)
{
    return AnalyseAt(LadderOfModel(d.ladder), hz, PartQuality{}).S21dB;
}

std::string Refusal(const DesignRequest& r)
{
    try {
        Synthesise(r);
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "";
}

TEST(ChosenZeros, GeneralisedChebyshevBecomesTheClassicOneAsTheZerosLeave)
{
    // With its zeros far out the function is T_N, whose reflection zeros are cos((2j - 1) pi / 2N).
    const Real pi = std::acos(-1.0L);
    for (int N : {5, 8, 15}) {
        const std::vector<Real> squares = GeneralisedChebyshevReflectionSquares(N, {1e7L, 3e7L});
        ASSERT_EQ(squares.size(), static_cast<size_t>(N / 2));
        for (int j = 1; j <= N / 2; ++j) {
            const Real expected = std::cos((2 * j - 1) * pi / (2 * N));
            EXPECT_NEAR(static_cast<double>(std::sqrt(squares[static_cast<size_t>(j - 1)])),
                        static_cast<double>(expected), 1e-6)
                << "N=" << N << " j=" << j;
        }
    }
}

TEST(ChosenZeros, HarmonicNotchLowPassInBothFormsHasItsTrapsAndItsRipple)
{
    // A transmitter's 7-pole 0.1 dB low-pass at 30 MHz with notches on the 2nd and 3rd harmonic.
    for (LadderTopology form : {LadderTopology::T, LadderTopology::Pi}) {
        const Design d = Synthesise(Request(Family::Chebyshev, FilterType::LowPass, 7, {60, 90}, form));
        const char* name = form == LadderTopology::T ? "T" : "Pi";
        // T: traps in the series arms (parallel LC); Pi: traps in the shunt arms (series LC).
        const BranchKind trap = form == LadderTopology::T ? BranchKind::ParallelLC : BranchKind::SeriesLC;
        const BranchPlace trapPlace = form == LadderTopology::T ? BranchPlace::Series : BranchPlace::Shunt;
        int traps = 0;
        for (const ModelBranch& b : d.ladder.branches) {
            for (const ModelPart& p : b.parts) EXPECT_GT(p.value, 0.0) << name << ' ' << p.designator;
            EXPECT_NE(b.shape, form == LadderTopology::T ? BranchKind::SeriesLC : BranchKind::ParallelLC) << name;
            if (b.shape == trap) {
                EXPECT_EQ(b.place, trapPlace) << name;
                ++traps;
            }
        }
        EXPECT_EQ(traps, 2) << name;
        EXPECT_LT(LadderS21(d, 60 * kMHz), -100.0) << name;
        EXPECT_LT(LadderS21(d, 90 * kMHz), -100.0) << name;
        // Equiripple: between DC and the edge the loss peaks at the ripple three times (N = 7
        // has reflection zeros at DC and at three frequencies inside) and ends at it.
        std::vector<double> peaks;
        double before = 0.0, previous = -LadderS21(d, 1.0);
        for (int i = 1; i <= 3000; ++i) {
            const double loss = -LadderS21(d, 30 * kMHz * i / 3000.0);
            if (i > 1 && previous > before && previous > loss) peaks.push_back(previous);
            before = previous;
            previous = loss;
        }
        ASSERT_EQ(peaks.size(), 3u) << name;
        for (double peak : peaks) EXPECT_NEAR(peak, 0.1, 0.002) << name;
        EXPECT_NEAR(previous, 0.1, 1e-6) << name;
    }
}

TEST(ChosenZeros, ButterworthWithZerosStaysMaximallyFlat)
{
    // Maximally flat at DC: |S21|^-2 - 1 = c^2 w^(2N) / P(w)^2 with P(w) = (1 - (w/w1)^2)(1 - (w/w2)^2)
    // from the zeros asked, so once multiplied by P^2 it grows exactly as w^(2N); 3.01 dB at the edge.
    const int N = 7;
    const Design d = Synthesise(Request(Family::Butterworth, FilterType::LowPass, N, {60, 90}, LadderTopology::Pi));
    const auto flat = [&](double hz) {
        const double P = (1.0 - std::pow(hz / (60 * kMHz), 2)) * (1.0 - std::pow(hz / (90 * kMHz), 2));
        return (std::pow(10.0, -LadderS21(d, hz) / 10.0) - 1.0) * P * P;
    };
    EXPECT_NEAR(flat(12 * kMHz) / flat(6 * kMHz), std::pow(2.0, 2 * N), 1e-4 * std::pow(2.0, 2 * N));
    EXPECT_NEAR(LadderS21(d, 30 * kMHz), -10.0 * std::log10(2.0), 1e-6);
    EXPECT_LT(LadderS21(d, 60 * kMHz), -100.0);
    EXPECT_LT(LadderS21(d, 90 * kMHz), -100.0);
}

TEST(ChosenZeros, HighPassAndBandPassPutTheirZerosWhereAsked)
{
    // A band-pass zero comes with its mirror f0^2 / f about the centre (f0^2 = 9900 MHz^2).
    struct Case {
        FilterType type;
        std::vector<double> asked, placed; // MHz
    };
    const Case cases[] = {{FilterType::HighPass, {15, 10}, {10, 15}},
                          {FilterType::BandPass, {120}, {9900.0 / 120, 120}},
                          {FilterType::BandPass, {9900.0 / 130, 130}, {9900.0 / 130, 130}}};
    for (const Case& c : cases) {
        const Design d = Synthesise(Request(Family::Chebyshev, c.type, 7, c.asked));
        const std::vector<double> placed = ZeroFrequenciesHz(d);
        ASSERT_EQ(placed.size(), c.placed.size());
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_NEAR(placed[i] / kMHz, c.placed[i], 1e-9 * c.placed[i]);
            EXPECT_LT(LadderS21(d, placed[i]), -100.0) << placed[i];
        }
        const double edge = c.type == FilterType::HighPass ? 30 * kMHz : 110 * kMHz;
        EXPECT_NEAR(LadderS21(d, edge), -0.1, 1e-4);
    }
}

TEST(ChosenZeros, RefusalsNameTheReasonAndAnOrderThatWorks)
{
    struct Case {
        DesignRequest request;
        std::string says;
        int advisedOrder; // 0: none advised
    };
    DesignRequest elliptic = Request(Family::Elliptic, FilterType::LowPass, 7, {60});
    DesignRequest bandStop = Request(Family::Chebyshev, FilterType::BandStop, 7, {150});
    const Case cases[] = {
        {Request(Family::Chebyshev, FilterType::LowPass, 7, {20}), "zero at 20 MHz lies in the passband", 0},
        {Request(Family::Chebyshev, FilterType::BandPass, 7, {100}), "zero at 100 MHz lies in the passband", 0},
        {Request(Family::Chebyshev, FilterType::LowPass, 3, {60, 90}), "at least 5 poles", 5},
        {Request(Family::Chebyshev, FilterType::LowPass, 5, {31, 32}, LadderTopology::Pi), "positive elements", 7},
        {elliptic, "Butterworth or Chebyshev", 0},
        {bandStop, "low-pass, high-pass and band-pass", 0},
    };
    for (const Case& c : cases) {
        const std::string text = Refusal(c.request);
        EXPECT_NE(text.find(c.says), std::string::npos) << text;
        if (c.advisedOrder == 0) continue;
        EXPECT_NE(text.find("Order " + std::to_string(c.advisedOrder) + " is the lowest"), std::string::npos) << text;
        // The advice holds: that order designs.
        DesignRequest advised = c.request;
        advised.response.N = c.advisedOrder;
        EXPECT_NO_THROW(Synthesise(advised)) << text;
    }
}

TEST(ChosenZeros, OrderFromAStopbandRequirementCountsTheZeros)
{
    // 40 dB at 1.5 times the edge with zeros at 2 and 3 times it: the chosen order's ladder
    // reaches the loss there and the ladder one order below does not. (Butterworth: every order
    // is buildable between equal terminations.)
    OrderRequirement need;
    need.stopRatio = 1.5L;
    need.stopAttDb = 40.0L;
    need.zeros = {2.0L, 3.0L};
    const int N = ChooseOrder(Family::Butterworth, need).N;
    ASSERT_GE(N, 6);
    const auto lossAt45 = [](int order) {
        return -LadderS21(Synthesise(Request(Family::Butterworth, FilterType::LowPass, order, {60, 90})), 45 * kMHz);
    };
    EXPECT_GE(lossAt45(N), 40.0);
    EXPECT_LT(lossAt45(N - 1), 40.0);
}

} // namespace
