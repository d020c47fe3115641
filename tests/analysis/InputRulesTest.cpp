// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "analysis/InputRules.h"

using namespace corvane;

namespace {

using Reader = std::function<double(const std::string&)>;

struct RuleCase {
    const char* text;
    bool accepted;
    double value; // in the field's unit
};

struct Rule {
    const char* name;
    Reader read;
    std::vector<RuleCase> cases;
};

constexpr double kMHz = 1e6;
constexpr double kRefused = 0.0;

std::vector<Rule> Rules()
{
    const auto seed = [](const std::string& t) { return static_cast<double>(ReadSeed(t, "Seed")); };
    const auto uniform = [](const std::string& t) {
        return ReadTolerancePercent(t, "Tolerance", ToleranceDistribution::Uniform);
    };
    // The normal draw reaches 8.58 sigma and the tolerance is 3 sigma, so a part stays
    // positive below 100 / (8.58 / 3) = 34.97 %.
    const auto normal = [](const std::string& t) {
        return ReadTolerancePercent(t, "Tolerance", ToleranceDistribution::Normal);
    };
    return {
        {"points",
         [](const std::string& t) { return ReadPoints(t, "Points"); },
         {{"101", true, 101},
          {"100001", true, 100001},
          {" 1001 ", true, 1001},
          {"1e3", true, 1000},
          {"1k", true, 1000},
          {"1001.0", true, 1001},
          {"100", false, kRefused},
          {"100002", false, kRefused},
          {"1000.5", false, kRefused},
          {"1e9", false, kRefused},
          {"-1001", false, kRefused},
          {"abc", false, kRefused},
          {"", false, kRefused}}},
        {"trials",
         [](const std::string& t) { return ReadTrials(t, "Trials"); },
         {{"1", true, 1},
          {"1M", true, 1000000},
          {"2k", true, 2000},
          {"0", false, kRefused},
          {"1000001", false, kRefused},
          {"2.5", false, kRefused},
          {"x", false, kRefused}}},
        {"seed",
         seed,
         {{"0", true, 0},
          {" 42 ", true, 42},
          {"18446744073709551615", true, 18446744073709551615.0},
          {"18446744073709551616", false, kRefused},
          {"1e3", false, kRefused},
          {"1k", false, kRefused},
          {"-1", false, kRefused},
          {"", false, kRefused}}},
        {"part Q",
         [](const std::string& t) { return ReadPartQ(t, "Q"); },
         {{"0", true, 0},
          {"100", true, 100},
          {"1.5k", true, 1500},
          {"-5", false, kRefused},
          {"nan", false, kRefused},
          {"1e400", false, kRefused},
          {"", false, kRefused}}},
        {"uniform tolerance",
         uniform,
         {{"0", true, 0}, {"5%", true, 5}, {"35", true, 35}, {"100", false, kRefused}, {"-1", false, kRefused}}},
        {"normal tolerance", normal, {{"34.9", true, 34.9}, {"35", false, kRefused}}},
        {"frequency in MHz",
         [](const std::string& t) { return ReadFrequency(t, "Passband", kMHz); },
         {{"10", true, 10},
          {"10M", true, 10},
          {"10 MHz", true, 10},
          {"2.4G", true, 2400},
          {"2.4GHz", true, 2400},
          {"100k", true, 0.1},
          {"500 Hz", true, 0.0005},
          {"0", false, kRefused},
          {"-10", false, kRefused},
          {"10 m", true, 1e-8},
          {"10 mhz", false, kRefused},
          {"10 \u03a9", false, kRefused}}},
        {"frequency in kHz",
         [](const std::string& t) { return ReadFrequency(t, "Passband", 1e3); },
         {{"10", true, 10}, {"2.4G", true, 2.4e6}}},
        {"sweep edge",
         [](const std::string& t) { return ReadSweepEdge(t, "Start", kMHz); },
         {{"0", true, 0}, {"1", true, 1}, {"-1", false, kRefused}}},
        {"resistance",
         [](const std::string& t) { return ReadResistance(t, "Load"); },
         {{"50", true, 50},
          {"1.5k", true, 1500},
          {"1.5 k\u03a9", true, 1500},
          {"75 ohm", true, 75},
          {"0", false, kRefused},
          {"-50", false, kRefused}}},
        // Watts where the text ends in W, else dBm: 30 dBm is 1 W.
        {"power",
         [](const std::string& t) { return ReadPower(t, "Power"); },
         {{"30", true, 1.0},
          {"30 dBm", true, 1.0},
          {"-10", true, 1e-4},
          {"100 W", true, 100},
          {"500mW", true, 0.5},
          {" 2 kW ", true, 2000},
          {"0 W", false, kRefused},
          {"-1 W", false, kRefused},
          {"301", false, kRefused},
          {"W", false, kRefused},
          {"1 w", false, kRefused},
          {"", false, kRefused}}},
        {"voltage rating",
         [](const std::string& t) { return ReadVoltageRating(t, "Voltage rating"); },
         {{"50", true, 50},
          {"1.5 kV", true, 1500},
          {"", true, 0},
          {"  ", true, 0},
          {"0", false, kRefused},
          {"-5", false, kRefused},
          {"50 A", false, kRefused}}},
        {"current rating",
         [](const std::string& t) { return ReadCurrentRating(t, "Current rating"); },
         {{"2", true, 2}, {"500mA", true, 0.5}, {"", true, 0}, {"0", false, kRefused}, {"2 V", false, kRefused}}},
        {"inductance",
         [](const std::string& t) { return ReadInductance(t, "--resonator-l"); },
         {{"100n", true, 100e-9},
          {"100 nH", true, 100e-9},
          {"1.5u", true, 1.5e-6},
          {"2e-7", true, 2e-7},
          {"0", false, kRefused},
          {"-100n", false, kRefused},
          {"100 nF", false, kRefused}}},
        {"attenuation",
         [](const std::string& t) { return ReadAttenuation(t, "Stop attenuation"); },
         {{"0", true, 0}, {"60 dB", true, 60}, {"-1", false, kRefused}, {"1e999", false, kRefused}}},
        {"ripple",
         [](const std::string& t) { return ReadRipple(t, "Ripple"); },
         {{"0.5", true, 0.5},
          {"10", true, 10},
          {"100m", true, 0.1},
          {"1 dB", true, 1},
          {"0", false, kRefused},
          {"10.01", false, kRefused}}},
    };
}

// Each rule reads its good texts to their values and refuses every bad one with the same
// message, which names the field.
TEST(InputRules, EachRuleReadsItsTextsAndHasOneMessage)
{
    for (const Rule& rule : Rules()) {
        std::set<std::string> messages;
        for (const RuleCase& c : rule.cases) {
            try {
                const double value = rule.read(c.text);
                EXPECT_TRUE(c.accepted) << rule.name << ": '" << c.text << "' read as " << value;
                if (c.accepted) {
                    EXPECT_DOUBLE_EQ(value, c.value) << rule.name << ": '" << c.text << "'";
                }
            } catch (const InputError& error) {
                EXPECT_FALSE(c.accepted) << rule.name << ": '" << c.text << "' refused: " << error.what();
                messages.insert(error.what());
            }
        }
        EXPECT_LE(messages.size(), 1u) << rule.name;
    }
}

TEST(InputRules, FrequencyListReadsEachItemAsAFrequency)
{
    struct Case {
        const char* text;
        bool accepted;
        std::vector<double> values; // MHz
    };
    const Case cases[] = {{"60,90", true, {60, 90}}, {"60 MHz, 90M", true, {60, 90}},
                          {"2.4G", true, {2400}},    {"", true, {}},
                          {"  ", true, {}},          {"60,,90", false, {}},
                          {"60,", false, {}},        {"60,-90", false, {}},
                          {"60;90", false, {}},      {"60, 0", false, {}}};
    std::set<std::string> messages;
    for (const Case& c : cases) {
        try {
            const std::vector<double> values = ReadFrequencyList(c.text, "Zeros", kMHz);
            EXPECT_TRUE(c.accepted) << "'" << c.text << "'";
            EXPECT_EQ(values, c.values) << "'" << c.text << "'";
        } catch (const InputError& error) {
            EXPECT_FALSE(c.accepted) << "'" << c.text << "': " << error.what();
            messages.insert(error.what());
        }
    }
    EXPECT_EQ(messages.size(), 1u);
}

TEST(InputRules, PartLimitsReadAsCapacitanceInductanceAndReactance)
{
    EXPECT_EQ(ReadPartLimits("", "Part limits"), PartLimits{});
    EXPECT_EQ(ReadPartLimits("1p,5n,2k", "Part limits"), PartLimits{});
    EXPECT_EQ(ReadPartLimits("0.5 pF, 10 nH, 1.5 k\u03a9", "Part limits"), (PartLimits{0.5e-12, 10e-9, 1500.0}));
    for (const char* bad : {"1p,5n", "1p,5n,2k,3", "1p,0,2k", "1pH,5n,2k", "1p,,2k"})
        EXPECT_THROW(ReadPartLimits(bad, "Part limits"), InputError) << bad;
}

TEST(InputRules, AKindsQIsConstantOrGrowsFromAStatedFrequency)
{
    const auto read = [](const char* text) {
        const KindQ q = ReadKindQ(text, "Q of inductors", 1e6);
        return std::make_pair(q.Q, q.QHz);
    };
    EXPECT_EQ(read("80"), std::make_pair(80.0, 0.0));
    EXPECT_EQ(read("80 @ 100"), std::make_pair(80.0, 100e6));
    EXPECT_EQ(read("120@1.2 GHz"), std::make_pair(120.0, 1.2e9));
    EXPECT_EQ(read("0"), std::make_pair(0.0, 0.0));
    for (const char* bad : {"0 @ 10", "80 @ 0", "80 @", "@ 10", "x @ 10", "80 @ 10 @ 20"})
        EXPECT_THROW(ReadKindQ(bad, "Q of inductors", 1e6), InputError) << bad;
}

TEST(InputRules, NodeStraysReadAsEveryNodeAndNodesOfTheirOwn)
{
    const auto strays = [](double every, std::map<int, double> at) {
        BoardStrays s;
        s.nodeC = every;
        s.nodeCAt = std::move(at);
        return s;
    };
    EXPECT_EQ(ReadNodeStrays("1.5p", "C"), strays(1.5e-12, {}));
    EXPECT_EQ(ReadNodeStrays(" 1.5 pF, n3 4p ", "C"), strays(1.5e-12, {{3, 4e-12}}));
    EXPECT_EQ(ReadNodeStrays("n1=2p, N12: 0", "C"), strays(0, {{1, 2e-12}, {12, 0}}));
    EXPECT_EQ(ReadNodeStrays("", "C"), strays(0, {}));
    const struct {
        const char* text;
        const char* message;
    } refused[] = {
        {"1p, 2p", "C: give one value for every node, and nodes as n3 4p."},
        {"n2 1p, n2 3p", "C at n2 is given twice."},
        {"n0 1p", "C: nodes are numbered from n1 at the source."},
        {"n2 -1p", "C at n2 must be 0 (none) or a capacitance above zero."},
        {"n2", "C at n2 must be 0 (none) or a capacitance above zero."},
        {"x2 1p", "C must be 0 (none) or a capacitance above zero."},
    };
    for (const auto& r : refused) {
        try {
            ReadNodeStrays(r.text, "C");
            ADD_FAILURE() << r.text;
        } catch (const InputError& error) {
            EXPECT_STREQ(error.what(), r.message);
        }
    }
}

TEST(InputRules, TheMessageStartsWithTheFieldsName)
{
    const std::vector<std::function<void()>> refusals{
        [] { ReadPoints("x", "--points"); },
        [] { ReadTrials("x", "--points"); },
        [] { ReadSeed("x", "--points"); },
        [] { ReadPartQ("x", "--points"); },
        [] { ReadTolerancePercent("x", "--points", ToleranceDistribution::Normal); },
        [] { ReadFrequency("x", "--points", 1.0); },
        [] { ReadSweepEdge("x", "--points", 1.0); },
        [] { ReadFrequencyList("60,x", "--points", 1.0); },
        [] { ReadPartLimits("1p,5n", "--points"); },
        [] { ReadResistance("x", "--points"); },
        [] { ReadAttenuation("x", "--points"); },
        [] { ReadRipple("x", "--points"); },
        [] { ReadPower("x W", "--points"); },
        [] { ReadVoltageRating("x", "--points"); },
        [] { ReadCurrentRating("x", "--points"); },
    };
    for (const auto& refuse : refusals) {
        try {
            refuse();
            ADD_FAILURE() << "'x' was accepted";
        } catch (const InputError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("--points must be ", 0), 0u) << error.what();
        }
    }
}

} // namespace
