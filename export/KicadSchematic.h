// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "design/PartChoice.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The ladder as a KiCad schematic (.kicad_sch, the KiCad 6 format, which later versions open as
// well): L, C and R symbols drawn as the standard Device library draws them, under a library name of
// their own (Corvane:L, Corvane:C, Corvane:R) and embedded in the file so
// that it opens without that library, each with its designator, its value and, from the parts
// chosen, its manufacturer and part number as fields; the ports are global labels IN, OUT and GND,
// laid out as SheetLayout draws it, on the smallest of A4 to A0 (landscape) that holds it. The
// identifiers are numbered, so the same ladder gives the same file. The title block states the
// band, the terminations and the run's title, each on one line that an A4 title block shows whole;
// a note under the drawing names the part models (ModelsNote). A part built from a pair is drawn
// as its two parts, each under its own designator (MemberDesignator).
std::string KicadSchematic(const LadderModel& ladder, const std::vector<PartChoice>& choices, const std::string& title,
                           const DesignBand& band, const PartQuality& quality);

void WriteKicadSchematic(const std::string& path, const LadderModel& ladder, const std::vector<PartChoice>& choices,
                         const std::string& title, const DesignBand& band, const PartQuality& quality);

} // namespace corvane
