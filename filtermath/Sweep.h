#pragma once
#include <array>

constexpr int SweepPoints = 100;
using Sweep = std::array<double, SweepPoints>;
