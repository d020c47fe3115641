// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/PartModels.h"
#include "design/LadderModel.h"
#include "design/MeasuredPart.h"
#include "filtermath/Failure.h"

namespace corvane {

// A part's data that is no such part: too few points, a reactance of the other kind, no finite
// value. what() states the problem; the caller names the file.
class MeasuredPartError : public Failure {
public:
    using Failure::Failure;
};

// The R-L-C equivalent that best fits the impedances at the frequencies, each point counted by its
// relative error |Zfit - Z| / |Z| so that the whole range weighs alike whatever |Z| does.
// A capacitor (R + jwL + 1/(jwC)) is linear in R, L and 1/C: one weighted least squares. An
// inductor ((R + jwL) shunted by C) is linear in R and L once C is taken out of the data (Z' =
// Z / (1 - jwCZ), the points weighted so that an error in Z' counts as the error it makes in Z),
// and C is found by a search over its logarithm: a grid over 1e-18 to 1e-6 F, and C = 0, refined
// by golden section about the best. Needs three points or more.
RlcEquivalent FitRlcEquivalent(PartKind kind, const std::vector<double>& frequencyHz,
                               const std::vector<std::complex<double>>& impedance);

// The part from its impedances, the equivalent fitted. MeasuredPartError for fewer than three
// points, a point that is not finite, or a fit that is no part of this kind (an inductor without
// inductance, a capacitor without capacitance).
MeasuredPart MakeMeasuredPart(PartKind kind, const std::string& file, std::vector<double> frequencyHz,
                              std::vector<std::complex<double>> impedance);

// The equivalent as a value and a part model that ImpedanceOf and the netlist take: an inductor's
// C as its self-resonance, a capacitor's L as its ESL; no Q. With a value other than the fitted one
// (a Monte Carlo trial, a tuned part) the part is scaled as a part of that value with the same Q
// and self-resonance: an inductor's impedance by value / L, a capacitor's by C / value.
struct EquivalentPart {
    double value;
    PartModel model;
};
EquivalentPart EquivalentOf(PartKind kind, const RlcEquivalent& equivalent);
EquivalentPart EquivalentOf(PartKind kind, const RlcEquivalent& equivalent, double value);

// The impedance of a measured part of the given value (see EquivalentOf) at w, lead not included.
// Within the file's range: the fitted equivalent plus the data's difference from it, interpolated
// linearly in frequency between the two points about w. The equivalent carries the part's
// resonance, so the difference left is smooth and the interpolation holds between points that are
// far apart for the resonance itself. Outside the range: the equivalent alone.
PartImpedance MeasuredImpedance(PartKind kind, const MeasuredPart& part, double value, long double w);

// The same as a part's form (PartForm.h): the data of the part at its fitted value as the scaled
// term, leadL in series. MeasuredScale is the scale of a part of the given value: value / L or
// C / value, and ArithmeticError where that is no positive finite number.
PartForm<long double> MeasuredForm(PartKind kind, const MeasuredPart& part, double leadL, long double w);
long double MeasuredScale(PartKind kind, const MeasuredPart& part, double value);

// MeasuredForm at many frequencies: the data's differences from the fitted equivalent are worked
// out once, at every point of the data. The part must outlive this.
class MeasuredForms {
public:
    MeasuredForms(PartKind kind, const MeasuredPart& part);
    PartForm<long double> At(double leadL, long double w) const;

private:
    PartKind kind_;
    const MeasuredPart& part_;
    EquivalentPart equivalent_;
    std::vector<std::complex<long double>> residuals_;
};

// Puts each measured part in the ladder in place of the part of its designator (its value becomes
// the fitted one, of the kind the designator names). MeasuredPartError naming the designator, the
// file and the ladder's parts when the ladder has no such part.
void ApplyMeasuredParts(LadderModel& ladder,
                        const std::map<std::string, std::shared_ptr<const MeasuredPart>>& measured);

// One line per measured part whose data does not cover lowHz to highHz, naming the part, its file,
// the file's range and the fitted equivalent that stands in beyond it.
std::vector<std::string> MeasuredRangeWarnings(const LadderModel& ladder, double lowHz, double highHz);

} // namespace corvane
