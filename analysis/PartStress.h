// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <string>
#include <vector>

#include "design/LadderModel.h"
#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The drive of a transmitter's filter: the power its source makes available (into a load equal
// to RS), and the VSWR of its load against RL. Above 1 the load's reflection is turned through a
// full circle in phaseSteps equal steps (0 and 180 degrees among them) and the worst case kept.
struct StressDrive {
    double availableW = 1.0;
    double vswr = 1.0;
    int phaseSteps = 72;
};

// The source's EMF amplitude (peak volts) that makes availableW available from RS: sqrt(8 RS P).
double SourcePeakVolts(double RS, double availableW);

// The voltage across and the current through every part (peak phasors), in ladder order, at one
// frequency in hertz with the load impedance loadZ and a source of sourcePeakV. A part's terminals
// include its lead. Faults as AnalyseModelAt.
struct PartPhasor {
    std::complex<long double> v;
    std::complex<long double> i;
};
std::vector<PartPhasor> PartPhasorsAt(const LadderModel& ladder, const PartQuality& quality, double frequencyHz,
                                      std::complex<long double> loadZ, long double sourcePeakV);

// A part's worst case over the frequencies and load phases: the peak voltage across it, the peak
// current through it, and the most power its losses take (half Re(V conj I)), each with the
// frequency in hertz where it happens.
struct PartStress {
    std::string part;
    PartKind kind = PartKind::Inductor;
    double vPeak = 0.0, vHz = 0.0;
    double iPeak = 0.0, iHz = 0.0;
    double pDiss = 0.0, pHz = 0.0;
};
// std::invalid_argument for a power that is not above zero, a VSWR below 1 or not finite, or fewer
// than 2 phase steps.
std::vector<PartStress> StressOfParts(const LadderModel& ladder, const PartQuality& quality,
                                      const std::vector<double>& frequenciesHz, const StressDrive& drive);

} // namespace corvane
