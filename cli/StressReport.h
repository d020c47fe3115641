// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <string>

#include <nlohmann/json.hpp>

#include "analysis/PartStress.h"

namespace corvane {

// The part stress as the command line reports it, for a classic and a synthesised design alike.
struct StressReport {
    StressDrive drive;
    StressRatings ratings;
    BandStress stress;
    double unitScale = 1.0; // hertz per unit of the frequencies printed
    std::string unitText;
};

// Stress (passband) and StressSweep: a row per part with Part, Vpeak, Ipeak, Pdiss, Freq and,
// over its kind's rating, OverRating.
void AddStressJson(const StressReport& report, nlohmann::ordered_json& json);
// The drive, then a table for the passband and one for the whole sweep.
void PrintStress(const StressReport& report, std::ostream& out);

} // namespace corvane
