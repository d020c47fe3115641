// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "filtermath/Messages.h"
#include "filtermath/Sweep.h"

namespace corvane {

// Attenuation in dB at the 100 sweep frequencies. Each procedure first checks its edge
// frequencies; when the check fails it reports its message, writes nothing and returns
// false, so that the run can stop instead of going on with a stale curve.
bool ButterworthLowPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, MessagePort& messages);
bool ButterworthHighPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, MessagePort& messages);
bool ButterworthBandPassResponse(const Sweep& Freq, Sweep& Att, double Order, double F0, double Fmin, double Fmax,
                                 MessagePort& messages);
bool ChebyshevLowPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, double Ripple,
                              MessagePort& messages);
bool ChebyshevHighPassResponse(const Sweep& Freq, Sweep& Att, double Order, double PassF, double Ripple,
                               MessagePort& messages);
bool ChebyshevBandPassResponse(const Sweep& Freq, Sweep& Att, double Order, double F0, double Ripple, double Fmin,
                               double Fmax, MessagePort& messages);

extern const char* const kPassbandZeroText; // "Passband Frequency cannot be zero!"
extern const char* const kBandEdgeZeroText; // "Fmin and Fmax cannot be zero."

} // namespace corvane
