// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <vector>

namespace corvane {

// Normalised low-pass prototype values g[0..N+1]; the caller sizes g to N + 2 entries.
void ButterworthG(int N, std::vector<double>& g);
void ChebyshevG(int N, std::vector<double>& g, double Ripple);
// The prototype of FilterKind's approximation: Chebyshev kinds with Ripple, the rest Butterworth.
void ComputePrototype(int FilterKind, int N, double Ripple, std::vector<double>& g);

} // namespace corvane
