// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "cli/BoardOptions.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "design/PartChoice.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The files for the board, from the ladder as built: the SPICE subcircuit, the bill of materials
// and the KiCad schematic, as the options ask. choices say what each part is built from (empty:
// every part is a value of its own); band is what the ladder was designed for. A file that cannot be
// written throws ExportError.
void WriteBoardFiles(const BoardOptions& options, const LadderModel& built, const PartQuality& quality,
                     const std::vector<PartChoice>& choices, const std::string& title, const DesignBand& band);

} // namespace corvane
