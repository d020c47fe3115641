// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "analysis/Tolerance.h"
#include "analysis/TrialParts.h"
#include "export/SpiceNetlist.h"
#include "synthesis/Synthesis.h"
#include "tests/support/SpiceDeck.h"

using namespace corvane;

namespace {

struct Case {
    const char* name = "";
    synthesis::DesignRequest request;
    Mask mask;
    std::vector<double> frequenciesHz;
};

std::vector<double> Linear(double start, double stop, int points)
{
    std::vector<double> f;
    for (int i = 0; i < points; ++i) f.push_back(start + (stop - start) * i / (points - 1));
    return f;
}

// The coupled forms' couplings and resonators and the harmonic-notch low-pass's trap arms.
std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (BandPassForm form : {BandPassForm::TopC, BandPassForm::TopL}) {
        Case c;
        c.name = form == BandPassForm::TopC ? "top-C band-pass" : "top-L band-pass";
        c.frequenciesHz = Linear(96e6, 104e6, 161);
        c.request.response.family = synthesis::Family::Chebyshev;
        c.request.response.N = 5;
        c.request.response.rippleDb = 0.1L;
        c.request.type = FilterType::BandPass;
        c.request.lowHz = 99e6;
        c.request.highHz = 101e6;
        c.request.bandForm = form;
        c.request.resonatorL = 100e-9;
        c.mask.bands = {{MaskKind::Pass, 99.2e6, 100.8e6, 1.0}};
        cases.push_back(c);
    }
    // Off the zeros themselves, where the loss is some 400 dB of rounding.
    Case notch;
    notch.name = "low-pass with zeros at 60 and 90 MHz";
    notch.frequenciesHz = Linear(1.3e6, 120.3e6, 239);
    notch.request.response.family = synthesis::Family::Chebyshev;
    notch.request.response.N = 7;
    notch.request.response.rippleDb = 0.1L;
    notch.request.passHz = 30e6;
    notch.request.zerosHz = {60e6, 90e6};
    notch.mask.bands = {{MaskKind::Pass, 0.0, 30e6, 0.5}, {MaskKind::Stop, 55e6, 1.65e9, 40.0}};
    cases.push_back(notch);
    return cases;
}

// The ladder with the part of that designator scaled, found through the design model.
LadderModel Scaled(LadderModel ladder, const std::string& designator, double factor, size_t* branch = nullptr,
                   bool* inductor = nullptr)
{
    for (size_t b = 0; b < ladder.branches.size(); ++b)
        for (ModelPart& part : ladder.branches[b].parts)
            if (part.designator == designator) {
                part.value *= factor;
                if (branch) *branch = b;
                if (inductor) *inductor = part.kind == PartKind::Inductor;
                return ladder;
            }
    ADD_FAILURE() << designator << " is no part of the ladder";
    return ladder;
}

// Every inductor and capacitor that the netlist builds, by its name there.
std::vector<std::string> NetlistParts(const LadderModel& ladder, const std::vector<double>& frequenciesHz)
{
    std::vector<std::string> names;
    for (const auto& [name, element] : ParseSpiceDeck(SpiceNetlist(ladder, frequenciesHz, {}, "parts")).elements)
        if (name[0] == 'L' || name[0] == 'C') names.push_back(name);
    return names;
}

// Each part the netlist names is one the Monte Carlo varies under that name: its sensitivity is the
// change of the worst margin with that part of the design model 1 % up, and a run given a tolerance
// for it alone changes it alone, its envelope that of the exact analysis of the trials' ladders.
TEST(ToleranceOfNewBranches, EveryPartIsVariedUnderItsNetlistName)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const LadderModel ladder = synthesis::Synthesise(c.request).ladder;
        const std::vector<std::string> parts = NetlistParts(ladder, c.frequenciesHz);
        ToleranceSettings settings;
        settings.trials = 200;
        const ToleranceResult all = RunTolerance(ladder, {}, c.frequenciesHz, c.mask, settings);
        std::set<std::string> named;
        for (const Sensitivity& s : all.sensitivities) named.insert(s.name);
        EXPECT_EQ(named, std::set<std::string>(parts.begin(), parts.end()));
        ASSERT_EQ(all.sensitivities.size(), parts.size());

        const double nominal = MaskMarginDb(LadderOfModel(ladder), {}, c.mask);
        for (const Sensitivity& s : all.sensitivities) {
            const double up = MaskMarginDb(LadderOfModel(Scaled(ladder, s.name, 1.01)), {}, c.mask);
            EXPECT_NEAR(s.dbPerPercent, up - nominal, 1e-9 + 1e-6 * std::fabs(up - nominal)) << s.name;
        }

        for (const std::string& name : parts) {
            SCOPED_TRACE(name);
            size_t branch = 0;
            bool inductor = false;
            Scaled(ladder, name, 1.0, &branch, &inductor);
            ToleranceSettings alone;
            alone.trials = 100;
            alone.perBranch.assign(ladder.branches.size(), PartTolerance{0.0, 0.0});
            (inductor ? alone.perBranch[branch].inductorPercent : alone.perBranch[branch].capacitorPercent) = 5.0;
            const ToleranceResult one = RunTolerance(ladder, {}, c.frequenciesHz, c.mask, alone);
            // Each trial's ladder, named again by the design model, differs from the design in this
            // part alone; the envelope is the exact analysis of those ladders.
            const Ladder compact = LadderOfModel(ladder);
            std::vector<double> low(c.frequenciesHz.size(), 1e300), high(c.frequenciesHz.size(), -1e300);
            double widestFactor = 0.0;
            for (long long t = 0; t < alone.trials; ++t) {
                const LadderModel trial = ModelOfLadder(TrialLadder(compact, alone, t));
                for (size_t b = 0; b < trial.branches.size(); ++b)
                    for (size_t p = 0; p < trial.branches[b].parts.size(); ++p) {
                        const ModelPart& part = trial.branches[b].parts[p];
                        const double factor = part.value / ladder.branches[b].parts[p].value;
                        if (part.designator != name) {
                            EXPECT_EQ(factor, 1.0) << part.designator;
                            continue;
                        }
                        EXPECT_LE(std::fabs(factor - 1.0), 0.05);
                        widestFactor = std::max(widestFactor, std::fabs(factor - 1.0));
                    }
                const NetworkCurves curves = AnalyseCurves(trial, c.frequenciesHz, 1.0, {});
                for (size_t i = 0; i < low.size(); ++i) {
                    low[i] = std::min(low[i], curves.NetS21[i]);
                    high[i] = std::max(high[i], curves.NetS21[i]);
                }
            }
            EXPECT_GT(widestFactor, 0.04);
            double spread = 0.0;
            for (size_t i = 0; i < low.size(); ++i) {
                EXPECT_NEAR(one.s21.min[i], low[i], 1e-6) << c.frequenciesHz[i];
                EXPECT_NEAR(one.s21.max[i], high[i], 1e-6) << c.frequenciesHz[i];
                spread = std::max(spread, high[i] - low[i]);
            }
            EXPECT_GT(spread, 0.01);
        }
    }
}

} // namespace
