// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/MaskGrid.h"
#include "analysis/MeasuredParts.h"
#include "analysis/PartForm.h"
#include "analysis/ToleranceKernel.h"
#include "analysis/TrialParts.h"
#include "design/LadderModel.h"

namespace corvane {

// A Monte Carlo trial of a ladder with part models or strays: each perturbed part takes its nominal
// value times its factor, and keeps its model as stated (Q, ESR, self-resonance, leads, a measured
// part's data), as do the board's strays.
//
// The trials' kernel knows only L, C and one Q per kind, so such a trial has an analysis of its
// own, in double precision: each part's impedance comes from its form (PartForm.h, the rule the
// exact analysis evaluates in long double), whose terms depend on the frequency alone and are worked
// out once per sweep point and kept (a measured part's interpolated data included), so that a trial
// pays only for the few operations its values change and the cascade. No group delay is carried.
// Against the exact analysis (AnalyseModelAt) of every part model, stray and kind of arm, |S21|
// agrees to 2e-14 dB in the passband and 1e-12 dB in stopbands down to -320 dB, |S11| to 3e-13 dB
// above -100 dB; deeper reflection zeros as the kernel's (ToleranceKernel.h). At a lossless
// self-resonance on a sweep point the notch is as deep as each precision's rounding makes it.
//
// One thread at a time: a trial keeps the forms of the sweeps it has evaluated.
class ModelTrial {
public:
    ModelTrial(const LadderModel& nominal, const PartQuality& quality, const std::vector<Part>& parts);
    ModelTrial(const ModelTrial&) = delete; // its parts point into its own copy of the ladder
    ModelTrial& operator=(const ModelTrial&) = delete;

    // Each of the parts at its nominal value times factors[k], in the order of parts. Faults as
    // ImpedanceOf's for a value (a capacitor of zero, a measured part scaled to nothing).
    void Scale(const double* factors);

    // den2 and reflection as EvaluateKernel gives them, for the scaled ladder. Faults of the
    // analysis raise ArithmeticError (an arm that is a short or an open at a point divides by
    // zero); false when a response is not finite.
    bool Evaluate(const KernelSweep& sweep, std::size_t first, std::size_t count, double* den2, double* reflection);

private:
    struct TrialPart {
        PartKind kind;
        const ModelPart* source; // in nominal_
        std::shared_ptr<const MeasuredForms> data; // a measured part's
        PartModel model; // the effective one
        double lead;
        double value; // this trial's
        double scale; // the form's s at value
    };
    // A step of the cascade: consecutive series branches add their impedances, consecutive shunt
    // ones (node strays among them) their admittances.
    struct Element {
        std::size_t branch; // or, for a node stray, strayC > 0
        double strayC;
    };
    struct Stage {
        bool series;
        std::vector<Element> elements;
    };
    // The forms at every point of a sweep, found again by the sweep's storage and its frequencies.
    struct SweepForms {
        const double* key;
        std::vector<double> w;
        std::vector<FormTerms<double>> forms; // point after point, the parts in ladder order
    };

    void BuildStages();
    void FormsAt(double w, FormTerms<double>* forms) const;
    const FormTerms<double>* FormsFor(const KernelSweep& sweep, std::size_t first, std::size_t count);
    void PartImpedances(const FormTerms<double>* forms, const double* w, std::size_t m);
    std::complex<double> OnResonance(const TrialPart& part, const FormTerms<double>& form, double w,
                                     const std::complex<double>& z) const;
    void StageImmittances(const double* w, std::size_t m);
    void AddLonePart(std::size_t k, bool series, double* re, double* im, std::size_t m) const;
    void AddBranch(std::size_t b, double* re, double* im, std::size_t m) const;

    LadderModel nominal_;
    std::vector<TrialPart> parts_; // every part of the ladder, in branch order
    std::vector<std::size_t> firstPart_; // of each branch, and one past the last
    std::vector<std::size_t> perturbed_; // the part of each factor
    std::vector<double> nominalValue_; // of each factor
    std::vector<Stage> stages_;
    std::vector<SweepForms> cache_;
    std::vector<FormTerms<double>> scratch_;
    std::vector<char> series_; // of each stage
    std::vector<double> zr_, zi_; // the parts' impedances, a row of points per part
    std::vector<double> xr_, xi_; // the stages' immittances, a row per stage
};

// The scaled trial's worst mask margin in dB as meter measures a ladder: the grid's points, then
// the worst places refined between them. Faults as Evaluate's; false when a response is not finite.
// delay gives a delay band's group delay (MaskMeter::Margin).
bool TrialMarginDb(ModelTrial& trial, MaskMeter& meter, double& marginDb, const DelayEvaluator& delay = {});

} // namespace corvane
