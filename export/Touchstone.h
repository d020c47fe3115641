#pragma once
#include <string>
#include <vector>

#include "filtermath/LadderAnalysis.h"
#include "filtermath/Sweep.h"

// Touchstone version 1 two-port file of the analysed ladder: comment lines starting with "!",
// the option line "# <unit> S DB R <RL>", then one line per frequency (in the chosen unit):
// f, S11, S21, S12, S22, each as dB and angle in degrees. The ladder is reciprocal, so S12
// equals S21; S22 is computed, and equals S11 when the ladder is symmetric.
std::string TouchstoneText(const Ladder& ladder, const std::vector<double>& frequencies, double UnitScale,
                           const PartQuality& quality, const std::vector<std::string>& comments);

// The comment line after the caller's comments: which sweep points the file carries.
extern const char* const kTouchstonePointsNote;

// "Hz", "kHz", "MHz" or "GHz" for UnitScale 1, 1e3, 1e6, 1e9; ExportError for any other scale.
std::string TouchstoneUnit(double UnitScale);

// The file over the exported sweep points (see ExportFrequencies), written atomically.
void WriteTouchstone(const std::string& path, const Ladder& ladder, const Sweep& Freq, double UnitScale,
                     const PartQuality& quality, const std::vector<std::string>& comments);
