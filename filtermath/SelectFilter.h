// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

// FilterKind 0..5: type item (0 LPF, 1 HPF, 2 BPF) + 3 * model item (0 Butterworth, 1 Chebyshev).
// A pair that matches no kind (an index of -1, say) leaves FilterKind as it was.
void SelectFilterKind(int typeIndex, int modelIndex, int& FilterKind);

bool IsLowPassKind(int FilterKind);
bool IsHighPassKind(int FilterKind);
bool IsBandPassKind(int FilterKind);
bool IsChebyshevKind(int FilterKind);

} // namespace corvane
