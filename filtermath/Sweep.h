// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>

constexpr int SweepPoints = 100;
using Sweep = std::array<double, SweepPoints>;
