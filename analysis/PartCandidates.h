// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "design/PartChoice.h"
#include "filtermath/ESeries.h"

namespace corvane {

// The values a part of the ladder may take when it is built: the parts of a catalogue, or of a
// standard series as ideal parts, one at a time or, where allowed, two together.

// The parts one kind may be built from, ascending in value, one part per value (the first the
// catalogue lists).
struct PartStock {
    std::vector<CataloguePart> inductors, capacitors;

    const std::vector<CataloguePart>& Of(PartKind kind) const
    {
        return kind == PartKind::Inductor ? inductors : capacitors;
    }
};

PartStock StockOfCatalogue(const std::vector<CataloguePart>& parts);
// The series' values from a decade below low to a decade above high, as parts with no figures.
PartStock StockOfSeries(ESeries series, double low, double high);

// One way to build a part: the members and the value they make.
struct Candidate {
    PartChoice choice;
    double Q = 0.0; // of the members (the lower of two); 0 where the stock does not say
};

// True when a catalogue part states a figure of its own: a Q, a self-resonance or a resistance.
bool StatesFigures(const CataloguePart& part);
bool StatesFigures(const PartStock& stock);
// A single catalogue part's measured data, which stands in for its value and figures; none for a
// pair (its members are analysed from their figures) or a value of its own.
std::shared_ptr<const MeasuredPart> MeasuredOfChoice(const PartChoice& choice);

// The model of a part built from catalogue parts: base (the part's own model or its kind's) with
// every figure the members state put in its place. A Q is the lower of the members' (an
// inductor's grows with the square root of frequency from where it is stated: skin loss; a
// capacitor's is constant), the self-resonance the lower stated, and the resistance the
// members' stated ones in series or in parallel as the parts are. None when no member states any.
std::optional<PartModel> ModelOfChoice(const PartModel& base, const PartChoice& choice, PartKind kind);

// The nearest part of the stock to target on a log scale (plain rounding): the lower at a tie.
Candidate NearestCandidate(const PartStock& stock, PartKind kind, double target);

// The neighbours of target: the two stock values below it and the two above (fewer at the ends of
// the stock), and with pairs the four nearest pairs of stock values whose sum is near target
// (capacitors in parallel, inductors in series), ascending in value. Empty for an empty stock.
std::vector<Candidate> CandidatesNear(const PartStock& stock, PartKind kind, double target, bool pairs);

} // namespace corvane
