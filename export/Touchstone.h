// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// Touchstone two-port file of the analysed ladder: comment lines starting with "!", then the
// data, one line per frequency (in the chosen unit): f, S11, S21, S12, S22, each as dB and angle in
// degrees. The ladder is reciprocal, so S12 equals S21; S22 is computed. Between equal
// terminations the file is version 1.1 with the option line "# <unit> S DB R <RL>". Between
// unequal ones it is version 2.0: "[Version] 2.0", the option line, the port count, the data
// order 12_21, the frequency count and "[Reference] <RS> <RL>", the data between
// "[Network Data]" and "[End]".
std::string TouchstoneText(const LadderModel& ladder, const std::vector<double>& frequencies, double UnitScale,
                           const PartQuality& quality, const std::vector<std::string>& comments);

// The comment line after the caller's comments: which sweep points the file carries.
extern const char* const kTouchstonePointsNote;

// "Hz", "kHz", "MHz" or "GHz" for UnitScale 1, 1e3, 1e6, 1e9; ExportError for any other scale.
std::string TouchstoneUnit(double UnitScale);

// The file over the exported sweep points (see ExportFrequencies) of Freq, written by the safe
// file writer.
void WriteTouchstone(const std::string& path, const LadderModel& ladder, const std::vector<double>& Freq,
                     double UnitScale, const PartQuality& quality, const std::vector<std::string>& comments);

} // namespace corvane
