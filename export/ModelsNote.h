// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// One line for a file's header that says which models an analysis of the ladder used, so that a
// reader of the file knows what its numbers include: "Models: inductors Q 80, SRF 1.2 GHz;
// capacitors ideal; no node strays". A kind whose parts differ (chosen from a catalogue, or each
// with a model of its own) lists every part: "inductors L1 (Q 60, Rdc 50 mOhm), L3 (Q 55)". ASCII
// only, so that every consumer reads it.
std::string ModelsNote(const LadderModel& ladder, const PartQuality& quality);

// One part's model in the same words: "Q 60, Rdc 100 mOhm, SRF 900 MHz", "ideal".
std::string PartModelNote(const LadderModel& ladder, const ModelPart& part, const PartQuality& quality);

} // namespace corvane
