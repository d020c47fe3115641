// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <optional>
#include <string>

#include "design/NameTable.h"
#include "filtermath/ESeries.h"
#include "filtermath/LadderPlace.h"

namespace corvane {

// Each list of names the user chooses from, defined once here. Drop-down items, command-line
// choices and design-file keys are all made from these tables. The frequency units live with
// the classic run that scales by them (filtermath/FrequencyUnits.h).

// The kinds of part, one row each: the letter that starts a designator, the unit of the value and
// the noun a message names the part by.
enum class PartKind { Inductor, Capacitor, Resistor };
struct PartKindRow {
    PartKind kind;
    char letter;
    const char* unit;
    const char* noun;
};
inline constexpr std::array<PartKindRow, 3> kPartKinds{{
    {PartKind::Inductor, 'L', "H", "inductor"},
    {PartKind::Capacitor, 'C', "F", "capacitor"},
    {PartKind::Resistor, 'R', "\u03a9", "resistor"},
}};

constexpr const PartKindRow& RowOf(PartKind kind)
{
    for (const PartKindRow& row : kPartKinds)
        if (row.kind == kind) return row;
    throw std::logic_error("a part kind is missing from its table");
}
constexpr char LetterOf(PartKind kind)
{
    return RowOf(kind).letter;
}
constexpr const char* UnitOf(PartKind kind)
{
    return RowOf(kind).unit;
}
constexpr const char* NounOf(PartKind kind)
{
    return RowOf(kind).noun;
}

// The kind of a designator: the kind's letter and a number without a leading zero, as
// Designator() writes it, or with the "B" that once marked a second pair ("L2", "C13", "L103",
// "L3B", "R1"); nullopt for any other text.
std::optional<PartKind> DesignatorKind(const std::string& designator);

// The approximations: the classic run's two, the synthesised families and the pulse families.
enum class Family {
    Butterworth,
    Chebyshev,
    Bessel,
    Legendre,
    Elliptic,
    InverseChebyshev,
    Gaussian,
    EquirippleDelay,
    Gaussian6dB,
    Gaussian12dB
};
inline constexpr NameTable<Family, 10> kFamilyNames{{
    {Family::Butterworth, "Butterworth", "Butterworth"},
    {Family::Chebyshev, "Chebyshev", "Chebyshev"},
    {Family::Bessel, "Bessel", "Bessel"},
    {Family::Legendre, "Legendre", "Legendre"},
    {Family::Elliptic, "Elliptic", "Elliptic"},
    {Family::InverseChebyshev, "InverseChebyshev", "Inverse Chebyshev"},
    {Family::Gaussian, "Gaussian", "Gaussian"},
    {Family::Gaussian6dB, "Gaussian6dB", "Gaussian to 6 dB"},
    {Family::Gaussian12dB, "Gaussian12dB", "Gaussian to 12 dB"},
    {Family::EquirippleDelay, "EquirippleDelay", "Equiripple delay"},
}};

// What sets each family apart, one row per family: a ripple in its passband (whose edge is then
// where the ripple ends, else the 3.01 dB point), a stopband attenuation it is designed to, finite
// transmission zeros (traps in the ladder), and a pulse family (shaped for its step or its delay).
struct FamilyTraits {
    Family family;
    bool ripple;
    bool stopbandAttenuation;
    bool finiteZeros;
    bool pulse;
};
inline constexpr std::array<FamilyTraits, 10> kFamilyTraits{{
    // family                  ripple stopband zeros  pulse
    {Family::Butterworth, false, false, false, false},
    {Family::Chebyshev, true, false, false, false},
    {Family::Bessel, false, false, false, false},
    {Family::Legendre, false, false, false, false},
    {Family::Elliptic, true, true, true, false},
    {Family::InverseChebyshev, false, true, true, false},
    {Family::Gaussian, false, false, false, true},
    {Family::EquirippleDelay, false, false, false, true},
    {Family::Gaussian6dB, false, false, false, true},
    {Family::Gaussian12dB, false, false, false, true},
}};

constexpr const FamilyTraits& TraitsOf(Family family)
{
    for (const FamilyTraits& row : kFamilyTraits)
        if (row.family == family) return row;
    throw std::logic_error("a family is missing from its table");
}

// The response types; the classic run has the first three.
enum class FilterType { LowPass, HighPass, BandPass, BandStop };
inline constexpr NameTable<FilterType, 4> kFilterTypeNames{{
    {FilterType::LowPass, "LPF", "LPF"},
    {FilterType::HighPass, "HPF", "HPF"},
    {FilterType::BandPass, "BPF", "BPF"},
    {FilterType::BandStop, "BSF", "BSF"},
}};

// The ladder forms: T puts the first element in the signal path, Pi across it.
inline constexpr NameTable<LadderTopology, 2> kFormNames{{
    {LadderTopology::T, "T", "T - Type"},
    {LadderTopology::Pi, "Pi", "Pi - Type"},
}};

// How a band-pass is built: the transformed ladder, or shunt resonators coupled by series
// capacitors (top-C) or series inductors (top-L).
enum class BandPassForm { Ladder, TopC, TopL };
inline constexpr NameTable<BandPassForm, 3> kBandPassFormNames{{
    {BandPassForm::Ladder, "ladder", "Ladder"},
    {BandPassForm::TopC, "top-c", "Top-C coupled"},
    {BandPassForm::TopL, "top-l", "Top-L coupled"},
}};

// The standard values the parts are rounded to; no series keeps the designed values.
inline constexpr NameTable<std::optional<ESeries>, 7> kSeriesNames{{
    {std::nullopt, "none", "None"},
    {ESeries::E6, "E6", "E6"},
    {ESeries::E12, "E12", "E12"},
    {ESeries::E24, "E24", "E24"},
    {ESeries::E48, "E48", "E48"},
    {ESeries::E96, "E96", "E96"},
    {ESeries::E192, "E192", "E192"},
}};

// The load a ladder is analysed with.
enum class LoadChoice {
    Prototype, // the termination the prototype needs (an even Chebyshev's differs from the source)
    Source, // equal to the source resistance
    Value, // a resistance the user types
};
inline constexpr NameTable<LoadChoice, 3> kLoadNames{{
    {LoadChoice::Prototype, "prototype", "As the prototype needs"},
    {LoadChoice::Source, "source", "Equal to the source"},
    {LoadChoice::Value, "value", "Value (\u03a9)"},
}};

// How the Monte Carlo analysis draws a part's value within its tolerance.
enum class ToleranceDistribution {
    Uniform, // the factor is 1 + t u, u uniform on [-1, 1)
    Normal, // the factor is 1 + t z / 3, z standard normal: the tolerance is three standard deviations
};
inline constexpr NameTable<ToleranceDistribution, 2> kDistributionNames{{
    {ToleranceDistribution::Uniform, "uniform", "Uniform within the tolerance"},
    {ToleranceDistribution::Normal, "normal", "Normal, tolerance = 3 sigma"},
}};

// Where a synthesised design's order comes from: typed, or the smallest that meets a stopband.
enum class OrderFrom { Order, Requirement };
inline constexpr NameTable<OrderFrom, 2> kOrderFromNames{{
    {OrderFrom::Order, "order", "Order"},
    {OrderFrom::Requirement, "requirement", "Meet a stopband"},
}};

} // namespace corvane
