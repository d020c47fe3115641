// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>

#include "filtermath/LadderAnalysis.h"

namespace corvane {

// The response of a ladder at many frequencies, for long sweeps. Ladders of inductors,
// capacitors and resonators go through a double-precision cascade, which agrees with AnalyseAt
// to 1e-9 dB, 1e-7 degrees and 1e-9 of the delay (pinned by the tests); a point where double
// could lose that (a reflection below -80 dB, a chain matrix near the double range) and every
// other branch kind are analysed by AnalyseAt itself. Faults as AnalyseAt.
void AnalyseMany(const Ladder& ladder, const double* frequenciesHz, size_t count, const PartQuality& quality,
                 NetworkPoint* points);

} // namespace corvane
