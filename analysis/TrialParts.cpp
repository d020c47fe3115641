// SPDX-License-Identifier: Apache-2.0
#include "analysis/TrialParts.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "analysis/TrialRandom.h"
#include "design/LadderModel.h"

namespace corvane {

namespace {

// The values each kind of branch carries.
std::vector<PartField> FieldsOf(BranchKind kind)
{
    switch (kind) {
    case BranchKind::Inductor: return {PartField::L};
    case BranchKind::Capacitor: return {PartField::C};
    case BranchKind::Resonator:
    case BranchKind::SeriesLC:
    case BranchKind::ParallelLC: return {PartField::L, PartField::C};
    case BranchKind::SeriesArm:
    case BranchKind::ParallelArm: break;
    }
    return {PartField::L, PartField::C, PartField::L2, PartField::C2};
}

double& FieldOf(BranchValues& values, PartField field)
{
    switch (field) {
    case PartField::L: return values.L;
    case PartField::C: return values.C;
    case PartField::L2: return values.L2;
    case PartField::C2: break;
    }
    return values.C2;
}

double CheckedPercent(double percent, ToleranceDistribution distribution, const std::string& what)
{
    const double limit = ToleranceLimitPercent(distribution);
    if (!std::isfinite(percent) || percent < 0.0 || percent >= limit) {
        char text[64];
        std::snprintf(text, sizeof text, "%.4g", limit);
        throw std::invalid_argument(
            what + " must be at least 0 % and below " + text + " %" +
            (distribution == ToleranceDistribution::Normal ? " for the normal distribution" : ""));
    }
    return percent / 100.0;
}

} // namespace

std::vector<Part> PartsOf(const Ladder& ladder, const ToleranceSettings& settings)
{
    if (!settings.perBranch.empty() && settings.perBranch.size() != ladder.branches.size())
        throw std::invalid_argument("The part tolerances must name every branch of the ladder");
    const double tolL = CheckedPercent(settings.inductorPercent, settings.distribution, "The inductor tolerance");
    const double tolC = CheckedPercent(settings.capacitorPercent, settings.distribution, "The capacitor tolerance");
    std::vector<Part> parts;
    for (std::size_t i = 0; i < ladder.branches.size(); ++i) {
        const PartTolerance own = settings.perBranch.empty() ? PartTolerance{} : settings.perBranch[i];
        const std::string name = std::to_string(i + 1);
        const auto tolerance = [&](double ownPercent, double fallback, const char* what) {
            return ownPercent < 0.0 ? fallback
                                    : CheckedPercent(ownPercent, settings.distribution, std::string(what) + name);
        };
        for (PartField field : FieldsOf(ladder.branches[i].kind)) {
            const bool inductor = field == PartField::L || field == PartField::L2;
            parts.push_back({i, field,
                             inductor ? tolerance(own.inductorPercent, tolL, "The tolerance of L")
                                      : tolerance(own.capacitorPercent, tolC, "The tolerance of C")});
        }
    }
    return parts;
}

std::string PartName(const Part& part)
{
    const bool second = part.field == PartField::L2 || part.field == PartField::C2;
    return Designator(part.Inductor() ? PartKind::Inductor : PartKind::Capacitor, static_cast<int>(part.branch) + 1,
                      second);
}

double& PartValue(Ladder& ladder, const Part& part)
{
    LadderBranch& b = ladder.branches[part.branch];
    switch (part.field) {
    case PartField::L: return b.L;
    case PartField::C: return b.C;
    case PartField::L2: return b.L2;
    case PartField::C2: break;
    }
    return b.C2;
}

void DrawTrialFactors(const std::vector<Part>& parts, const ToleranceSettings& settings, long long trial,
                      double* factors)
{
    const bool normal = settings.distribution == ToleranceDistribution::Normal;
    TrialRandom random(settings.seed, static_cast<std::uint64_t>(trial));
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const double draw = normal ? random.NextNormal() / 3.0 : random.NextSigned();
        factors[k] = 1.0 + parts[k].tolerance * draw;
    }
}

void TrialBranches(const Ladder& ladder, const std::vector<Part>& parts, const double* factors, double lossL,
                   double lossC, KernelBranch* branches)
{
    const std::size_t count = ladder.branches.size();
    BranchValues values[64];
    std::vector<BranchValues> many(count > 64 ? count : 0);
    BranchValues* v = count > 64 ? many.data() : values;
    for (std::size_t b = 0; b < count; ++b) {
        const LadderBranch& nominal = ladder.branches[b];
        v[b] = {nominal.L, nominal.C, nominal.L2, nominal.C2};
    }
    for (std::size_t k = 0; k < parts.size(); ++k) FieldOf(v[parts[k].branch], parts[k].field) *= factors[k];
    for (std::size_t b = 0; b < count; ++b) branches[b] = MakeKernelBranch(ladder.branches[b], v[b], lossL, lossC);
}

Ladder ScaledLadder(const Ladder& ladder, const std::vector<Part>& parts, const double* factors)
{
    Ladder changed = ladder;
    for (std::size_t k = 0; k < parts.size(); ++k) PartValue(changed, parts[k]) *= factors[k];
    return changed;
}

LadderModel ScaledModel(const LadderModel& ladder, const std::vector<Part>& parts, const double* factors)
{
    LadderModel changed = ladder;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        // A branch's parts of a kind come first and second as the fields L and L2, C and C2 do.
        const PartKind kind = parts[k].Inductor() ? PartKind::Inductor : PartKind::Capacitor;
        const bool second = parts[k].field == PartField::L2 || parts[k].field == PartField::C2;
        int seen = 0;
        for (ModelPart& part : changed.branches[parts[k].branch].parts)
            if (part.kind == kind && seen++ == (second ? 1 : 0)) part.value *= factors[k];
    }
    return changed;
}

Ladder TrialLadder(const Ladder& ladder, const ToleranceSettings& settings, long long trial)
{
    const std::vector<Part> parts = PartsOf(ladder, settings);
    std::vector<double> factors(parts.size());
    DrawTrialFactors(parts, settings, trial, factors.data());
    return ScaledLadder(ladder, parts, factors.data());
}

} // namespace corvane
