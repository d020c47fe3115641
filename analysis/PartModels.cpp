// SPDX-License-Identifier: Apache-2.0
#include "analysis/PartModels.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "analysis/MeasuredParts.h"
#include "analysis/PartForm.h"

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Real = long double;
using Cx = std::complex<Real>;

const Cx kJ{0.0L, 1.0L};

void CheckModelValue(double value)
{
    if (!(value >= 0.0) || !std::isfinite(value)) RaiseInvalidOperation();
}

// Q at w: constant, or growing with sqrt(w) from its value at QHz. The exponent comes back too: the
// loss resistance X/Q varies as w^(x - e) for a reactance X ~ w^x.
template <class R>
R QAt(const PartModel& model, R w, R& exponent)
{
    exponent = model.growth == QGrowth::SqrtF ? R(0.5) : R(0);
    if (exponent == 0) return static_cast<R>(model.Q);
    return static_cast<R>(model.Q) * std::sqrt(w / (R(2) * static_cast<R>(kPi<Real>) * static_cast<R>(model.QHz)));
}

Cx Inverse(const Cx& z)
{
    if (z == Cx{}) RaiseDivisionByZero();
    return 1.0L / z;
}

// Loss resistance (Rdc + wL/Q) in series with L, the whole shunted by the capacitance that
// resonates with L at srfHz.
template <class R>
void InductorForm(const PartModel& model, R w, PartForm<R>& form)
{
    form.value.fixed = {static_cast<R>(model.seriesR), 0};
    R loss = 0, lossSlope = 0;
    if (model.Q > 0.0 && w > 0) {
        R exponent = 0;
        const R perQ = 1 / QAt(model, w, exponent);
        loss = w * perQ;
        lossSlope = (1 - exponent) * perQ;
    }
    form.value.scaled = {loss, w};
    form.slope.scaled = {lossSlope, 1};
    if (model.srfHz != 0.0) {
        const R w0 = R(2) * static_cast<R>(kPi<Real>) * static_cast<R>(model.srfHz);
        form.slope.tank = 1 / (w0 * w0);
        form.value.tank = w * form.slope.tank;
    }
}

// ESR + 1/(wCQ) + 1/(jwC) + jwLs, Ls the ESL or the inductance that resonates with C at srfHz.
template <class R>
void CapacitorForm(const PartModel& model, R w, PartForm<R>& form)
{
    if (w == 0) RaiseDivisionByZero();
    const R perW = 1 / w;
    R loss = 0, lossSlope = 0;
    if (model.Q > 0.0) {
        R exponent = 0;
        loss = perW / QAt(model, w, exponent);
        lossSlope = -(1 + exponent) * loss * perW;
    }
    R reactance = -perW, reactanceSlope = perW * perW;
    const R esl = model.srfHz > 0.0 ? R(0) : static_cast<R>(model.esl);
    if (model.srfHz > 0.0) {
        const R w0 = R(2) * static_cast<R>(kPi<Real>) * static_cast<R>(model.srfHz);
        const R perW0Squared = 1 / (w0 * w0);
        reactance += w * perW0Squared;
        reactanceSlope += perW0Squared;
    }
    form.value.fixed = {static_cast<R>(model.seriesR), w * esl};
    form.slope.fixed = {0, esl};
    form.value.scaled = {loss, reactance};
    form.slope.scaled = {lossSlope, reactanceSlope};
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

namespace {

void AddResonance(std::vector<double>& hz, double L, double C)
{
    if (L > 0.0 && C > 0.0 && std::isfinite(L * C)) hz.push_back(1.0 / (2.0 * kPi<double> * std::sqrt(L * C)));
}

} // namespace

std::vector<double> PartResonancesHz(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    std::vector<double> hz;
    if (part.measured || part.kind == PartKind::Resistor) return hz;
    const PartModel m = EffectiveModel(ladder, part, quality);
    const double lead = LeadInductance(ladder, part), w = 2.0 * kPi<double> * m.srfHz;
    if (m.srfHz > 0.0) hz.push_back(m.srfHz);
    if (part.kind == PartKind::Inductor) {
        if (m.srfHz > 0.0) AddResonance(hz, lead, 1.0 / (w * w * part.value));
    } else {
        const double esl = m.srfHz > 0.0 ? 1.0 / (w * w * part.value) : m.esl;
        AddResonance(hz, lead + esl, part.value);
    }
    return hz;
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

std::string QText(double Q, QGrowth growth, double QHz)
{
    if (!(Q > 0.0)) return "ideal";
    char q[32];
    std::snprintf(q, sizeof q, "%g", Q);
    return q + std::string(growth == QGrowth::SqrtF ? " @ " + EngineeringText(QHz, "Hz", true) : "");
}

std::string KindQText(const LadderModel& ladder, PartKind kind, const PartQuality& quality)
{
    const PartModel& m = kind == PartKind::Inductor ? ladder.inductorModel : ladder.capacitorModel;
    if (m.Q > 0.0) return QText(m.Q, m.growth, m.QHz);
    return QText(kind == PartKind::Inductor ? quality.QL : quality.QC, QGrowth::Constant, 0.0);
}

std::string ModelSummary(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality)
{
    if (part.measured) return std::filesystem::path(part.measured->file).filename().string();
    if (part.kind == PartKind::Resistor) return "ideal";
    const PartModel m = EffectiveModel(ladder, part, quality);
    const bool inductor = part.kind == PartKind::Inductor;
    std::string text;
    const auto add = [&text](const std::string& piece) { text += (text.empty() ? "" : ", ") + piece; };
    if (m.Q > 0.0) add("Q " + QText(m.Q, m.growth, m.QHz));
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

template <class R>
PartForm<R> ModelForm(PartKind kind, const PartModel& model, double leadL, R w)
{
    CheckPartModel(model, leadL);
    PartForm<R> form;
    if (kind == PartKind::Inductor)
        InductorForm(model, w, form);
    else if (kind == PartKind::Capacitor)
        CapacitorForm(model, w, form);
    else
        form.value.scaled = {1, 0}; // a resistor: its value
    form.value.lead = w * static_cast<R>(leadL);
    form.slope.lead = static_cast<R>(leadL);
    return form;
}
template PartForm<double> ModelForm(PartKind, const PartModel&, double, double);
template PartForm<long double> ModelForm(PartKind, const PartModel&, double, long double);

long double ModelScale(PartKind kind, double value)
{
    if (!std::isfinite(value)) RaiseInvalidOperation();
    if (kind != PartKind::Capacitor) return value;
    if (value == 0.0) RaiseDivisionByZero();
    return 1.0L / value;
}

PartImpedance ImpedanceOfForm(const PartForm<long double>& form, long double s)
{
    const Cx x = form.value.fixed + s * form.value.scaled;
    const Cx xSlope = form.slope.fixed + s * form.slope.scaled;
    const Cx den = TankDenominator(form.value, s, x);
    const Cx leadSlope{0.0L, form.slope.lead};
    if (den == Cx{1.0L, 0.0L}) return {FormImpedance(form.value, s), xSlope + leadSlope};
    // d/dw of x / (1 + j t x) with t = tank / s: (x' - j t' x^2) / den^2.
    return {FormImpedance(form.value, s), (xSlope - kJ * (form.slope.tank / s) * x * x) / (den * den) + leadSlope};
}

PartImpedance ImpedanceOf(PartKind kind, double value, const PartModel& model, double leadL, long double w)
{
    if (!std::isfinite(value)) RaiseInvalidOperation();
    const PartForm<Real> form = ModelForm(kind, model, leadL, w);
    const Real s = ModelScale(kind, value);
    // A lossless tank right at its resonance is an open circuit; a hair beside it (a sweep point
    // typed on the self-resonance) its impedance is finite and the notch shows as deep as it is.
    if (TankDenominator(form.value, s, form.value.fixed + s * form.value.scaled) == Cx{})
        return ImpedanceOf(kind, value, model, leadL, w * (1.0L + 1e-12L));
    return ImpedanceOfForm(form, s);
}

PartForm<long double> PartFormAt(const LadderModel& ladder, const ModelPart& part, long double w,
                                 const PartQuality& quality)
{
    const double lead = LeadInductance(ladder, part);
    if (!part.measured) return ModelForm(part.kind, EffectiveModel(ladder, part, quality), lead, w);
    // The vendor's data holds the part's own losses: the kind's Q does not apply.
    return MeasuredForm(part.kind, *part.measured, lead, w);
}

long double PartScale(const ModelPart& part, double value)
{
    return part.measured ? MeasuredScale(part.kind, *part.measured, value) : ModelScale(part.kind, value);
}

std::vector<PartImpedance> PartImpedancesAt(const LadderModel& ladder, const ModelBranch& branch, long double w,
                                            const PartQuality& quality)
{
    std::vector<PartImpedance> z;
    for (const ModelPart& part : branch.parts) {
        if (part.measured) {
            z.push_back(ImpedanceOfForm(PartFormAt(ladder, part, w, quality), PartScale(part, part.value)));
            continue;
        }
        z.push_back(
            ImpedanceOf(part.kind, part.value, EffectiveModel(ladder, part, quality), LeadInductance(ladder, part), w));
    }
    return z;
}

PartImpedance BranchFromParts(const ModelBranch& branch, const std::vector<PartImpedance>& z)
{
    return BranchOfParts(branch.shape, branch.place, z.data(), z.size(), Sum, Reciprocal);
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
    const Real w = 2.0L * kPi<Real> * std::fabs(static_cast<Real>(frequencyHz));
    return AnalyseImmittances(ImmittancesAt(ladder, w, quality), ladder.RS, ladder.RL);
}

NetworkPoint AnalyseLadderAt(const LadderModel& ladder, double frequencyHz, const PartQuality& quality)
{
    const Ladder compact = LadderOfModel(ladder); // refuses parts that do not fit their branch's shape
    if (HasPartModels(ladder)) return AnalyseModelAt(ladder, frequencyHz, quality);
    return AnalyseAt(compact, frequencyHz, quality);
}

} // namespace corvane
