// SPDX-License-Identifier: Apache-2.0
#include "analysis/ModelTrials.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "filtermath/Failure.h"
#include "filtermath/LadderCascade.h"

namespace corvane {

namespace {

using Cx = std::complex<double>;

// Points per pass: the rows of every part and stage stay in the first-level cache.
constexpr std::size_t kLanes = 64;

// Sweeps whose forms a trial keeps: the display sweep and the mask's grid, with room to spare, of
// up to 12 MB each; the forms of a longer sweep are worked out for each pass anew.
constexpr std::size_t kKeptSweeps = 4;
constexpr std::size_t kMostKeptTerms = std::size_t(1) << 18;

// The part of a branch that a trial's field stands for: its first or second inductor or capacitor.
std::size_t PlaceInBranch(const ModelBranch& branch, PartField field)
{
    const PartKind kind = field == PartField::L || field == PartField::L2 ? PartKind::Inductor : PartKind::Capacitor;
    int skip = field == PartField::L2 || field == PartField::C2 ? 1 : 0;
    for (std::size_t i = 0; i < branch.parts.size(); ++i)
        if (branch.parts[i].kind == kind && skip-- == 0) return i;
    throw std::invalid_argument("The parts of a branch do not fit its shape");
}

// Spelled out: the operators of std::complex check for NaN on every result and divide through a
// library call.
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

// The chain matrix of the stages at m points, stage rows of kLanes values, and from it den2 and
// reflection as the trials' kernel has them. False when a value is not finite.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
bool CascadeLanes(const char* series, std::size_t stages, const double* xr, const double* xi, std::size_t m, double RS,
                  double RL, double* den2, double* reflection)
{
    alignas(64) double ar[kLanes], ai[kLanes], br[kLanes], bi[kLanes];
    alignas(64) double cr[kLanes], ci[kLanes], dr[kLanes], di[kLanes];
    for (std::size_t p = 0; p < kLanes; ++p) {
        ar[p] = 1.0, ai[p] = 0.0, br[p] = 0.0, bi[p] = 0.0;
        cr[p] = 0.0, ci[p] = 0.0, dr[p] = 1.0, di[p] = 0.0;
    }
    const auto lane = [&](std::size_t p) {
        return ChainParts<double>{ar[p], ai[p], br[p], bi[p], cr[p], ci[p], dr[p], di[p]};
    };
    for (std::size_t s = 0; s < stages; ++s) {
        const double* x = xr + s * kLanes;
        const double* y = xi + s * kLanes;
        if (series[s])
            for (std::size_t p = 0; p < kLanes; ++p) CascadeStep(true, x[p], y[p], lane(p));
        else
            for (std::size_t p = 0; p < kLanes; ++p) CascadeStep(false, x[p], y[p], lane(p));
    }
    bool finite = true, zero = false;
    for (std::size_t p = 0; p < m; ++p) {
        const WaveSums<double> sums =
            WaveSumsOf(Chain<double>{ar[p], ai[p], br[p], bi[p], cr[p], ci[p], dr[p], di[p]}, RS, RL);
        const double d2 = DenNorm(sums);
        den2[p] = d2;
        reflection[p] = ReflectionNorm(sums, d2);
        zero = zero || d2 == 0.0;
        finite = finite && std::isfinite(d2) && std::isfinite(reflection[p]);
    }
    if (zero) RaiseDivisionByZero();
    return finite;
}

} // namespace

ModelTrial::ModelTrial(const LadderModel& nominal, const PartQuality& quality, const std::vector<Part>& parts)
    : nominal_(nominal)
{
    for (const ModelBranch& branch : nominal_.branches) {
        firstPart_.push_back(parts_.size());
        for (const ModelPart& part : branch.parts) {
            const PartModel model = part.measured ? PartModel{} : EffectiveModel(nominal_, part, quality);
            const auto data =
                part.measured ? std::make_shared<const MeasuredForms>(part.kind, *part.measured) : nullptr;
            parts_.push_back({part.kind, &part, data, model, LeadInductance(nominal_, part), part.value,
                              static_cast<double>(PartScale(part, part.value))});
        }
    }
    firstPart_.push_back(parts_.size());
    for (const Part& part : parts) {
        const std::size_t at =
            firstPart_.at(part.branch) + PlaceInBranch(nominal_.branches.at(part.branch), part.field);
        perturbed_.push_back(at);
        nominalValue_.push_back(parts_[at].value);
    }
    BuildStages();
    zr_.resize(parts_.size() * kLanes);
    zi_.resize(parts_.size() * kLanes);
    xr_.assign(stages_.size() * kLanes, 0.0);
    xi_.assign(stages_.size() * kLanes, 0.0);
    for (const Stage& stage : stages_) series_.push_back(stage.series ? 1 : 0);
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
void ModelTrial::FormsAt(double w, FormTerms<double>* forms) const
{
    for (std::size_t k = 0; k < parts_.size(); ++k) {
        const TrialPart& part = parts_[k];
        forms[k] = part.data ? ConvertTerms<double>(part.data->At(part.lead, w).value)
                             : ModelForm(part.kind, part.model, part.lead, w).value;
    }
}

// The forms at points first .. first+count-1 of the sweep, kept from an earlier call where the
// frequencies are the same. A sweep refilled in place (the mask's probes) gets its forms anew.
const FormTerms<double>* ModelTrial::FormsFor(const KernelSweep& sweep, std::size_t first, std::size_t count)
{
    const std::size_t n = parts_.size();
    const auto kept =
        std::find_if(cache_.begin(), cache_.end(), [&](const SweepForms& c) { return c.key == sweep.w.data(); });
    if (kept != cache_.end() && kept->w.size() == sweep.w.size() &&
        std::equal(sweep.w.begin() + first, sweep.w.begin() + first + count, kept->w.begin() + first))
        return kept->forms.data() + first * n;
    if (kept == cache_.end() && cache_.size() < kKeptSweeps && sweep.w.size() * n <= kMostKeptTerms) {
        SweepForms forms{sweep.w.data(), sweep.w, std::vector<FormTerms<double>>(sweep.w.size() * n)};
        for (std::size_t i = 0; i < sweep.w.size(); ++i) FormsAt(sweep.w[i], forms.forms.data() + i * n);
        cache_.push_back(std::move(forms));
        return cache_.back().forms.data() + first * n;
    }
    scratch_.resize(count * n);
    for (std::size_t i = 0; i < count; ++i) FormsAt(sweep.w[first + i], scratch_.data() + i * n);
    return scratch_.data();
}

// The parts' impedances at m points, part after part in kLanes-long rows of zr_ and zi_.
void ModelTrial::PartImpedances(const FormTerms<double>* forms, const double* w, std::size_t m)
{
    const std::size_t n = parts_.size();
    for (std::size_t k = 0; k < n; ++k) {
        const TrialPart& part = parts_[k];
        double* re = zr_.data() + k * kLanes;
        double* im = zi_.data() + k * kLanes;
        for (std::size_t p = 0; p < m; ++p) {
            const FormTerms<double>& form = forms[p * n + k];
            Cx z = FormImpedance(form, part.scale);
            if (form.tank != 0.0 && !Finite(z)) z = OnResonance(part, form, w[p], z);
            re[p] = z.real();
            im[p] = z.imag();
        }
    }
}

// A lossless tank on its very resonance divides by zero: the exact analysis steps beside it.
Cx ModelTrial::OnResonance(const TrialPart& part, const FormTerms<double>& form, double w, const Cx& z) const
{
    const Cx x{form.fixed.real() + part.scale * form.scaled.real(),
               form.fixed.imag() + part.scale * form.scaled.imag()};
    if (TankDenominator(form, part.scale, x) != Cx{}) return z;
    const auto exact = ImpedanceOf(part.kind, part.value, part.model, part.lead, w).value;
    return {static_cast<double>(exact.real()), static_cast<double>(exact.imag())};
}

// Each stage's impedance (series) or admittance (shunt) at m points, in rows of xr_ and xi_.
void ModelTrial::StageImmittances(const double* w, std::size_t m)
{
    for (std::size_t s = 0; s < stages_.size(); ++s) {
        const Stage& stage = stages_[s];
        double* re = xr_.data() + s * kLanes;
        double* im = xi_.data() + s * kLanes;
        std::fill(re, re + m, 0.0);
        std::fill(im, im + m, 0.0);
        for (const Element& e : stage.elements) {
            if (e.strayC > 0.0) {
                for (std::size_t p = 0; p < m; ++p) im[p] += w[p] * e.strayC;
                continue;
            }
            const ModelBranch& branch = nominal_.branches[e.branch];
            const std::size_t first = firstPart_[e.branch];
            if (branch.shape == BranchKind::Inductor || branch.shape == BranchKind::Capacitor)
                AddLonePart(first, stage.series, re, im, m);
            else
                AddBranch(e.branch, re, im, m);
        }
    }
}

// A lone part: its impedance in series, its admittance across the line.
void ModelTrial::AddLonePart(std::size_t k, bool series, double* re, double* im, std::size_t m) const
{
    const double* zr = zr_.data() + k * kLanes;
    const double* zi = zi_.data() + k * kLanes;
    if (series) {
        for (std::size_t p = 0; p < m; ++p) re[p] += zr[p], im[p] += zi[p];
        return;
    }
    int zeros = 0;
    for (std::size_t p = 0; p < m; ++p) {
        const double d = zr[p] * zr[p] + zi[p] * zi[p];
        zeros += d == 0.0;
        const double inverse = 1.0 / d;
        re[p] += zr[p] * inverse;
        im[p] -= zi[p] * inverse;
    }
    if (zeros) RaiseDivisionByZero();
}

// A branch of two or four parts, point by point through the rule of its shape.
void ModelTrial::AddBranch(std::size_t b, double* re, double* im, std::size_t m) const
{
    const ModelBranch& branch = nominal_.branches[b];
    const std::size_t first = firstPart_[b], count = std::min<std::size_t>(firstPart_[b + 1] - first, 4);
    const auto plus = [](const Cx& x, const Cx& y) { return Plus(x, y); };
    const auto inverse = [](const Cx& x) { return Inverse(x); };
    Cx z[4];
    for (std::size_t p = 0; p < m; ++p) {
        for (std::size_t k = 0; k < count; ++k) z[k] = {zr_[(first + k) * kLanes + p], zi_[(first + k) * kLanes + p]};
        const Cx x = BranchOfParts(branch.shape, branch.place, z, count, plus, inverse);
        re[p] += x.real();
        im[p] += x.imag();
    }
}

bool ModelTrial::Evaluate(const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                          double* reflection)
{
    bool finite = true;
    for (std::size_t start = 0; start < count; start += kLanes) {
        const std::size_t m = std::min(kLanes, count - start);
        const double* w = sweep.w.data() + first + start;
        PartImpedances(FormsFor(sweep, first + start, m), w, m);
        StageImmittances(w, m);
        finite = CascadeLanes(series_.data(), stages_.size(), xr_.data(), xi_.data(), m, nominal_.RS, nominal_.RL,
                              den2 + start, reflection + start) &&
                 finite;
    }
    return finite;
}

bool TrialMarginDb(ModelTrial& trial, MaskMeter& meter, double& marginDb, const DelayEvaluator& delay)
{
    const auto evaluate = [&trial](const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2,
                                   double* reflection) {
        return trial.Evaluate(sweep, first, count, den2, reflection);
    };
    return meter.Margin(evaluate, marginDb, delay);
}

} // namespace corvane
