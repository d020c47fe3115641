// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "analysis/Tolerance.h"
#include "design/LadderModel.h"

namespace corvane {

// Measures ladders whose parts carry models (self-resonance, series resistance, a Q that grows
// with frequency) and whose board adds strays against a mask, at the points of a fixed grid.
// Each branch's immittance is worked out once per set of part values and models, in long double
// by the part models' own analysis, and kept: a search that tries a few candidates per part
// then pays only the cascade of the branches, in double, at every grid point.
class ModelMaskMeter {
public:
    // ladder gives the shape, the terminations, the kinds' default models and the strays that
    // every measured ladder shares; quality the kinds' Q where a model has none.
    ModelMaskMeter(const LadderModel& ladder, const PartQuality& quality, MaskGrid grid);

    // The worst margin in dB over every band at the grid's points: the loss limit less the
    // highest passband loss, the lowest stopband loss less its limit. The ladder has the
    // shape of the one given above; -infinity when a response is not finite.
    double Margin(const LadderModel& ladder);

    const MaskGrid& Grid() const { return grid_; }

private:
    using Immittances = std::vector<std::complex<double>>; // at every grid point
    const Immittances& BranchAt(const LadderModel& ladder, std::size_t b);

    LadderModel context_;
    PartQuality quality_;
    MaskGrid grid_;
    std::vector<long double> w_;
    // In cascade order: a branch (its index) or a node's stray capacitance (kStray, its admittances in strays_).
    std::vector<std::size_t> order_;
    std::vector<Immittances> strays_;
    std::vector<std::map<std::vector<double>, Immittances>> cache_; // per branch, by its parts' values and models
};

} // namespace corvane
