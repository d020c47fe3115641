// SPDX-License-Identifier: Apache-2.0
#include "analysis/ModelTrials.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "filtermath/Failure.h"

namespace corvane {

namespace {

using Cx = std::complex<double>;

// Sweeps whose forms a trial keeps: the display sweep and the mask's grid, with room to spare.
constexpr std::size_t kKeptSweeps = 4;

// The part of a branch that a trial's field stands for: its first or second inductor or capacitor.
std::size_t PlaceInBranch(const ModelBranch& branch, PartField field)
{
    const PartKind kind = field == PartField::L || field == PartField::L2 ? PartKind::Inductor : PartKind::Capacitor;
    int skip = field == PartField::L2 || field == PartField::C2 ? 1 : 0;
    for (std::size_t i = 0; i < branch.parts.size(); ++i)
        if (branch.parts[i].kind == kind && skip-- == 0) return i;
    throw std::invalid_argument("The parts of a branch do not fit its shape");
}

// Spelled out: the operators of std::complex check for NaN on every product and divide through a
// library call.
Cx Times(const Cx& a, const Cx& b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

Cx Plus(const Cx& a, const Cx& b)
{
    return {a.real() + b.real(), a.imag() + b.imag()};
}

Cx Inverse(const Cx& z)
{
    const double d = z.real() * z.real() + z.imag() * z.imag();
    if (d == 0.0) RaiseDivisionByZero();
    return {z.real() / d, -z.imag() / d};
}

bool Finite(const Cx& z)
{
    return std::isfinite(z.real()) && std::isfinite(z.imag());
}

} // namespace

ModelTrial::ModelTrial(const LadderModel& nominal, const PartQuality& quality, const std::vector<Part>& parts)
    : nominal_(nominal)
{
    for (const ModelBranch& branch : nominal_.branches) {
        firstPart_.push_back(parts_.size());
        for (const ModelPart& part : branch.parts) {
            const PartModel model = part.measured ? PartModel{} : EffectiveModel(nominal_, part, quality);
            parts_.push_back({part.kind, &part, model, LeadInductance(nominal_, part), part.value,
                              static_cast<double>(PartScale(part, part.value))});
        }
    }
    firstPart_.push_back(parts_.size());
    for (const Part& part : parts) {
        const std::size_t at = firstPart_.at(part.branch) + PlaceInBranch(nominal_.branches.at(part.branch), part.field);
        perturbed_.push_back(at);
        nominalValue_.push_back(parts_[at].value);
    }
    z_.resize(parts_.size());
    BuildStages();
}

void ModelTrial::BuildStages()
{
    const auto add = [this](bool series, Element element) {
        if (stages_.empty() || stages_.back().series != series) stages_.push_back({series, {}});
        stages_.back().elements.push_back(element);
    };
    // Node k lies after the (k-1)-th series branch; node 1 is the source's.
    int node = 1;
    const auto stray = [&](int k) {
        const double C = NodeCapacitance(nominal_, k);
        if (!(C >= 0.0) || !std::isfinite(C)) RaiseInvalidOperation();
        if (C > 0.0) add(false, {0, C});
    };
    stray(node);
    for (std::size_t b = 0; b < nominal_.branches.size(); ++b) {
        const bool series = nominal_.branches[b].place == BranchPlace::Series;
        add(series, {b, 0.0});
        if (series) stray(++node);
    }
}

void ModelTrial::Scale(const double* factors)
{
    for (std::size_t k = 0; k < perturbed_.size(); ++k) {
        TrialPart& part = parts_[perturbed_[k]];
        part.value = nominalValue_[k] * factors[k];
        part.scale = static_cast<double>(PartScale(*part.source, part.value));
    }
}

// The forms of every part at w: a model's in double, a measured part's interpolated in long double.
void ModelTrial::FormsAt(double w, PartForm<double>* forms) const
{
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        const TrialPart& part = parts_[k];
        forms[k] = part.source->measured
                       ? ConvertForm<double>(MeasuredForm(part.kind, *part.source->measured, part.lead, w))
                       : ModelForm(part.kind, part.model, part.lead, w);
    }
}

// The forms at points first .. first+count-1 of the sweep, kept from an earlier call where the
// frequencies are the same. A sweep refilled in place (the mask's probes) gets its forms anew.
const PartForm<double>* ModelTrial::FormsFor(const KernelSweep& sweep, std::size_t first, std::size_t count)
{
    const std::size_t n = parts_.size();
    const auto kept = std::find_if(cache_.begin(), cache_.end(),
                                   [&](const SweepForms& c) { return c.key == sweep.w.data(); });
    if (kept != cache_.end() && kept->w.size() == sweep.w.size() &&
        std::equal(sweep.w.begin() + first, sweep.w.begin() + first + count, kept->w.begin() + first))
        return kept->forms.data() + first * n;
    if (kept == cache_.end() && cache_.size() < kKeptSweeps) {
        SweepForms forms{sweep.w.data(), sweep.w, std::vector<PartForm<double>>(sweep.w.size() * n)};
        for (std::size_t i = 0; i < sweep.w.size(); ++i) FormsAt(sweep.w[i], forms.forms.data() + i * n);
        cache_.push_back(std::move(forms));
        return cache_.back().forms.data() + first * n;
    }
    scratch_.resize(count * n);
    for (std::size_t i = 0; i < count; ++i) FormsAt(sweep.w[first + i], scratch_.data() + i * n);
    return scratch_.data();
}

Cx ModelTrial::PartImpedance(std::size_t k, const PartForm<double>& form, double w) const
{
    const TrialPart& part = parts_[k];
    const Cx z = FormImpedance(form, part.scale);
    if (form.tank == 0.0 || Finite(z)) return z;
    // A lossless tank on its very resonance: the exact analysis steps beside it.
    const Cx x{form.fixed.real() + part.scale * form.scaled.real(), form.fixed.imag() + part.scale * form.scaled.imag()};
    if (TankDenominator(form, part.scale, x) != Cx{}) return z;
    const auto exact = ImpedanceOf(part.kind, part.value, part.model, part.lead, w).value;
    return {static_cast<double>(exact.real()), static_cast<double>(exact.imag())};
}

// The stage's impedance (series) or admittance (shunt).
Cx ModelTrial::StageImmittance(const Stage& stage, const Cx* z, double w) const
{
    Cx sum;
    for (const Element& e : stage.elements) {
        if (e.strayC > 0.0) {
            sum += Cx{0.0, w * e.strayC};
            continue;
        }
        const ModelBranch& branch = nominal_.branches[e.branch];
        const std::size_t first = firstPart_[e.branch];
        sum = Plus(sum, BranchOfParts(branch.shape, branch.place, z + first, firstPart_[e.branch + 1] - first, Plus,
                                      Inverse));
    }
    return sum;
}

bool ModelTrial::EvaluatePoint(const PartForm<double>* forms, double w, double& den2, double& reflection)
{
    for (std::size_t k = 0; k < parts_.size(); ++k) z_[k] = PartImpedance(k, forms[k], w);
    Cx A{1.0, 0.0}, B, C, D{1.0, 0.0};
    for (const Stage& stage : stages_) {
        const Cx x = StageImmittance(stage, z_.data(), w);
        // Series: [A B; C D] [1 Z; 0 1] adds A Z to B and C Z to D.
        // Shunt: [A B; C D] [1 0; Y 1] adds B Y to A and D Y to C.
        if (stage.series) {
            B = Plus(B, Times(A, x));
            D = Plus(D, Times(C, x));
        } else {
            A = Plus(A, Times(B, x));
            C = Plus(C, Times(D, x));
        }
    }
    const double RS = nominal_.RS, RL = nominal_.RL;
    const Cx a = A * RL, c = C * (RS * RL), d = D * RS;
    const Cx sum = a + B + c + d, difference = a + B - c - d;
    den2 = sum.real() * sum.real() + sum.imag() * sum.imag();
    if (den2 == 0.0) RaiseDivisionByZero();
    reflection = (difference.real() * difference.real() + difference.imag() * difference.imag()) / den2;
    return std::isfinite(den2) && std::isfinite(reflection);
}

bool ModelTrial::Evaluate(const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                          double* reflection)
{
    const PartForm<double>* forms = FormsFor(sweep, first, count);
    bool finite = true;
    for (std::size_t p = 0; p < count; ++p)
        finite = EvaluatePoint(forms + p * parts_.size(), sweep.w[first + p], den2[p], reflection[p]) && finite;
    return finite;
}

} // namespace corvane
