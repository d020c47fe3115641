// SPDX-License-Identifier: Apache-2.0
#include "run/Rules.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"
#include "filtermath/FrequencyUnits.h"

namespace corvane {

namespace {

// 1 + 1e-14 keeps the root's argument positive where the attenuation is exactly 0 dB.
constexpr long double kReflectionBias = 1.00000000000001L;
constexpr long double kLn10Tenth = 0.2302585092994045684017991454684364208L; // ln(10) / 10

} // namespace

const std::array<const char*, 3> kGridHeader{"Poles", "C, [F]", "L, [H]"};

bool UnitScaleForIndex(int index, double& unitScale)
{
    if (index < 0 || index >= static_cast<int>(kFrequencyUnits.size())) return false;
    unitScale = kFrequencyUnits[static_cast<size_t>(index)].scale;
    return true;
}

std::string UnitLabelText(const std::string& unitText)
{
    return "(" + unitText + ")";
}

std::string ChartTitle(const std::string& modelText, const std::string& typeText)
{
    return modelText + "  " + typeText;
}

RipplePreset RipplePresetFor(int modelIndex)
{
    // Butterworth has no ripple: the field is locked at "0". Any other model is equal-ripple.
    if (modelIndex == 0) return {false, "0"};
    return {true, "0.5"};
}

bool BandEdgesEnabledFor(int typeIndex)
{
    return typeIndex == 2;
}

std::string GridRowLabel(int row)
{
    return "G" + std::to_string(row);
}

bool AttenuationNeedsFloor(const Sweep& Att)
{
    return *std::min_element(Att.begin(), Att.end()) < kAttenuationFloor;
}

namespace {

// 20 log10 sqrt(1 + 1e-14 - 10^(att/10)), with each fault raised at its step. The power of ten
// is exp(att ln10 / 10): several times faster than a general power, and the product's rounding
// stays far below a double's precision wherever the power is finite. att is a finite double, so
// only the exponential can overflow, and only the root's argument can leave the domain.
double ReflectionOf(double att)
{
    const long double power = std::exp(att * kLn10Tenth);
    if (std::isinf(power)) RaiseOverflow();
    const long double argument = kReflectionBias - power;
    if (argument < 0.0L) RaiseInvalidOperation();
    if (argument == 0.0L) RaiseDivisionByZero(); // the logarithm's pole
    return static_cast<double>(10.0L * std::log10(argument)); // 20 log10 sqrt(a) = 10 log10 a
}

} // namespace

void ComputeS11(const Sweep& Att, Sweep& S11)
{
    for (int i = 0; i < SweepPoints; ++i) S11[static_cast<size_t>(i)] = ReflectionOf(Att[static_cast<size_t>(i)]);
}

double SweepStep(double start, double stop)
{
    return static_cast<double>((static_cast<long double>(stop) - start) / SweepPoints);
}

void FillSweep(double start, double step, Sweep& Freq)
{
    constexpr double kZeroFrequency = 1e-10;
    for (int i = 0; i < SweepPoints; ++i) {
        double& point = Freq[static_cast<size_t>(i)];
        point = static_cast<double>(start + static_cast<long double>(i) * step);
        if (point == 0.0) point = kZeroFrequency;
    }
}

} // namespace corvane
