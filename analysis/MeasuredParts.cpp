// SPDX-License-Identifier: Apache-2.0
#include "analysis/MeasuredParts.h"

#include <algorithm>
#include <cmath>

#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/Minimise.h"
#include "filtermath/Pi.h"

namespace corvane {

namespace {

using Cx = std::complex<double>;

constexpr double kLeastC = 1e-18;
constexpr double kMostC = 1e-6;
constexpr int kGridPerDecade = 20;
// ln C to this: far below what any measurement resolves.
constexpr double kLogCTolerance = 1e-13;

Cx InductorZ(const RlcEquivalent& e, double w)
{
    const Cx series{e.R, w * e.L};
    return series / (1.0 + Cx{0.0, w * e.C} * series);
}

Cx CapacitorZ(const RlcEquivalent& e, double w)
{
    return Cx{e.R, w * e.L - 1.0 / (w * e.C)};
}

// The sum of squared relative errors of an equivalent against the data.
double RelativeError(PartKind kind, const RlcEquivalent& e, const std::vector<double>& f, const std::vector<Cx>& z)
{
    double sum = 0.0;
    for (size_t i = 0; i < f.size(); ++i) {
        const double w = 2.0 * kPi<double> * f[i];
        const Cx fit = kind == PartKind::Inductor ? InductorZ(e, w) : CapacitorZ(e, w);
        sum += std::norm(fit - z[i]) / std::norm(z[i]);
    }
    return std::isfinite(sum) ? sum : INFINITY;
}

// R and L of an inductor shunted by C: a weighted least squares on the data with C taken out. The
// real and imaginary parts of R + jwL fit apart: R is a weighted mean, L a weighted slope.
RlcEquivalent InductorForC(double C, const std::vector<double>& f, const std::vector<Cx>& z)
{
    double sw = 0.0, swr = 0.0, sww = 0.0, swx = 0.0;
    for (size_t i = 0; i < f.size(); ++i) {
        const double w = 2.0 * kPi<double> * f[i];
        const Cx inner = z[i] / (1.0 - Cx{0.0, w * C} * z[i]);
        // An error dZ' makes dZ = dZ' (Z/Z')^2: relative to Z, |dZ'| |Z| / |Z'|^2.
        const double weight = std::norm(z[i]) / (std::norm(inner) * std::norm(inner));
        if (!std::isfinite(weight) || !std::isfinite(std::norm(inner))) continue;
        sw += weight;
        swr += weight * inner.real();
        sww += weight * w * w;
        swx += weight * w * inner.imag();
    }
    return {sw > 0.0 ? std::max(0.0, swr / sw) : 0.0, sww > 0.0 ? swx / sww : 0.0, C};
}

RlcEquivalent FitInductor(const std::vector<double>& f, const std::vector<Cx>& z)
{
    const auto cost = [&](double logC) {
        return RelativeError(PartKind::Inductor, InductorForC(std::exp(logC), f, z), f, z);
    };
    RlcEquivalent best = InductorForC(0.0, f, z);
    double bestCost = RelativeError(PartKind::Inductor, best, f, z);
    const double low = std::log(kLeastC);
    const double step = std::log(10.0) / kGridPerDecade;
    const int steps = static_cast<int>(std::lround(std::log10(kMostC / kLeastC) * kGridPerDecade));
    int bestStep = -1;
    for (int k = 0; k <= steps; ++k) {
        const double c = cost(low + k * step);
        if (c < bestCost) {
            bestCost = c;
            bestStep = k;
        }
    }
    if (bestStep < 0) return best;
    // Golden section between the grid points either side of the best.
    const double logC =
        GoldenSectionMinimum(cost, low + (bestStep - 1) * step, low + (bestStep + 1) * step, kLogCTolerance).x;
    return InductorForC(std::exp(logC), f, z);
}

// R + j(wL - D/w) with D = 1/C: R a weighted mean of the real parts, L and D from the 2 x 2 normal
// equations of the imaginary parts; an L that comes out negative is left out and D fitted alone.
RlcEquivalent FitCapacitor(const std::vector<double>& f, const std::vector<Cx>& z)
{
    double sw = 0.0, swr = 0.0, saa = 0.0, sab = 0.0, sbb = 0.0, sax = 0.0, sbx = 0.0;
    for (size_t i = 0; i < f.size(); ++i) {
        const double w = 2.0 * kPi<double> * f[i];
        const double weight = 1.0 / std::norm(z[i]);
        const double a = w, b = -1.0 / w, x = z[i].imag();
        sw += weight;
        swr += weight * z[i].real();
        saa += weight * a * a, sab += weight * a * b, sbb += weight * b * b;
        sax += weight * a * x, sbx += weight * b * x;
    }
    const double det = saa * sbb - sab * sab;
    double L = (sax * sbb - sbx * sab) / det;
    double D = (saa * sbx - sab * sax) / det;
    if (!(L >= 0.0) || !std::isfinite(D)) {
        L = 0.0;
        D = sbx / sbb;
    }
    return {std::max(0.0, swr / sw), L, D > 0.0 ? 1.0 / D : 0.0};
}

// The data's difference from the fitted equivalent at its point i.
std::complex<long double> Residual(PartKind kind, const MeasuredPart& part, const EquivalentPart& equivalent,
                                   std::size_t i)
{
    const long double w = 2.0 * kPi<double> * static_cast<long double>(part.frequencyHz[i]);
    return std::complex<long double>(part.impedance[i].real(), part.impedance[i].imag()) -
           ImpedanceOf(kind, equivalent.value, equivalent.model, 0.0, w).value;
}

// The fitted equivalent at w plus the data's difference from it (residual(i) at point i),
// interpolated linearly in frequency between the two points about w.
template <class ResidualAt>
PartImpedance Interpolated(PartKind kind, const MeasuredPart& part, const EquivalentPart& equivalent, long double w,
                           const ResidualAt& residual)
{
    PartImpedance z = ImpedanceOf(kind, equivalent.value, equivalent.model, 0.0, w);
    const double f = static_cast<double>(w / (2.0 * kPi<double>));
    if (!(f >= part.LowHz() && f <= part.HighHz())) return z;
    const auto& fs = part.frequencyHz;
    size_t hi = static_cast<size_t>(std::upper_bound(fs.begin(), fs.end(), f) - fs.begin());
    hi = std::min(std::max<size_t>(hi, 1), fs.size() - 1);
    const size_t lo = hi - 1;
    const long double wLo = 2.0 * kPi<double> * static_cast<long double>(fs[lo]);
    const long double wHi = 2.0 * kPi<double> * static_cast<long double>(fs[hi]);
    const std::complex<long double> rLo = residual(lo), rHi = residual(hi);
    const std::complex<long double> slope = (rHi - rLo) / (wHi - wLo);
    z.value += rLo + slope * (w - wLo);
    z.slope += slope;
    return z;
}

PartForm<long double> FormOfData(const PartImpedance& z, double leadL, long double w)
{
    if (!(leadL >= 0.0) || !std::isfinite(leadL)) RaiseInvalidOperation();
    PartForm<long double> form;
    form.value.scaled = z.value;
    form.slope.scaled = z.slope;
    form.value.lead = w * leadL;
    form.slope.lead = leadL;
    return form;
}

std::string RangeText(double lowHz, double highHz)
{
    return EngineeringText(lowHz, "Hz") + " to " + EngineeringText(highHz, "Hz");
}

std::string EquivalentText(PartKind kind, const RlcEquivalent& e)
{
    const std::string r = EngineeringText(e.R, "\u03a9");
    const std::string l = EngineeringText(e.L, "H");
    const std::string c = EngineeringText(e.C, "F");
    return kind == PartKind::Inductor ? l + " + " + r + " shunted by " + c : c + " + " + l + " + " + r;
}

} // namespace

RlcEquivalent FitRlcEquivalent(PartKind kind, const std::vector<double>& frequencyHz,
                               const std::vector<std::complex<double>>& impedance)
{
    if (frequencyHz.size() < 3 || frequencyHz.size() != impedance.size())
        throw MeasuredPartError("three frequencies or more are needed to fit the part");
    return kind == PartKind::Inductor ? FitInductor(frequencyHz, impedance) : FitCapacitor(frequencyHz, impedance);
}

MeasuredPart MakeMeasuredPart(PartKind kind, const std::string& file, std::vector<double> frequencyHz,
                              std::vector<std::complex<double>> impedance)
{
    if (kind == PartKind::Resistor) throw MeasuredPartError("a resistor takes no measured data");
    for (size_t i = 0; i < frequencyHz.size() && i < impedance.size(); ++i)
        if (!(frequencyHz[i] > 0.0) || !std::isfinite(frequencyHz[i]) || !std::isfinite(impedance[i].real()) ||
            !std::isfinite(impedance[i].imag()) || impedance[i] == Cx{})
            throw MeasuredPartError("no usable impedance at " + EngineeringText(frequencyHz[i], "Hz"));
    MeasuredPart part{file, std::move(frequencyHz), std::move(impedance), {}};
    part.equivalent = FitRlcEquivalent(kind, part.frequencyHz, part.impedance);
    // Vendors' data start below the part's self-resonance: an inductor's reactance there is
    // positive, a capacitor's negative. Either fit could otherwise mimic the other kind.
    const bool inductor = kind == PartKind::Inductor;
    const bool inductive = part.impedance.front().imag() > 0.0;
    if (inductive != inductor || !(inductor ? part.equivalent.L > 0.0 : part.equivalent.C > 0.0))
        throw MeasuredPartError(std::string("the data show no ") + (inductor ? "inductor" : "capacitor") + " (" +
                                "the reactance at " + EngineeringText(part.LowHz(), "Hz") + " is " +
                                (inductive ? "inductive" : "capacitive") + ")");
    return part;
}

EquivalentPart EquivalentOf(PartKind kind, const RlcEquivalent& e)
{
    PartModel model;
    model.seriesR = e.R;
    if (kind == PartKind::Inductor) {
        if (e.C > 0.0) model.srfHz = 1.0 / (2.0 * kPi<double> * std::sqrt(e.L * e.C));
        return {e.L, model};
    }
    model.esl = e.L;
    return {e.C, model};
}

EquivalentPart EquivalentOf(PartKind kind, const RlcEquivalent& e, double value)
{
    EquivalentPart part = EquivalentOf(kind, e);
    const double scale = kind == PartKind::Inductor ? value / part.value : part.value / value;
    if (!std::isfinite(scale) || !(scale > 0.0)) RaiseInvalidOperation();
    part.value = value;
    part.model.seriesR *= scale;
    part.model.esl *= scale;
    return part;
}

PartForm<long double> MeasuredForm(PartKind kind, const MeasuredPart& part, double leadL, long double w)
{
    const EquivalentPart equivalent = EquivalentOf(kind, part.equivalent);
    const auto residual = [&](std::size_t i) { return Residual(kind, part, equivalent, i); };
    return FormOfData(Interpolated(kind, part, equivalent, w, residual), leadL, w);
}

MeasuredForms::MeasuredForms(PartKind kind, const MeasuredPart& part)
    : kind_(kind), part_(part), equivalent_(EquivalentOf(kind, part.equivalent))
{
    for (std::size_t i = 0; i < part.frequencyHz.size(); ++i)
        residuals_.push_back(Residual(kind, part, equivalent_, i));
}

PartForm<long double> MeasuredForms::At(double leadL, long double w) const
{
    const auto residual = [this](std::size_t i) { return residuals_[i]; };
    return FormOfData(Interpolated(kind_, part_, equivalent_, w, residual), leadL, w);
}

long double MeasuredScale(PartKind kind, const MeasuredPart& part, double value)
{
    const double fitted = EquivalentOf(kind, part.equivalent).value;
    const long double scale = kind == PartKind::Inductor ? value / fitted : fitted / value;
    if (!std::isfinite(static_cast<double>(scale)) || !(scale > 0.0L)) RaiseInvalidOperation();
    return scale;
}

PartImpedance MeasuredImpedance(PartKind kind, const MeasuredPart& part, double value, long double w)
{
    return ImpedanceOfForm(MeasuredForm(kind, part, 0.0, w), MeasuredScale(kind, part, value));
}

void ApplyMeasuredParts(LadderModel& ladder, const std::map<std::string, std::shared_ptr<const MeasuredPart>>& measured)
{
    for (const auto& [designator, data] : measured) {
        ModelPart* found = FindPart(ladder, designator);
        if (!found)
            throw MeasuredPartError("The ladder has no part " + designator + " for " + data->file + "; its parts are " +
                                    PartNames(ladder) + ".");
        found->measured = data;
        found->value = EquivalentOf(found->kind, data->equivalent).value;
    }
}

std::vector<std::string> MeasuredRangeWarnings(const LadderModel& ladder, double lowHz, double highHz)
{
    std::vector<std::string> warnings;
    for (const ModelBranch& branch : ladder.branches)
        for (const ModelPart& part : branch.parts) {
            if (!part.measured) continue;
            const MeasuredPart& m = *part.measured;
            if (lowHz >= m.LowHz() && highHz <= m.HighHz()) continue;
            warnings.push_back("Warning: " + part.designator + " (" + m.file + ") holds data from " +
                               RangeText(m.LowHz(), m.HighHz()) + " and the sweep runs from " +
                               RangeText(lowHz, highHz) + "; outside the data its fitted equivalent " +
                               EquivalentText(part.kind, m.equivalent) + " stands in.");
        }
    return warnings;
}

} // namespace corvane
