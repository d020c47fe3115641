// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>
#include <vector>

#include "run/DesignState.h"
#include "run/Ports.h"

namespace corvane {

extern const char* const kEnterInputsText; // "Enter the inputs."
extern const char* const kStartStopText; // "Start must be less then Stop"
extern const char* const kEdgesPositiveText; // "Fmin and Fmax must be greater than zero."
extern const char* const kEdgeOrderText; // "Fmin must be less than Fmax."
extern const char* const kPassbandPositiveText; // "Passband Frequency must be greater than zero!"
extern const char* const kResistancePositiveText; // "RL must be greater than zero."

// The calculation run and the rules around it, shared by the window and the command line.
// Failures (ConvertError, ArithmeticError) propagate to the caller's edge; anticipated
// problems go to the MessagePort.
class CalculationRun {
public:
    CalculationRun(FormPort& form, MessagePort& messages, ResultPort& results);

    DesignState& State() { return state_; }
    const DesignState& State() const { return state_; }

    // The state part of window creation: FilterKind from the selectors, UnitScale 1e6, sweep.
    void Create();
    // FilterKind from the type and model selectors.
    void SelectKind();
    bool ReadInputs();
    bool ReadAllInputs();
    void UpdateSweep();
    // The run started by "&Calculate".
    void Calculate();
    // "Apply": the step check, then the run.
    void Apply();
    // The unit drop-down changed: UnitScale from its index (kept for an index outside the table).
    void ScaleChange();
    // Converts the pole count text into Order (when not empty) and tells whether it is even.
    bool IsOrderEven();
    // The element grid's data rows 1..N as texts; N from the pole count text.
    std::vector<std::array<std::string, 3>> GridRows() const;

private:
    // The message that refuses the inputs, or nullptr when they pass. A refusal leaves the
    // inputs of the design state and the title as they were.
    const char* ValidateInputs(bool allInputs);
    const char* ConvertInputs(bool allInputs);
    bool RespondAndDesign(int N);
    void RunSteps();
    bool HasMissingInput(bool allInputs) const;
    void SetChartTitle();
    const char* ValidateForKind();
    void SizeResults(int N);
    bool Respond();
    void ComputePrototype(int N);
    void ComputeElements(int N);

    FormPort& form_;
    MessagePort& messages_;
    ResultPort& results_;
    DesignState state_;
};

} // namespace corvane
