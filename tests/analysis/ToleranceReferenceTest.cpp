// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "analysis/Tolerance.h"
#include "tests/analysis/ToleranceLadders.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

namespace {

// The engine's percentiles against an independent Monte Carlo in numpy
// (tolerance_reference.py: its own chain-matrix cascade and numpy's random numbers).
// The reference runs 200 000 trials, so its own sampling error is small beside the engine's.
// At 20 000 trials the standard error of a 5th or 95th percentile is about 1.5 % of the
// response's standard deviation there, so the 0.05 dB agreement is asked where the reference's
// 5-95 % spread is below 1.5 dB (a standard deviation of about 0.45 dB, 0.007 dB of sampling
// error): the passband, the skirt's shoulder and the stopband. The yields are each measured on
// the mask's own frequencies, the reference's on dense uniform grids over its first 40 000 trials.
const char* Interpreter()
{
    return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

std::string ScriptPath()
{
    std::string path = __FILE__;
    return path.substr(0, path.find_last_of('/') + 1) + "tolerance_reference.py";
}

bool HaveNumpy()
{
    const std::string command = std::string(Interpreter()) + " -c 'import numpy' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

struct Reference {
    std::vector<std::vector<double>> curves; // s21 p05 p50 p95, s11 p05 p50 p95
    double yield = -1;
    int yieldTrials = 0; // how many trials the reference's yield counts
};

// The reference's mask: a passband and a stopband from a stop frequency up.
struct RefMask {
    double passLowHz, passHighHz, maxPassLossDb, stopAboveHz, stopAttDb;
};

// Ours of the same bands; the stopband's upper edge lies where the ladders have long settled.
Mask MaskOfRef(const RefMask& m)
{
    Mask mask;
    mask.bands = {{MaskKind::Pass, m.passLowHz, m.passHighHz, m.maxPassLossDb},
                  {MaskKind::Stop, m.stopAboveHz, 30 * m.stopAboveHz, m.stopAttDb}};
    return mask;
}

std::string Input(const Ladder& ladder, const PartQuality& q, const ToleranceSettings& s, const RefMask& m,
                  const std::vector<double>& f, int trials)
{
    std::ostringstream in;
    in.precision(17);
    in << ladder.RS << ' ' << ladder.RL << ' ' << q.QL << ' ' << q.QC << '\n';
    in << (s.distribution == ToleranceDistribution::Normal ? "normal" : "uniform") << ' ' << s.inductorPercent << ' '
       << s.capacitorPercent << ' ' << trials << " 12345\n";
    in << "mask " << m.passLowHz << ' ' << m.passHighHz << ' ' << m.maxPassLossDb << ' ' << m.stopAboveHz << ' '
       << m.stopAttDb << '\n';
    for (const LadderBranch& b : ladder.branches) {
        const char* kind = b.kind == BranchKind::Inductor ? "L" : b.kind == BranchKind::Capacitor ? "C" : "LC";
        in << (b.place == BranchPlace::Series ? "series " : "shunt ") << kind << ' ' << b.L << ' ' << b.C << '\n';
    }
    in << "FREQ";
    for (double hz : f) in << ' ' << hz;
    in << '\n';
    return in.str();
}

Reference RunReference(const std::string& input)
{
    TempFolder folder;
    const std::string inputPath = folder.Path("ladders.txt");
    std::ofstream(inputPath) << input;
    const std::string command = std::string(Interpreter()) + " " + ScriptPath() + " < " + inputPath;
    Reference ref;
    FILE* pipe = popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) text += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    EXPECT_EQ(status, 0) << text;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        if (line.rfind("yield", 0) == 0) {
            std::string word;
            words >> word >> ref.yield >> ref.yieldTrials;
            continue;
        }
        std::vector<double> curve;
        for (double v; words >> v;) curve.push_back(v);
        ref.curves.push_back(curve);
    }
    return ref;
}

struct ReferenceCase {
    const char* name;
    Ladder ladder;
    PartQuality quality;
    ToleranceDistribution distribution;
    double tolL, tolC;
    RefMask mask;
    std::vector<double> frequenciesHz;
};

void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name;
}

RefMask Mask(double passLow, double passHigh, double maxLoss, double stopAbove, double stopAtt)
{
    return {passLow, passHigh, maxLoss, stopAbove, stopAtt};
}

class AgainstNumpy : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(AgainstNumpy, PercentilesAndYieldAgree)
{
    if (!HaveNumpy()) GTEST_SKIP() << "python3 with numpy is needed (scripts/install-deps.sh)";
    const ReferenceCase& c = GetParam();
    ToleranceSettings settings;
    settings.trials = 20000;
    settings.inductorPercent = c.tolL;
    settings.capacitorPercent = c.tolC;
    settings.distribution = c.distribution;
    settings.seed = 99;
    const ToleranceResult r =
        RunTolerance(ModelOfLadder(c.ladder), c.quality, c.frequenciesHz, MaskOfRef(c.mask), settings);
    const Reference ref = RunReference(Input(c.ladder, c.quality, settings, c.mask, c.frequenciesHz, 200000));
    ASSERT_EQ(ref.curves.size(), 6u);
    const std::vector<double>* ours[6] = {&r.s21.p05, &r.s21.p50, &r.s21.p95, &r.s11.p05, &r.s11.p50, &r.s11.p95};
    int compared = 0;
    for (std::size_t i = 0; i < c.frequenciesHz.size(); ++i)
        for (int curve : {0, 3}) {
            const double spread = ref.curves[curve + 2][i] - ref.curves[curve][i];
            if (spread >= 1.5) continue;
            ++compared;
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR((*ours[curve + k])[i], ref.curves[curve + k][i], 0.05)
                    << (curve ? "S11" : "S21") << " percentile " << k << " at " << c.frequenciesHz[i] << " Hz";
        }
    EXPECT_GE(compared, static_cast<int>(c.frequenciesHz.size()) / 2);
    // Two independent estimates of one proportion: within four standard errors of their difference.
    const double p = ref.yield;
    ASSERT_GT(ref.yieldTrials, 0);
    const double sigma = std::sqrt(p * (1 - p) * (1.0 / 20000 + 1.0 / ref.yieldTrials));
    EXPECT_NEAR(r.yield, ref.yield, 4 * sigma + 1e-12);
    EXPECT_LE(r.yieldLow, r.yield);
    EXPECT_GE(r.yieldHigh, r.yield);
}

INSTANTIATE_TEST_SUITE_P(Ladders, AgainstNumpy,
                         ::testing::Values(ReferenceCase{"ChebyshevLowPassUniform",
                                                         LowPassLadder(kChebyshev05dB7, 10e6, 50, true),
                                                         {},
                                                         ToleranceDistribution::Uniform,
                                                         5,
                                                         5,
                                                         Mask(0, 9e6, 1.0, 20e6, 50),
                                                         LinearHz(1e6, 40e6, 40)},
                                           ReferenceCase{"ButterworthBandPassNormalLossy",
                                                         BandPassLadder(kButterworth5, 9e6, 11e6, 50, false),
                                                         {100, 400},
                                                         ToleranceDistribution::Normal,
                                                         10,
                                                         5,
                                                         Mask(9.5e6, 10.5e6, 2.0, 14e6, 30),
                                                         LinearHz(5e6, 20e6, 31)}),
                         [](const ::testing::TestParamInfo<ReferenceCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
