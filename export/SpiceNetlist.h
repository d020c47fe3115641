// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// A SPICE netlist of the ladder for ngspice in batch mode (ngspice -b FILE): a 1 V AC source
// "V1" with its source resistance "RS", the ladder (every part under its designator: L<i> and C<i> at
// position i, L<i>B and C<i>B for the second pair of a four-element arm), the load "RLOAD" = RL at node "out", and a
// .control block that runs one AC analysis per frequency and then prints one table, a row per
// frequency: "hz" (the frequency), "vout" (|V(out)|) and
// "s21db" = 20 log10(2 |V(out)| sqrt(RS/RL)), the transducer gain. ngspice then exits with 0.
// Parts with a finite Q get a loss resistor RQL<i> or RQC<i> in series, set before each
// analysis to wL/QL or 1/(wC QC) at that frequency. Every node but the source's has a 1 TOhm
// resistor RDC<node> to ground, so that no node floats at DC.
std::string SpiceNetlist(const LadderModel& ladder, const std::vector<double>& frequenciesHz,
                         const PartQuality& quality, const std::string& title);

extern const char* const kSpiceFrequencyName; // "hz"
extern const char* const kSpiceOutputName; // "vout"
extern const char* const kSpiceGainName; // "s21db"
extern const char* const kSpiceSubcircuitName; // "corvane_ladder"

// The ladder alone as a subcircuit for the user's own simulation: ".subckt corvane_ladder in out
// gnd", the parts under their designators as in the netlist, inner nodes n<k> and x<k>, and the
// DC paths RDC<node> and RB<designator> of the netlist. A part with a finite Q has its loss
// resistor RQ<designator> as a behavioural resistor on ngspice's frequency variable "hertz", so that
// it holds in every AC analysis; in .op and .tran (hertz 0) it holds its value at the reference
// frequency that the header states. ngspice keeps hertz from an .ac until a "reset", so a session
// that runs .op or .tran after an .ac resets first. A ladder without a series branch joins in and
// out through a 0 V source VTHRU.
std::string SpiceSubcircuit(const LadderModel& ladder, const PartQuality& quality, const std::string& title);
void WriteSpiceSubcircuit(const std::string& path, const LadderModel& ladder, const PartQuality& quality,
                          const std::string& title);

// The netlist over the exported sweep points (see ExportFrequencies) of Freq, in the chosen unit,
// written by the safe file writer.
void WriteSpiceNetlist(const std::string& path, const LadderModel& ladder, const std::vector<double>& Freq,
                       double UnitScale, const PartQuality& quality, const std::string& title);

} // namespace corvane
