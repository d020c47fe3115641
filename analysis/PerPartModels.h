// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <map>
#include <optional>
#include <string>

#include "design/LadderModel.h"

namespace corvane {

// One part's own model, written as an engineer notes it beside the part:
//   "Q 80, SRF 1.2 GHz, Rdc 0.1, lead 1n"   or   "Q 120 @ 100 MHz, ESR 20m, ESL 0.4n"
// Items are separated by commas, each a key and a value: Q (constant; with "@ F" it grows with
// sqrt(f) from Q at F), SRF, Rdc or ESR (the series loss resistance, also "R"), ESL (capacitors,
// only without an SRF) and lead (the part's own lead inductance). A frequency without a unit is in
// the design's unit. The model replaces its kind's default; a key left out is zero, except Q,
// which then follows the kind's Q.
struct PartModelItems {
    std::string q, qAt, srf, seriesR, esl, lead; // the values as typed
    bool operator==(const PartModelItems& other) const;
};

// The items of a text; InputError naming the field for an unknown key, a key given twice or an
// item without a value.
PartModelItems SplitPartModelText(const std::string& text, const std::string& field);
// The text of the items, in the order above; the key of the series resistance follows the kind.
std::string JoinPartModelText(const PartModelItems& items, PartKind kind);

struct OwnPartModel {
    PartModel model;
    std::optional<double> leadL;
    bool operator==(const OwnPartModel& other) const { return model == other.model && leadL == other.leadL; }
};
// The model a text gives a part of the kind; InputError naming the field and the item for a value
// the rule of its kind's field refuses, for an ESL on an inductor, or for an ESL beside an SRF.
OwnPartModel ReadPartModelText(const std::string& text, const std::string& field, PartKind kind, double unitScale);

// Each part named takes its own model; InputError for a designator the ladder does not have,
// naming the parts it has.
void ApplyOwnPartModels(LadderModel& ladder, const std::map<std::string, OwnPartModel>& models);

} // namespace corvane
