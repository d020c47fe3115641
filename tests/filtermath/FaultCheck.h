// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "filtermath/Failure.h"
#include "filtermath/Messages.h"

using namespace corvane;

// The text of the ArithmeticError that the action raises, or "no fault".
inline std::string ArithmeticFaultOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ArithmeticError& error) {
        return error.what();
    }
    return "no fault";
}

// Remembers every message instead of showing it.
class RecordingMessages : public MessagePort {
public:
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

// Half a unit in the fifth significant digit of the expected value.
inline double FiveDigitTolerance(double expected)
{
    if (expected == 0) return 0;
    return 0.5e-4 * std::pow(10.0, std::floor(std::log10(std::fabs(expected))));
}

// A value no procedure writes, to tell untouched entries from written ones.
constexpr double kUntouched = -7777.0;
