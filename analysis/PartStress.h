// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <atomic>
#include <complex>
#include <string>
#include <vector>

#include "design/DesignBand.h"
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

// The frequency of the figure a part is rated by: a capacitor's peak voltage, an inductor's peak current.
double RatedPeakHz(const PartStress& stress);

// The worst cases over the sweep's points that lie in the band's passband and over the whole
// sweep, found in one pass. With cancel set the pass stops early and the result is incomplete;
// done counts the frequencies finished.
struct BandStress {
    std::vector<PartStress> passband;
    std::vector<PartStress> sweep;
    int passbandPoints = 0; // none: the passband's figures are zero and say nothing
};
BandStress StressOverBand(const LadderModel& ladder, const PartQuality& quality,
                          const std::vector<double>& frequenciesHz, const DesignBand& band, const StressDrive& drive,
                          const std::atomic<bool>* cancel = nullptr, std::atomic<long long>* done = nullptr);

// The peak voltage a capacitor and the peak current an inductor may take; 0: not rated.
struct StressRatings {
    double capacitorV = 0.0;
    double inductorA = 0.0;
};
// The rating of the part's kind that its stress exceeds, or 0 where it is within it or not rated.
double ExceededRating(const PartStress& stress, const StressRatings& ratings);

} // namespace corvane
