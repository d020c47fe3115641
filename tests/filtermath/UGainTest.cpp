// SPDX-License-Identifier: Apache-2.0
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "tests/filtermath/FaultCheck.h"
#include "filtermath/UGain.h"

using namespace corvane;

namespace {

constexpr double kOrder = 3;
constexpr double kPassF = 10;
constexpr double kRipple = 0.5;
constexpr double kFmin = 10;
constexpr double kFmax = 20;
const double kF0 = std::sqrt(kFmin * kFmax);

// A sweep that starts with the given frequencies (at least one) and repeats the last one.
Sweep SweepOf(std::initializer_list<double> frequencies)
{
    Sweep freq{};
    int i = 0;
    for (double f : frequencies) freq[i++] = f;
    for (; i < SweepPoints; ++i) freq[i] = freq[i - 1];
    return freq;
}

Sweep Untouched()
{
    Sweep att;
    att.fill(kUntouched);
    return att;
}

// Calls one response with the fixed design values of the worked tables.
using Response = std::function<bool(const Sweep&, Sweep&, MessagePort&)>;

const Response kButterworthLow = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ButterworthLowPassResponse(f, a, kOrder, kPassF, m);
};
const Response kButterworthHigh = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ButterworthHighPassResponse(f, a, kOrder, kPassF, m);
};
const Response kChebyshevLow = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ChebyshevLowPassResponse(f, a, kOrder, kPassF, kRipple, m);
};
const Response kChebyshevHigh = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ChebyshevHighPassResponse(f, a, kOrder, kPassF, kRipple, m);
};
const Response kButterworthBand = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ButterworthBandPassResponse(f, a, kOrder, kF0, kFmin, kFmax, m);
};
const Response kChebyshevBand = [](const Sweep& f, Sweep& a, MessagePort& m) {
    return ChebyshevBandPassResponse(f, a, kOrder, kF0, kRipple, kFmin, kFmax, m);
};

Sweep Respond(const Response& response, const Sweep& freq)
{
    RecordingMessages messages;
    Sweep att = Untouched();
    EXPECT_TRUE(response(freq, att, messages));
    EXPECT_TRUE(messages.shown.empty());
    return att;
}

struct WorkedRow {
    double f;
    double dB;
    double tolerance;
};

struct WorkedColumn {
    const char* name;
    Response response;
    std::vector<WorkedRow> rows;
};

TEST(Responses, WorkedValuesOfOrderThree)
{
    const WorkedColumn columns[] = {
        {"Butterworth LPF",
         kButterworthLow,
         {{1, -0.000004, 5e-7}, {5, -0.0673, 5e-5}, {10, -3.0103, 5e-5}, {20, -18.1291, 5e-5}, {30, -28.6332, 5e-5}}},
        {"Butterworth HPF",
         kButterworthHigh,
         {{1, -60.0000, 5e-5}, {5, -18.1291, 5e-5}, {10, -3.0103, 5e-5}, {20, -0.0673, 5e-5}, {30, -0.0060, 5e-5}}},
        {"Chebyshev LPF",
         kChebyshevLow,
         {{1, -0.0462, 5e-5}, {5, -0.5000, 5e-5}, {10, -0.5000, 5e-5}, {20, -19.2161, 5e-5}, {30, -30.7806, 5e-5}}},
        {"Chebyshev HPF",
         kChebyshevHigh,
         {{1, -62.8401, 5e-5}, {5, -19.2161, 5e-5}, {10, -0.5000, 5e-5}, {20, -0.5000, 5e-5}, {30, -0.3685, 5e-5}}},
        {"Butterworth BPF",
         kButterworthBand,
         {{5, -18.1291, 5e-5},
          {10, -3.0103, 5e-5},
          {kF0, -0.5115, 5e-5},
          {15, -0.7114, 5e-5},
          {20, -3.0103, 5e-5},
          {40, -18.1291, 5e-5}}},
        {"Chebyshev BPF",
         kChebyshevBand,
         {{5, -19.2161, 5e-5},
          {10, -0.5000, 5e-5},
          {kF0, -0.2572, 5e-5},
          {15, -0.1645, 5e-5},
          {20, -0.5000, 5e-5},
          {40, -19.2161, 5e-5}}},
    };
    for (const WorkedColumn& column : columns) {
        Sweep freq{};
        for (size_t i = 0; i < column.rows.size(); ++i) freq[i] = column.rows[i].f;
        for (size_t i = column.rows.size(); i < SweepPoints; ++i) freq[i] = 1 + i;
        const Sweep att = Respond(column.response, freq);
        for (size_t i = 0; i < column.rows.size(); ++i)
            EXPECT_NEAR(att[i], column.rows[i].dB, column.rows[i].tolerance)
                << column.name << " f=" << column.rows[i].f;
        for (double a : att) {
            EXPECT_TRUE(std::isfinite(a)) << column.name;
            EXPECT_LE(a, 0) << column.name;
        }
    }
}

// At the band edge maximally flat gives half power and equal ripple gives the ripple.
TEST(Responses, PassbandEdgeGivesHalfPowerOrTheRipple)
{
    for (double order : {1.0, 2.0, 3.0, 7.0, 10.0, 99.0}) {
        for (double passF : {0.001, 10.0, 12345.0}) {
            RecordingMessages messages;
            const Sweep freq = SweepOf({passF});
            Sweep att = Untouched();
            ButterworthLowPassResponse(freq, att, order, passF, messages);
            EXPECT_NEAR(att[0], -3.0103, 5e-5) << order;
            ButterworthHighPassResponse(freq, att, order, passF, messages);
            EXPECT_NEAR(att[0], -3.0103, 5e-5) << order;
            for (double ripple : {0.01, 0.5, 1.0, 3.0}) {
                ChebyshevLowPassResponse(freq, att, order, passF, ripple, messages);
                EXPECT_NEAR(att[0], -ripple, 1e-9) << order << " " << ripple;
                ChebyshevHighPassResponse(freq, att, order, passF, ripple, messages);
                EXPECT_NEAR(att[0], -ripple, 1e-9) << order << " " << ripple;
                ChebyshevBandPassResponse(SweepOf({passF, 2 * passF}), att, order, std::sqrt(2) * passF, ripple, passF,
                                          2 * passF, messages);
                EXPECT_NEAR(att[0], -ripple, 1e-9) << order << " " << ripple;
                EXPECT_NEAR(att[1], -ripple, 1e-9) << order << " " << ripple;
            }
            EXPECT_TRUE(messages.shown.empty());
        }
    }
}

TEST(Responses, ChebyshevRipplesBetweenZeroAndMinusRipple)
{
    RecordingMessages messages;
    Sweep freq{};
    for (int i = 0; i < SweepPoints; ++i) freq[i] = kPassF * (i + 1) / SweepPoints;
    Sweep att = Untouched();
    ChebyshevLowPassResponse(freq, att, kOrder, kPassF, kRipple, messages);
    for (double a : att) {
        EXPECT_LE(a, 1e-12);
        EXPECT_GE(a, -kRipple - 1e-12);
    }
    EXPECT_NEAR(att[49], -kRipple, 1e-9); // f = PassF / 2: cos(3 arccos 0.5) = -1
}

TEST(Responses, ZeroRippleIsFlat)
{
    RecordingMessages messages;
    const Sweep freq = SweepOf({1, 5, 10, 20, 1000});
    Sweep att = Untouched();
    ASSERT_TRUE(ChebyshevLowPassResponse(freq, att, 5, kPassF, 0, messages));
    for (double a : att) EXPECT_EQ(a, 0);
    att = Untouched();
    ASSERT_TRUE(ChebyshevBandPassResponse(freq, att, 5, kF0, 0, kFmin, kFmax, messages));
    for (double a : att) EXPECT_EQ(a, 0);
}

// The centre is passed in; a frequency equal to it belongs to the lower (Fmin) branch.
TEST(Responses, CentreFrequencyTakesTheLowerBranch)
{
    RecordingMessages messages;
    const double centre = 15;
    const Sweep freq = SweepOf({centre});
    Sweep att = Untouched();
    ButterworthBandPassResponse(freq, att, kOrder, centre, kFmin, kFmax, messages);
    EXPECT_NEAR(att[0], -10 * std::log10(1 + std::pow(kFmin / centre, 6)), 1e-12);
    const double eps2 = std::pow(10.0, kRipple / 10) - 1;
    const double c = std::cos(3 * std::acos(kFmin / centre));
    ChebyshevBandPassResponse(freq, att, kOrder, centre, kRipple, kFmin, kFmax, messages);
    EXPECT_NEAR(att[0], -10 * std::log10(1 + eps2 * c * c), 1e-12);
}

TEST(Responses, SweepFloorFrequencyStaysFinite)
{
    const Sweep freq = SweepOf({1e-10});
    EXPECT_NEAR(Respond(kButterworthLow, freq)[0], 0, 1e-12);
    EXPECT_NEAR(Respond(kButterworthHigh, freq)[0], -660, 1e-6);
    RecordingMessages messages;
    Sweep att = Untouched();
    ASSERT_TRUE(ButterworthHighPassResponse(freq, att, 99, kPassF, messages));
    EXPECT_NEAR(att[0], -21780, 1e-6);
    ASSERT_TRUE(ChebyshevHighPassResponse(freq, att, 99, kPassF, kRipple, messages));
    EXPECT_TRUE(std::isfinite(att[0]));
    EXPECT_LT(att[0], -21000);
    ASSERT_TRUE(ButterworthBandPassResponse(freq, att, 99, kF0, kFmin, kFmax, messages));
    EXPECT_NEAR(att[0], -21780, 1e-6);
}

struct RefusalCase {
    const char* name;
    std::function<bool(Sweep&, MessagePort&)> call;
    const char* message;
};

TEST(Responses, EdgeCheckReportsOnceAndLeavesAttUntouched)
{
    const Sweep freq = SweepOf({1, 10, 100});
    const RefusalCase cases[] = {
        {"BW LPF", [&](Sweep& a, MessagePort& m) { return ButterworthLowPassResponse(freq, a, 3, 0, m); },
         kPassbandZeroText},
        {"BW HPF", [&](Sweep& a, MessagePort& m) { return ButterworthHighPassResponse(freq, a, 3, 0, m); },
         kPassbandZeroText},
        {"CH LPF", [&](Sweep& a, MessagePort& m) { return ChebyshevLowPassResponse(freq, a, 3, 0, 0.5, m); },
         kPassbandZeroText},
        {"CH HPF", [&](Sweep& a, MessagePort& m) { return ChebyshevHighPassResponse(freq, a, 3, -0.0, 0.5, m); },
         kPassbandZeroText},
        {"BW BPF Fmin 0",
         [&](Sweep& a, MessagePort& m) { return ButterworthBandPassResponse(freq, a, 3, 0, 0, 20, m); },
         kBandEdgeZeroText},
        {"BW BPF Fmax 0",
         [&](Sweep& a, MessagePort& m) { return ButterworthBandPassResponse(freq, a, 3, 0, 10, 0, m); },
         kBandEdgeZeroText},
        {"BW BPF both 0", [&](Sweep& a, MessagePort& m) { return ButterworthBandPassResponse(freq, a, 3, 0, 0, 0, m); },
         kBandEdgeZeroText},
        {"CH BPF Fmin 0",
         [&](Sweep& a, MessagePort& m) { return ChebyshevBandPassResponse(freq, a, 3, 0, 0.5, 0, 20, m); },
         kBandEdgeZeroText},
        {"CH BPF Fmax 0",
         [&](Sweep& a, MessagePort& m) { return ChebyshevBandPassResponse(freq, a, 3, 0, 0.5, 10, 0, m); },
         kBandEdgeZeroText},
        {"CH BPF Fmin negative",
         [&](Sweep& a, MessagePort& m) { return ChebyshevBandPassResponse(freq, a, 3, 0, 0.5, -10, -20, m); },
         kBandEdgeZeroText},
        {"CH BPF Fmax negative",
         [&](Sweep& a, MessagePort& m) { return ChebyshevBandPassResponse(freq, a, 3, 0, 0.5, 10, -20, m); },
         kBandEdgeZeroText},
    };
    for (const RefusalCase& c : cases) {
        RecordingMessages messages;
        Sweep att = Untouched();
        EXPECT_FALSE(c.call(att, messages)) << c.name;
        EXPECT_EQ(messages.shown, std::vector<std::string>{c.message}) << c.name;
        EXPECT_EQ(att, Untouched()) << c.name;
    }
    EXPECT_STREQ(kPassbandZeroText, "Passband Frequency cannot be zero!");
    EXPECT_STREQ(kBandEdgeZeroText, "Fmin and Fmax cannot be zero.");
}

TEST(Responses, NegativeEdgesPassTheZeroChecks)
{
    RecordingMessages messages;
    Sweep att = Untouched();
    EXPECT_TRUE(ButterworthBandPassResponse(SweepOf({5, 40}), att, 3, kF0, -kFmin, kFmax, messages));
    EXPECT_TRUE(ButterworthLowPassResponse(SweepOf({5, 40}), att, 3, -kPassF, messages));
    EXPECT_NEAR(att[0], -0.0673, 5e-5);
    EXPECT_TRUE(messages.shown.empty());
}

struct DomainFaultCase {
    const char* name;
    std::function<void(const Sweep&, Sweep&, MessagePort&)> call;
    Sweep freq;
    int faultAt; // entries before it are written, entries from it on keep their old value
    const char* text;
};

TEST(Responses, DomainFaultsKeepTheEntriesWrittenBefore)
{
    const DomainFaultCase cases[] = {
        {"CH LPF below -PassF: arccos of x < -1",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevLowPassResponse(f, a, 3, kPassF, kRipple, m); },
         SweepOf({1, 5, -5, -20}), 3, kInvalidOperationText},
        {"CH HPF negative f: arccosh of x < 1",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevHighPassResponse(f, a, 3, kPassF, kRipple, m); },
         SweepOf({20, 30, -1}), 2, kInvalidOperationText},
        {"CH LPF negative PassF",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevLowPassResponse(f, a, 3, -kPassF, kRipple, m); },
         SweepOf({-10, 5}), 1, kInvalidOperationText},
        {"negative ripple: 1 + X below zero",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevLowPassResponse(f, a, 3, kPassF, -10, m); },
         SweepOf({1, 5, 10, 20}), 3, kInvalidOperationText},
        {"order 99 decades beyond the edge",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ButterworthLowPassResponse(f, a, 99, kPassF, m); },
         SweepOf({1, 100, 1e31}), 2, kOverflowText},
        {"Chebyshev order 99 decades beyond the edge",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevHighPassResponse(f, a, 99, 1e200, kRipple, m); },
         SweepOf({1e201, 1e180, 1e-100}), 2, kOverflowText},
        {"ripple beyond the extended range",
         [](const Sweep& f, Sweep& a, MessagePort& m) { ChebyshevLowPassResponse(f, a, 3, kPassF, 99999, m); },
         SweepOf({1}), 0, kOverflowText},
    };
    for (const DomainFaultCase& c : cases) {
        RecordingMessages messages;
        Sweep att = Untouched();
        EXPECT_EQ(ArithmeticFaultOf([&] { c.call(c.freq, att, messages); }), c.text) << c.name;
        for (int i = 0; i < SweepPoints; ++i) {
            if (i < c.faultAt) {
                EXPECT_NE(att[i], kUntouched) << c.name << " " << i;
                EXPECT_TRUE(std::isfinite(att[i])) << c.name << " " << i;
            } else {
                EXPECT_EQ(att[i], kUntouched) << c.name << " " << i;
            }
        }
        EXPECT_TRUE(messages.shown.empty()) << c.name;
    }
}

} // namespace
