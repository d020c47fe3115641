// SPDX-License-Identifier: Apache-2.0
#include "analysis/PartModels.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "analysis/MeasuredParts.h"

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

using Real = long double;
using Cx = std::complex<Real>;

const Real kPi = 3.141592653589793238462643383279502884L;
const Cx kJ{0.0L, 1.0L};

void CheckModelValue(double value)
{
    if (!(value >= 0.0) || !std::isfinite(value)) RaiseInvalidOperation();
}

// Q at w: constant, or growing with sqrt(w) from its value at QHz. The exponent comes back too: the
// loss resistance X/Q varies as w^(x - e) for a reactance X ~ w^x.
Real QAt(const PartModel& model, Real w, Real& exponent)
{
    exponent = model.growth == QGrowth::SqrtF ? 0.5L : 0.0L;
    if (exponent == 0.0L) return model.Q;
    return model.Q * std::sqrt(w / (2.0L * kPi * model.QHz));
}

Cx Inverse(const Cx& z)
{
    if (z == Cx{}) RaiseDivisionByZero();
    return 1.0L / z;
}

// Loss resistance (Rdc + wL/Q) in series with L, the whole shunted by the capacitance that
// resonates with L at srfHz.
PartImpedance InductorModel(Real L, const PartModel& model, Real w)
{
    Real R = model.seriesR;
    Real dR = 0.0L;
    if (model.Q > 0.0 && w > 0.0L) {
        Real exponent = 0.0L;
        const Real lossR = w * L / QAt(model, w, exponent);
        R += lossR;
        dR = (1.0L - exponent) * lossR / w;
    }
    const Cx z{R, w * L};
    const Cx dz{dR, L};
    if (model.srfHz == 0.0 || L == 0.0L) return {z, dz};
    const Real w0 = 2.0L * kPi * model.srfHz;
    const Real Cp = 1.0L / (w0 * w0 * L);
    const Cx den = 1.0L + kJ * w * Cp * z;
    // A lossless tank right at its resonance is an open circuit; a hair beside it (a sweep point
    // typed on the self-resonance) its impedance is finite and the notch shows as deep as it is.
    if (den == Cx{}) return InductorModel(L, model, w * (1.0L + 1e-12L));
    return {z / den, (dz - kJ * Cp * z * z) / (den * den)};
}

// ESR + 1/(wCQ) + 1/(jwC) + jwLs, Ls the ESL or the inductance that resonates with C at srfHz.
PartImpedance CapacitorModel(Real C, const PartModel& model, Real w)
{
    if (w == 0.0L || C == 0.0L) RaiseDivisionByZero();
    Real R = model.seriesR;
    Real dR = 0.0L;
    if (model.Q > 0.0) {
        Real exponent = 0.0L;
        const Real lossR = 1.0L / (w * C * QAt(model, w, exponent));
        R += lossR;
        dR = -(1.0L + exponent) * lossR / w;
    }
    Real Ls = model.esl;
    if (model.srfHz > 0.0) {
        const Real w0 = 2.0L * kPi * model.srfHz;
        Ls = 1.0L / (w0 * w0 * C);
    }
    const Cx z{R, w * Ls - 1.0L / (w * C)};
    const Cx dz{dR, Ls + 1.0L / (w * w * C)};
    return {z, dz};
}

PartImpedance Sum(const PartImpedance& x, const PartImpedance& y)
{
    return {x.value + y.value, x.slope + y.slope};
}

PartImpedance Reciprocal(const PartImpedance& x)
{
    const Cx y = Inverse(x.value);
    return {y, -y * y * x.slope};
}

// The arm of a branch from its parts' impedances: an impedance, or an admittance where the shape
// is parallel at heart. Resonator is series on a series place and parallel on a shunt place.
PartImpedance Arm(BranchKind shape, bool seriesPlace, const std::vector<PartImpedance>& z, bool& admittance)
{
    admittance = false;
    switch (shape) {
    case BranchKind::Inductor:
    case BranchKind::Capacitor: return z.at(0);
    case BranchKind::Resonator:
        if (seriesPlace) return Sum(z.at(0), z.at(1));
        admittance = true;
        return Sum(Reciprocal(z.at(0)), Reciprocal(z.at(1)));
    case BranchKind::SeriesLC: return Sum(z.at(0), z.at(1));
    case BranchKind::ParallelLC: admittance = true; return Sum(Reciprocal(z.at(0)), Reciprocal(z.at(1)));
    case BranchKind::SeriesArm:
        return Sum(Sum(z.at(0), z.at(1)), Reciprocal(Sum(Reciprocal(z.at(2)), Reciprocal(z.at(3)))));
    case BranchKind::ParallelArm: break;
    }
    admittance = true;
    return Sum(Reciprocal(Sum(z.at(0), z.at(1))), Sum(Reciprocal(z.at(2)), Reciprocal(z.at(3))));
}

BranchImmittance NodeStray(double C, Real w)
{
    return {BranchPlace::Shunt, Cx{0.0L, w * C}, Cx{0.0L, static_cast<Real>(C)}};
}

} // namespace

void CheckPartModel(const PartModel& model, double leadL)
{
    for (double value : {model.Q, model.QHz, model.seriesR, model.srfHz, model.esl, leadL}) CheckModelValue(value);
    if (model.Q > 0.0 && model.growth == QGrowth::SqrtF && model.QHz == 0.0) RaiseInvalidOperation();
}

PartModel EffectiveModel(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    const bool inductor = part.kind == PartKind::Inductor;
    PartModel model = part.model ? *part.model : inductor ? ladder.inductorModel : ladder.capacitorModel;
    if (model.Q == 0.0) {
        model.Q = inductor ? quality.QL : quality.QC;
        model.growth = QGrowth::Constant;
    }
    return model;
}

double LeadInductance(const LadderModel& ladder, const ModelPart& part)
{
    return part.leadL ? *part.leadL : ladder.strays.leadL;
}

double NodeCapacitance(const LadderModel& ladder, int node)
{
    const auto at = ladder.strays.nodeCAt.find(node);
    return at != ladder.strays.nodeCAt.end() ? at->second : ladder.strays.nodeC;
}

LadderModel WithIdealParts(const LadderModel& ladder)
{
    LadderModel ideal = ladder;
    ideal.inductorModel = {};
    ideal.capacitorModel = {};
    ideal.strays = {};
    for (ModelBranch& branch : ideal.branches)
        for (ModelPart& part : branch.parts) {
            part.model.reset();
            part.leadL.reset();
            part.measured.reset();
        }
    return ideal;
}

std::string ModelSummary(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    if (part.measured) return std::filesystem::path(part.measured->file).filename().string();
    if (part.kind == PartKind::Resistor) return "ideal";
    const PartModel m = EffectiveModel(ladder, part, quality);
    const bool inductor = part.kind == PartKind::Inductor;
    std::string text;
    const auto add = [&text](const std::string& piece) { text += (text.empty() ? "" : ", ") + piece; };
    if (m.Q > 0.0) {
        char q[32];
        std::snprintf(q, sizeof q, "Q %g", m.Q);
        add(q + std::string(m.growth == QGrowth::SqrtF ? " \u00b7 \u221a(f/" + EngineeringText(m.QHz, "Hz", true) + ")" : ""));
    }
    if (m.seriesR > 0.0) add((inductor ? "Rdc " : "ESR ") + EngineeringText(m.seriesR, "\u03a9", true));
    if (m.srfHz > 0.0) add("SRF " + EngineeringText(m.srfHz, "Hz", true));
    if (!inductor && m.srfHz == 0.0 && m.esl > 0.0) add("ESL " + EngineeringText(m.esl, "H", true));
    const double lead = LeadInductance(ladder, part);
    if (lead > 0.0) add("lead " + EngineeringText(lead, "H", true));
    return text.empty() ? "ideal" : text;
}

bool HasPartModels(const LadderModel& ladder)
{
    if (!ladder.strays.None() || !ladder.inductorModel.Ideal() || !ladder.capacitorModel.Ideal()) return true;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts)
            if ((part.model && !part.model->Ideal()) || (part.leadL && *part.leadL != 0.0) || part.measured)
                return true;
    return false;
}

PartImpedance ImpedanceOf(PartKind kind, double value, const PartModel& model, double leadL, long double w)
{
    if (!std::isfinite(value)) RaiseInvalidOperation();
    CheckPartModel(model, leadL);
    PartImpedance z = kind == PartKind::Inductor    ? InductorModel(value, model, w)
                      : kind == PartKind::Capacitor ? CapacitorModel(value, model, w)
                                                    : PartImpedance{Cx{static_cast<Real>(value), 0.0L}, Cx{}};
    z.value += kJ * (w * leadL);
    z.slope += kJ * static_cast<Real>(leadL);
    return z;
}

std::vector<PartImpedance> PartImpedancesAt(const LadderModel& ladder, const ModelBranch& branch, long double w,
                                            const PartQuality& quality)
{
    std::vector<PartImpedance> z;
    for (const ModelPart& part : branch.parts) {
        if (!part.measured) {
            z.push_back(ImpedanceOf(part.kind, part.value, EffectiveModel(ladder, part, quality),
                                    LeadInductance(ladder, part), w));
            continue;
        }
        // The vendor's data holds the part's own losses: the kind's Q does not apply.
        PartImpedance measured = MeasuredImpedance(part.kind, *part.measured, part.value, w);
        const double lead = LeadInductance(ladder, part);
        CheckModelValue(lead);
        measured.value += kJ * (w * lead);
        measured.slope += kJ * static_cast<Real>(lead);
        z.push_back(measured);
    }
    return z;
}

PartImpedance BranchFromParts(const ModelBranch& branch, const std::vector<PartImpedance>& z)
{
    const bool series = branch.place == BranchPlace::Series;
    bool admittance = false;
    const PartImpedance x = Arm(branch.shape, series, z, admittance);
    return admittance == series ? Reciprocal(x) : x;
}

std::vector<BranchImmittance> ImmittancesAt(const LadderModel& ladder, long double w, const PartQuality& quality)
{
    std::vector<BranchImmittance> result;
    int node = 1;
    const auto stray = [&](int k) {
        const double C = NodeCapacitance(ladder, k);
        CheckModelValue(C);
        if (C > 0.0) result.push_back(NodeStray(C, w));
    };
    stray(node);
    for (const ModelBranch& branch : ladder.branches) {
        const PartImpedance x = BranchFromParts(branch, PartImpedancesAt(ladder, branch, w, quality));
        result.push_back({branch.place, x.value, x.slope});
        if (branch.place == BranchPlace::Series) stray(++node);
    }
    return result;
}

NetworkPoint AnalyseModelAt(const LadderModel& ladder, double frequencyHz, const PartQuality& quality)
{
    if (std::isnan(frequencyHz)) RaiseInvalidOperation();
    if (std::isinf(frequencyHz)) RaiseOverflow();
    const Real w = 2.0L * kPi * std::fabs(static_cast<Real>(frequencyHz));
    return AnalyseImmittances(ImmittancesAt(ladder, w, quality), ladder.RS, ladder.RL);
}

NetworkPoint AnalyseLadderAt(const LadderModel& ladder, double frequencyHz, const PartQuality& quality)
{
    const Ladder compact = LadderOfModel(ladder); // refuses parts that do not fit their branch's shape
    if (HasPartModels(ladder)) return AnalyseModelAt(ladder, frequencyHz, quality);
    return AnalyseAt(compact, frequencyHz, quality);
}

} // namespace corvane
