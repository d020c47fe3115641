// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "design/MeasuredPart.h"

namespace corvane {

// A part that can be bought: one row of a parts catalogue. Absent figures are NaN (or empty).
struct CataloguePart {
    PartKind kind = PartKind::Capacitor;
    double value = 0.0; // henries or farads
    double tolerancePercent = std::numeric_limits<double>::quiet_NaN();
    double Q = std::numeric_limits<double>::quiet_NaN(); // at qFrequencyHz
    double qFrequencyHz = std::numeric_limits<double>::quiet_NaN();
    double srfHz = std::numeric_limits<double>::quiet_NaN(); // self-resonant frequency
    double seriesOhms = std::numeric_limits<double>::quiet_NaN(); // a capacitor's ESR, an inductor's DC resistance
    std::string package;
    std::string manufacturer;
    std::string partNumber;
    std::string touchstoneFile; // measured S-parameters, the path as the catalogue's folder gives it
    std::shared_ptr<const MeasuredPart> measured; // that file's part, once read
    int line = 0; // the catalogue line it came from
};

// How one part of the ladder is built: from one catalogue part, from two in parallel or in
// series, or as a value of its own (a trimmer tuned to it, a value kept, or no catalogue at all).
enum class ChoiceForm { Single, Parallel, Series, Own };

struct PartChoice {
    std::string designator; // the ladder part it builds
    ChoiceForm form = ChoiceForm::Own;
    std::vector<CataloguePart> members; // one for Single, two for a pair, none for Own
    double value = 0.0; // what the members make together
    bool tuned = false; // a trimmer, set to value
};

// The value two parts make in parallel or in series: capacitances add in parallel and
// inductances in series; the other way round is the reciprocal of the sum of reciprocals.
double PairValue(PartKind kind, ChoiceForm form, double a, double b);

// The designator of one part (member from 0) of a pair that builds a ladder part: C2_1 and C2_2
// for C2. It ends in a number, as KiCad needs of an annotated part.
std::string MemberDesignator(const std::string& designator, int member);

} // namespace corvane
