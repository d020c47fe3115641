// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

namespace corvane {

constexpr int SweepPoints = 100;
using Sweep = std::array<double, SweepPoints>;

// Points of a sweep of its own (the exact analysis, the exports, the tolerance analysis and the
// design files that keep them): 101 to 100001, linear or logarithmic.
constexpr int kMinNetworkPoints = 101;
constexpr int kMaxNetworkPoints = 100001;

} // namespace corvane
