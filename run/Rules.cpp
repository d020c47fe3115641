#include "Rules.h"

#include <algorithm>
#include <cmath>

#include "filtermath/FpMath.h"

namespace {

struct UnitRow {
    const char* text;
    double hertz;
};

const std::array<UnitRow, 4> kUnits{{{"Hz", 1.0}, {"kHz", 1000.0}, {"MHz", 1e6}, {"GHz", 1e9}}};

// 1 + 1e-14 keeps the root's argument positive where the attenuation is exactly 0 dB.
constexpr long double kReflectionBias = 1.00000000000001L;

} // namespace

const std::array<const char*, 3> kGridHeader{"Poles", "C, [F]", "L, [H]"};

bool UnitScaleForIndex(int index, double& unitScale)
{
    if (index < 0 || index >= static_cast<int>(kUnits.size())) return false;
    unitScale = kUnits[static_cast<size_t>(index)].hertz;
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

int FieldMaxLength(Field field)
{
    switch (field) {
    case Field::N: return 2;
    case Field::Ripple:
    case Field::PassF:
    case Field::Fmin:
    case Field::Fmax:
    case Field::R: return 5;
    case Field::FStart:
    case Field::Stop: return 0;
    }
    return 0;
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

// 20 log10 sqrt(1 + 1e-14 - 10^(att/10)); each checked step raises its own fault.
double ReflectionOf(double att)
{
    using namespace fpmath;
    const Real power = Power(10.0L, Div(att, 10.0L));
    const Real root = Sqrt(Sub(kReflectionBias, power));
    return StoreDouble(Mul(20.0L, Log10(root)));
}

} // namespace

void ComputeS11(const Sweep& Att, Sweep& S11)
{
    for (int i = 0; i < SweepPoints; ++i) S11[static_cast<size_t>(i)] = ReflectionOf(Att[static_cast<size_t>(i)]);
}
