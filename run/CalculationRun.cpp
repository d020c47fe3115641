// SPDX-License-Identifier: Apache-2.0
#include "run/CalculationRun.h"

#include <cmath>
#include <tuple>

#include "run/Rules.h"
#include "filtermath/Failure.h"
#include "filtermath/FpMath.h"
#include "filtermath/NumberText.h"
#include "filtermath/SelectFilter.h"
#include "filtermath/UElement.h"
#include "filtermath/UG.h"
#include "filtermath/UGain.h"

namespace corvane {

const char* const kEnterInputsText = "Enter the inputs.";
const char* const kStartStopText = "Start must be less then Stop";
const char* const kEdgesPositiveText = "Fmin and Fmax must be greater than zero.";
const char* const kEdgeOrderText = "Fmin must be less than Fmax.";
const char* const kPassbandPositiveText = "Passband Frequency must be greater than zero!";
const char* const kResistancePositiveText = "RL must be greater than zero.";

namespace {

constexpr double kStartUnitScale = 1e6;
// Two typed characters give at most 99 poles; a larger count would only size huge arrays.
constexpr double kMaxPoleCount = 99.0;
// Keeps equal band edges apart (it vanishes in the double for edges above about 1e-4). Other
// equal edges are refused, so only edges of zero, which the response reports, get this far.
constexpr long double kEqualEdgeGap = 1e-20L;

// A count that converts to zero ("00", "-0") is as empty as the text "0".
bool PoleCountInRange(double order)
{
    return order > 0.0 && order <= kMaxPoleCount;
}

// Negative edges design a band with negative elements; reversed or equal edges one with
// negative or unbounded ones. An edge of zero is left to the response, which reports it.
const char* BandEdgeRefusal(double Fmin, double Fmax)
{
    if (Fmin < 0.0 || Fmax < 0.0) return kEdgesPositiveText;
    if (Fmin != 0.0 && Fmax != 0.0 && Fmin >= Fmax) return kEdgeOrderText;
    return nullptr;
}

// Geometric band centre; the product of edges of opposite sign has no root.
double BandCentre(double Fmin, double Fmax)
{
    return fpmath::StoreDouble(fpmath::Sqrt(fpmath::Mul(Fmax, Fmin)));
}

} // namespace

CalculationRun::CalculationRun(FormPort& form, MessagePort& messages, ResultPort& results)
    : form_(form), messages_(messages), results_(results)
{
}

void CalculationRun::Create()
{
    SelectKind();
    state_.UnitScale = kStartUnitScale;
    UpdateSweep();
}

void CalculationRun::SelectKind()
{
    SelectFilterKind(form_.ItemIndex(Selector::Type), form_.ItemIndex(Selector::Model), state_.FilterKind);
}

bool CalculationRun::ReadInputs()
{
    return ValidateInputs(false) == nullptr;
}

bool CalculationRun::ReadAllInputs()
{
    return ValidateInputs(true) == nullptr;
}

bool CalculationRun::HasMissingInput(bool allInputs) const
{
    static const std::vector<Field> basic{Field::N, Field::Ripple, Field::PassF, Field::R};
    static const std::vector<Field> all{Field::N, Field::Ripple, Field::PassF, Field::Fmin, Field::Fmax, Field::R};
    const std::vector<Field>& required = allInputs ? all : basic;
    for (Field field : required)
        if (form_.FieldText(field).empty()) return true;
    for (Field field : required)
        if (field != Field::Ripple && form_.FieldText(field) == "0") return true;
    return false;
}

void CalculationRun::SetChartTitle()
{
    form_.SetTitle(ChartTitle(form_.SelectorText(Selector::Model), form_.SelectorText(Selector::Type)));
}

const char* CalculationRun::ValidateInputs(bool allInputs)
{
    if (HasMissingInput(allInputs)) return kEnterInputsText;
    DesignState& s = state_;
    const auto before = std::make_tuple(s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.RL);
    const char* refusal = ConvertInputs(allInputs);
    if (refusal != nullptr) std::tie(s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.RL) = before;
    return refusal;
}

// Converts field by field, checking each value as it is converted, so that refusals come in
// the fields' order. A conversion failure keeps the fields converted before it.
const char* CalculationRun::ConvertInputs(bool allInputs)
{
    const double order = StrToFloat(form_.FieldText(Field::N));
    if (!PoleCountInRange(order)) return kEnterInputsText;
    state_.Order = order;
    state_.Ripple = StrToFloat(form_.FieldText(Field::Ripple));
    state_.PassF = StrToFloat(form_.FieldText(Field::PassF));
    // A band-pass design does not use the passband frequency.
    if (state_.PassF < 0.0 && !BandEdgesEnabledFor(form_.ItemIndex(Selector::Type))) return kPassbandPositiveText;
    if (allInputs) {
        state_.Fmin = StrToFloat(form_.FieldText(Field::Fmin));
        state_.Fmax = StrToFloat(form_.FieldText(Field::Fmax));
        if (const char* refusal = BandEdgeRefusal(state_.Fmin, state_.Fmax)) return refusal;
    }
    double RL = 0.0;
    try {
        RL = StrToFloat(form_.FieldText(Field::R));
    } catch (const ConvertError&) {
        // The basic validator sets the title before it converts the resistance.
        if (!allInputs) SetChartTitle();
        throw;
    }
    state_.RL = RL;
    if (RL < 0.0) return kResistancePositiveText;
    if (allInputs && state_.Fmin == state_.Fmax) state_.Fmax = static_cast<double>(state_.Fmin + kEqualEdgeGap);
    SetChartTitle();
    return nullptr;
}

void CalculationRun::UpdateSweep()
{
    const std::string startText = form_.FieldText(Field::FStart);
    if (startText.empty()) return;
    const std::string stopText = form_.FieldText(Field::Stop);
    if (stopText.empty()) return;
    const double stop = StrToFloat(stopText);
    const double start = StrToFloat(startText);

    state_.FStep = SweepStep(start, stop);
    form_.SetStepText(state_.FStep > 1000.0 ? FormatSci3(state_.FStep) : FormatFixed3(state_.FStep));
    FillSweep(start, state_.FStep, state_.Freq);
}

const char* CalculationRun::ValidateForKind()
{
    if (BandEdgesEnabledFor(form_.ItemIndex(Selector::Type))) {
        if (const char* refusal = ValidateInputs(true)) return refusal;
        state_.F0 = BandCentre(state_.Fmin, state_.Fmax);
    }
    return ValidateInputs(false);
}

void CalculationRun::SizeResults(int N)
{
    const size_t size = static_cast<size_t>(N) + 2;
    state_.GValues.resize(size);
    state_.ElementValues.resize(size);
    state_.ElementUnits.resize(size);
    state_.BandL.resize(size);
    state_.BandC.resize(size);
}

bool CalculationRun::Respond()
{
    DesignState& s = state_;
    switch (s.FilterKind) {
    case 0: return ButterworthLowPassResponse(s.Freq, s.Att, s.Order, s.PassF, messages_);
    case 1: return ButterworthHighPassResponse(s.Freq, s.Att, s.Order, s.PassF, messages_);
    case 2: return ButterworthBandPassResponse(s.Freq, s.Att, s.Order, s.F0, s.Fmin, s.Fmax, messages_);
    case 3: return ChebyshevLowPassResponse(s.Freq, s.Att, s.Order, s.PassF, s.Ripple, messages_);
    case 4: return ChebyshevHighPassResponse(s.Freq, s.Att, s.Order, s.PassF, s.Ripple, messages_);
    case 5: return ChebyshevBandPassResponse(s.Freq, s.Att, s.Order, s.F0, s.Ripple, s.Fmin, s.Fmax, messages_);
    }
    return false;
}

void CalculationRun::ComputePrototype(int N)
{
    corvane::ComputePrototype(state_.FilterKind, N, state_.Ripple, state_.GValues);
}

void CalculationRun::ComputeElements(int N)
{
    DesignState& s = state_;
    ComputeElementTable(s.FilterKind, TopologyForIndex(form_.ItemIndex(Selector::Topology)), N, s.GValues, s.PassF,
                        s.Fmin, s.Fmax, s.RL, s.UnitScale, s.ElementUnits, s.ElementValues, s.BandL, s.BandC);
}

bool CalculationRun::RespondAndDesign(int N)
{
    if (!Respond()) return false;
    ComputePrototype(N);
    ComputeElements(N);
    return true;
}

void CalculationRun::RunSteps()
{
    if (const char* refusal = ValidateForKind()) {
        messages_.ShowMessage(refusal);
        return;
    }
    const int N = StrToInt(form_.FieldText(Field::N));
    SizeResults(N);
    if (!RespondAndDesign(N)) return;
    // S11 is kept only once it is whole: a fault part-way leaves the last plotted curve.
    Sweep S11{};
    ComputeS11(state_.Att, S11);
    state_.S11 = S11;
    results_.PlotResponse(state_.Freq, state_.Att, state_.S11);
    results_.FillElementGrid();
}

void CalculationRun::Calculate()
{
    UpdateSweep();
    RunSteps();
}

void CalculationRun::Apply()
{
    if (!(state_.FStep >= 0.0)) messages_.ShowMessage(kStartStopText);
    Calculate();
}

void CalculationRun::ScaleChange()
{
    UnitScaleForIndex(form_.ItemIndex(Selector::Scale), state_.UnitScale);
}

bool CalculationRun::IsOrderEven()
{
    const std::string text = form_.FieldText(Field::N);
    if (text.empty()) return false;
    state_.Order = StrToFloat(text);
    const double half = state_.Order / 2.0;
    return half == std::ceil(half);
}

std::vector<std::array<std::string, 3>> CalculationRun::GridRows() const
{
    const int N = StrToInt(form_.FieldText(Field::N));
    const bool bandPass = BandEdgesEnabledFor(form_.ItemIndex(Selector::Type));
    std::vector<std::array<std::string, 3>> rows;
    // The arrays hold N + 2 entries after a run; a count typed since then must not read past them.
    const int available = static_cast<int>(state_.GValues.size()) - 2;
    for (int i = 1; i <= N && i <= available; ++i) {
        const size_t k = static_cast<size_t>(i);
        std::array<std::string, 3> row{GridRowLabel(i), "", ""};
        if (bandPass) {
            row[1] = FormatSci2(state_.BandC[k]);
            row[2] = FormatSci2(state_.BandL[k]);
        } else {
            row[state_.ElementUnits[k] == "F" ? 1 : 2] = FormatSci2(state_.ElementValues[k]);
        }
        rows.push_back(row);
    }
    return rows;
}

} // namespace corvane
