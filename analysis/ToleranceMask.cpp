// SPDX-License-Identifier: Apache-2.0
#include "analysis/ToleranceMask.h"

#include <algorithm>
#include <cmath>

#include "filtermath/Failure.h"

ToleranceMask MaskOfDesign(const DesignState& state, std::optional<double> maxPassLossDb,
                           std::optional<double> stopFreq, std::optional<double> stopAttDb,
                           const std::vector<double>& frequenciesHz)
{
    ToleranceMask mask;
    const double scale = state.UnitScale;
    const int family = state.FilterKind % 3;
    double low = 0.0, high = 0.0;
    if (family == 0) {
        high = state.PassF * scale;
    } else if (family == 1) {
        low = state.PassF * scale;
        high = INFINITY;
    } else {
        low = state.Fmin * scale;
        high = state.Fmax * scale;
    }
    const auto anyPoint = [&](auto inside) {
        return std::any_of(frequenciesHz.begin(), frequenciesHz.end(), [&](double f) { return inside(std::fabs(f)); });
    };
    if (maxPassLossDb) {
        mask.passLowHz = low;
        mask.passHighHz = high;
        mask.maxPassLossDb = *maxPassLossDb;
        if (!anyPoint([&](double f) { return f >= low && f <= high; }))
            throw Failure("No sweep point lies in the passband: the passband loss limit has nothing to hold.");
    }
    if (stopFreq && stopAttDb) {
        const double fs = *stopFreq * scale;
        if (fs >= low && fs <= high) throw Failure("The stop frequency must lie outside the passband.");
        if (family == 0) {
            mask.stopAboveHz = fs;
        } else if (family == 1) {
            mask.stopBelowHz = fs;
        } else {
            const double mirror = low * high / fs;
            mask.stopAboveHz = std::max(fs, mirror);
            mask.stopBelowHz = std::min(fs, mirror);
        }
        mask.stopAttDb = *stopAttDb;
        if (!anyPoint([&](double f) { return f >= mask.stopAboveHz || f <= mask.stopBelowHz; }))
            throw Failure("No sweep point lies at or beyond the stop frequency: extend the sweep.");
    }
    return mask;
}
