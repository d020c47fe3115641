// SPDX-License-Identifier: Apache-2.0
#include "cli/BoardStage.h"

#include "export/BillOfMaterials.h"
#include "export/KicadSchematic.h"
#include "export/SpiceNetlist.h"

namespace corvane {

void WriteBoardFiles(const BoardOptions& options, const LadderModel& built, const PartQuality& quality,
                     const std::vector<PartChoice>& choices, const std::string& title, const DesignBand& band)
{
    if (!options.subcircuitFile.empty()) WriteSpiceSubcircuit(options.subcircuitFile, built, quality, title);
    if (!options.bomFile.empty()) WriteBillOfMaterials(options.bomFile, built, choices, quality);
    if (!options.kicadFile.empty()) WriteKicadSchematic(options.kicadFile, built, choices, title, band, quality);
}

} // namespace corvane
