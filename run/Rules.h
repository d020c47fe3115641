// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>

#include "run/Ports.h"
#include "filtermath/Sweep.h"

namespace corvane {

// Hertz per unit for the unit drop-down's item index; false for an index outside the table.
bool UnitScaleForIndex(int index, double& unitScale);
// The unit labels' caption, "(MHz)" for "MHz".
std::string UnitLabelText(const std::string& unitText);
// The chart title: model, two blanks, type.
std::string ChartTitle(const std::string& modelText, const std::string& typeText);

// What a change of the approximation does to the ripple field.
struct RipplePreset {
    bool enabled;
    const char* text;
};
RipplePreset RipplePresetFor(int modelIndex);
// Band edges are typed for a band-pass only; the passband field is then disabled.
bool BandEdgesEnabledFor(int typeIndex);


extern const std::array<const char*, 3> kGridHeader; // "Poles", "C, [F]", "L, [H]"
std::string GridRowLabel(int row); // "G1", "G2", ...

// The sweep: a hundredth of the span between start and stop per step, and Freq[i] = start + i * step
// with an exact zero moved to 1e-10, so that no response divides by it.
double SweepStep(double start, double stop);
void FillSweep(double start, double step, Sweep& Freq);

// Left-axis floor of the chart: the curve is cut off at -120 dB when it goes deeper.
constexpr double kAttenuationFloor = -120.0;
bool AttenuationNeedsFloor(const Sweep& Att);
// Input reflection derived from the attenuation: 20 log10 sqrt(1 + 1e-14 - 10^(Att/10)).
// Throws ArithmeticError (invalid operation) where Att lies above about 4e-14 dB.
void ComputeS11(const Sweep& Att, Sweep& S11);

} // namespace corvane
