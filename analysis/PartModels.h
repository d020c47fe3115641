// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <string>
#include <vector>

#include "analysis/PartForm.h"
#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The analysis of a ladder whose parts carry models (losses that follow no single Q, self-resonance,
// series inductance) and whose board adds strays. Everything is worked in long double, as the
// exact analysis of the ideal ladder.

// The model a part is analysed with: its own, or its kind's default; a part model without a Q of
// its own takes the kind's Q from quality (the one Q per kind of the plain analysis).
PartModel EffectiveModel(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality);
// The lead inductance in series with the part: its own, or the board's.
double LeadInductance(const LadderModel& ladder, const ModelPart& part);
// A part's own resonances in hertz: its self-resonance, and the series resonance of its leads (and a
// capacitor's ESL) with its capacitance, an inductor's being that of its self-resonance. None for a
// measured part, whose data hold its own.
std::vector<double> PartResonancesHz(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality);
// The stray capacitance at node k (from 1, the source's side).
double NodeCapacitance(const LadderModel& ladder, int node);

// The ladder with every part ideal: no part model, Q, lead, measured data or board stray; the
// values as they are (a measured part keeps its fitted value). The grey curve under the real parts.
LadderModel WithIdealParts(const LadderModel& ladder);

// A part's model in brief, as the parts table shows it: "ideal", the features of its model
// ("Q 80, SRF 1.2 GHz", "ESR 50 m\u03a9, ESL 400 pH", "lead 1 nH"), or its file's name.
std::string ModelSummary(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality);

// A Q as the headers and the parts table write it, and as it is typed: "80", "80 @ 100 MHz" for
// one that grows with the root of f from 80 at 100 MHz, or "ideal" for none.
std::string QText(double Q, QGrowth growth, double QHz);
// The Q the kind's parts have unless they have their own: the kind's model's, else quality's.
std::string KindQText(const LadderModel& ladder, PartKind kind, const PartQuality& quality);

// True when some part model, measured part or stray asks for more than the plain analysis (L, C, one Q per kind).
bool HasPartModels(const LadderModel& ladder);

// Raises ArithmeticError (invalid operation) for a negative or non-finite model value or lead, or
// a growing Q without the frequency where it is stated.
void CheckPartModel(const PartModel& model, double leadL);

// A part's impedance at the angular frequency w and its derivative over w. A negative or
// non-finite model value, a growing Q without its frequency, or a capacitor at w = 0 raises
// ArithmeticError.
struct PartImpedance {
    std::complex<long double> value;
    std::complex<long double> slope;
};
PartImpedance ImpedanceOf(PartKind kind, double value, const PartModel& model, double leadL, long double w);

// The same part as its form at w (PartForm.h), the one rule ImpedanceOf and the Monte Carlo's
// double-precision trials both evaluate; faults of the model and a capacitor at w = 0 as ImpedanceOf.
// Instantiated for double and long double.
template <class Real>
PartForm<Real> ModelForm(PartKind kind, const PartModel& model, double leadL, Real w);
// The scale s of a part of the given value in its form: the value, or its reciprocal for a
// capacitor (ArithmeticError for a capacitor of zero or a value that is not finite).
long double ModelScale(PartKind kind, double value);
// The impedance and its slope from a form at scale s. A lossless tank at its very resonance divides
// by zero: ImpedanceOf steps beside it.
PartImpedance ImpedanceOfForm(const PartForm<long double>& form, long double s);

// The form of a part of the ladder as the analysis takes it (its own model or the kind's, or its
// measured data, with its lead) and its scale at a value.
PartForm<long double> PartFormAt(const LadderModel& ladder, const ModelPart& part, long double w,
                                 const PartQuality& quality);
long double PartScale(const ModelPart& part, double value);

// The impedances of a branch's parts at w, in the order they are listed.
std::vector<PartImpedance> PartImpedancesAt(const LadderModel& ladder, const ModelBranch& branch, long double w,
                                            const PartQuality& quality);
// The branch from its parts' impedances: its impedance on a series place, its admittance across the line.
PartImpedance BranchFromParts(const ModelBranch& branch, const std::vector<PartImpedance>& z);

// The branches of the ladder at w as the cascade takes them, a shunt branch for the stray
// capacitance of every node that has one.
std::vector<BranchImmittance> ImmittancesAt(const LadderModel& ladder, long double w, const PartQuality& quality);

// The response at one frequency in hertz (|f| for a negative one). Faults as ImpedanceOf and
// AnalyseImmittances; an arm that is a short or an open at this frequency divides by zero.
NetworkPoint AnalyseModelAt(const LadderModel& ladder, double frequencyHz, const PartQuality& quality);

// The response of any ladder model: through AnalyseModelAt when it has part models, else AnalyseAt.
NetworkPoint AnalyseLadderAt(const LadderModel& ladder, double frequencyHz, const PartQuality& quality);

} // namespace corvane
