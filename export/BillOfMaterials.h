// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "design/PartChoice.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The bill of materials of a ladder as built: one row per distinct part (kind, value, tolerance,
// package, manufacturer and part number alike), capacitors, then inductors, then resistors, each
// by ascending value. Its designators are the ladder's, in ladder order, each once; each part of a
// pair that builds a ladder part is listed under its own designator (MemberDesignator).
struct BomRow {
    std::vector<std::string> designators;
    std::string value; // "10 pF", "1.5 µH"; a trimmer reads "trimmer, set to 12.3 pF"
    int quantity = 0;
    std::string tolerance; // "5%", or empty where nothing says
    std::string package;
    std::string manufacturer;
    std::string partNumber;
    std::string model; // the model the analysis used for these parts (PartModelNote)
};

// choices names, by designator, what each part is built from; a part without one is a value of its
// own with no catalogue figures.
// quality is the run's Q of each kind, for the parts without a model of their own.
std::vector<BomRow> BillOfMaterials(const LadderModel& ladder, const std::vector<PartChoice>& choices,
                                    const PartQuality& quality);

// CSV with the heading Designator,Value,Quantity,Tolerance,Package,Manufacturer,Part number,Model;
// fields holding a comma, a quote or a line break are quoted (RFC 4180), lines end in CRLF.
std::string BomCsv(const std::vector<BomRow>& rows);

void WriteBillOfMaterials(const std::string& path, const LadderModel& ladder, const std::vector<PartChoice>& choices,
                          const PartQuality& quality);

} // namespace corvane
