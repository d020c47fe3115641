// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <vector>

#include "filtermath/LadderPlace.h"

namespace corvane {

// AC analysis of a ladder, between a source of RS ohms and a load of RL ohms. This is the compact
// form the cascade works on (design/LadderModel.h makes it from the ladder model): one branch per
// position from source to load, a series branch in the signal path, a shunt branch across it.

// Resonator is L and C in series on a series place and in parallel on a shunt place. The other
// kinds mean the same arm on either place: SeriesLC is L and C in series, ParallelLC in parallel;
// SeriesArm is L and C in series followed by L2 parallel C2; ParallelArm is L and C in series,
// in parallel with L2 and with C2 (the band transforms of trap resonators).
enum class BranchKind { Inductor, Capacitor, Resonator, SeriesLC, ParallelLC, SeriesArm, ParallelArm };

struct LadderBranch {
    BranchPlace place;
    BranchKind kind;
    double L; // henries; used by every kind but Capacitor
    double C; // farads; used by every kind but Inductor
    double L2 = 0.0; // henries; SeriesArm and ParallelArm
    double C2 = 0.0; // farads; SeriesArm and ParallelArm
};

// The S-parameters refer port 1 to RS and port 2 to RL (power waves), so S21 is the transducer
// gain: the power into the load over the most the source can deliver.
struct Ladder {
    double RS = 0.0; // source resistance, ohms, > 0
    double RL = 0.0; // load resistance, ohms, > 0
    std::vector<LadderBranch> branches; // positions 1..N, source to load
};

// Quality factors of the parts; 0 means an ideal, lossless part. A finite Q adds a series
// loss resistance wL/QL to every inductor and 1/(wC*QC) to every capacitor.
struct PartQuality {
    double QL = 0.0;
    double QC = 0.0;
};

struct NetworkPoint {
    double S21dB;
    double S21Deg;
    double S11dB;
    double S11Deg;
    double S22dB; // output reflection; equals S11 for a symmetric ladder
    double S22Deg;
    // -d(arg S21)/dw in seconds, from the derivative of the chain matrix carried along the
    // cascade (product rule) rather than a difference of phases: exact but for the rounding of
    // the 64-bit-significand arithmetic, well below 1e-9 relative at any sensible frequency.
    double GroupDelay;
};

// Reflections below this are shown at it: a perfect match has no finite logarithm.
constexpr double kReflectionFloorDb = -400.0;

// The response at one frequency in hertz. A negative frequency gives the response at |f|
// (the magnitudes and the delay of a real network are even in f; the phases, which are odd,
// are those of |f|). A part that divides by w at f = 0, a zero capacitance in series, a zero
// inductance across the line, a negative Q, a non-finite part value or a termination that is
// not a positive finite resistance raise ArithmeticError.
NetworkPoint AnalyseAt(const Ladder& ladder, double frequencyHz, const PartQuality& quality);

// A branch as its immittance at one frequency: the impedance of a series branch or the admittance
// of a shunt branch, with its derivative over the angular frequency (for the group delay). Part
// models whose losses and parasitics follow no single L or C come to the cascade this way.
struct BranchImmittance {
    BranchPlace place;
    std::complex<long double> value;
    std::complex<long double> slope;
};

// The response of the cascade of branches, source to load, between RS and RL: the same
// S-parameters and delay as AnalyseAt. A termination that is no positive finite resistance or an
// overflow on the way raises ArithmeticError.
NetworkPoint AnalyseImmittances(const std::vector<BranchImmittance>& branches, double RS, double RL);

} // namespace corvane
