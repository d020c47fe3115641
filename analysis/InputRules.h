// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/Tolerance.h"
#include "design/LadderModel.h"
#include "design/PartRange.h"
#include "filtermath/Failure.h"

namespace corvane {

// The rules of the values typed into the workbench's fields and given to the command line, each
// written once. A reader takes the text and the name the user knows the field by ("Points",
// "--points"), and returns the value or throws InputError with that rule's one message, which
// starts with the field's name.
//
// Every value reads in engineering notation (see ReadEngineeringText): "1.5k", "100n", "4.7 pF",
// "2.4GHz". A count is a whole value in any notation, so "1e3", "1k" and "1000.0" are all 1000
// points, while "1000.5" is refused. A seed is the one exception: it labels a random sequence and
// every one of its twenty digits counts, so it is typed as plain digits.
class InputError : public Failure {
public:
    using Failure::Failure;
};

int ReadPoints(const std::string& text, const std::string& field); // kMinNetworkPoints ... kMaxNetworkPoints
int ReadTrials(const std::string& text, const std::string& field); // 1 ... kMaxToleranceTrials
std::uint64_t ReadSeed(const std::string& text, const std::string& field); // 0 ... 2^64 - 1
double ReadPartQ(const std::string& text, const std::string& field); // 0 (ideal) or above
// A kind's Q: a number, constant over frequency (0 is ideal), or "80 @ 100 MHz", Q at a frequency
// (in the field's unit of unitScale hertz when bare) from which it grows with sqrt(f). QHz in
// hertz, 0 for a constant Q.
struct KindQ {
    double Q = 0.0;
    double QHz = 0.0;
};
KindQ ReadKindQ(const std::string& text, const std::string& field, double unitScale);
// A growing Q's two sides, trimmed; false, leaving q and at alone, where the text has no "@" or a side of it is blank.
bool SplitGrowingQ(const std::string& text, std::string& q, std::string& at);
// Percent, from 0 to below ToleranceLimitPercent(distribution).
double ReadTolerancePercent(const std::string& text, const std::string& field, ToleranceDistribution distribution);
// A frequency above zero in the field's unit of unitScale hertz. A bare number is in that unit;
// a prefix or "Hz" makes it absolute, so in a MHz field "10" and "10M" are 10 MHz, "2.4G" is
// 2400 MHz and "100k" is 0.1 MHz.
double ReadFrequency(const std::string& text, const std::string& field, double unitScale);
// Frequencies as above, separated by commas ("60, 90" or "60M,90M"); an empty or blank text is
// an empty list, an empty item among others is refused.
std::vector<double> ReadFrequencyList(const std::string& text, const std::string& field, double unitScale);
// The part limits as three values separated by commas: the least capacitance and inductance and
// the greatest inductor reactance, each in engineering notation with or without its unit ("1p,5n,2k",
// "0.5pF, 10nH, 1.5k\u03a9"); an empty or blank text is the defaults.
PartLimits ReadPartLimits(const std::string& text, const std::string& field);
// A sweep edge: as a frequency, but zero is allowed (a linear sweep may start at DC).
double ReadSweepEdge(const std::string& text, const std::string& field, double unitScale);
double ReadResistance(const std::string& text, const std::string& field); // ohms, above zero
// Values of part models and board strays, 0 (none) or above: a self-resonance as a frequency in the
// field's unit of unitScale hertz, a loss resistance in ohms, a stray capacitance in farads and a
// stray inductance in henries.
double ReadSelfResonance(const std::string& text, const std::string& field, double unitScale);
double ReadLossResistance(const std::string& text, const std::string& field);
double ReadStrayCapacitance(const std::string& text, const std::string& field);
double ReadStrayInductance(const std::string& text, const std::string& field);
// The board's stray capacitance at the nodes: one value for every node, and items "nK value" for
// node K (n1 at the source, as the netlist numbers them) in its place: "1.5p", "1.5p, n3 4p",
// "n1 2p, n4 2p". Farads, 0 (none) or above; blank is none.
BoardStrays ReadNodeStrays(const std::string& text, const std::string& field);
double ReadInductance(const std::string& text, const std::string& field); // henries, above zero
double ReadAttenuation(const std::string& text, const std::string& field); // dB, 0 or above
// A source's power: watts above zero, or dBm (any finite level), returned in watts.
double ReadPowerW(const std::string& text, const std::string& field);
double ReadPowerDbm(const std::string& text, const std::string& field);
double ReadVswr(const std::string& text, const std::string& field); // 1 (matched) or above
// One field for either: watts where the text ends in the unit W ("5 W", "500mW"), else dBm; in watts,
// with one message for both.
double ReadPower(const std::string& text, const std::string& field);
bool PowerTextInWatts(const std::string& text); // the text ends in the unit W
// A part's rating, above zero, or 0 for an empty or blank text (no rating): a peak voltage in volts,
// a peak current in amperes.
double ReadVoltageRating(const std::string& text, const std::string& field);
double ReadCurrentRating(const std::string& text, const std::string& field);
double ReadRipple(const std::string& text, const std::string& field); // dB, above 0 and at most kMaxRippleDb
// A phase error in degrees, above 0 and at most kMaxPhaseErrorDeg.
double ReadPhaseError(const std::string& text, const std::string& field);

constexpr double kMaxRippleDb = 10.0;
constexpr double kMaxPhaseErrorDeg = 2.0;

// For a front end that hands texts on to a reader of plain numbers (the classic run): a text
// written with a prefix or the unit becomes the plain number in the field's unit of unitScale
// ("2.4G" in a MHz field: "2400"); any other text stays as typed, for that reader to judge.
std::string PlainNumberText(const std::string& text, const char* unit, double unitScale = 1.0);

} // namespace corvane
