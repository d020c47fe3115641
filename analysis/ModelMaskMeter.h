// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <complex>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "analysis/MaskGrid.h"
#include "analysis/Tolerance.h"
#include "design/LadderModel.h"

namespace corvane {

// Measures ladders whose parts carry models (self-resonance, series resistance, a Q that grows
// with frequency) and whose board adds strays against a mask, by the one mask meter (MaskMeter:
// the grid's points, then the worst places refined between them).
// Each branch's immittance at the grid's points is worked out once per set of part values and
// models, in long double by the part models' own analysis, and kept: a search that tries a few
// candidates per part then pays only the cascade of the branches, in double, at every grid point,
// and the part models' analysis at the few refined places.
class ModelMaskMeter {
public:
    // ladder gives the shape, the terminations, the kinds' default models and the strays that
    // every measured ladder shares; quality the kinds' Q where a model has none.
    ModelMaskMeter(const LadderModel& ladder, const PartQuality& quality, const MaskGrid& grid);

    // The worst margin in dB over every band, as MaskMeter::Margin gives it. The ladder has the
    // shape of the one given above; -infinity when a response is not finite.
    double Margin(const LadderModel& ladder);
    // Where the last margin was found: the band's index and the frequency in hertz.
    std::size_t WorstBand() const { return meter_.WorstBand(); }
    double WorstHz() const { return meter_.WorstHz(); }

private:
    using Immittances = std::vector<std::complex<double>>; // at every grid point
    const Immittances& BranchAt(const LadderModel& ladder, std::size_t b);
    std::complex<double> ImmittanceAt(const LadderModel& ladder, std::size_t element, std::size_t nextStray,
                                      double w) const;
    bool Evaluate(const LadderModel& ladder, const KernelSweep& sweep, std::size_t first, std::size_t count,
                  double* den2, double* reflection);

    LadderModel context_;
    PartQuality quality_;
    const MaskGrid& grid_;
    MaskMeter meter_;
    std::vector<double> strayC_; // of each node stray, in cascade order
    std::vector<long double> w_;
    // In cascade order: a branch (its index) or a node's stray capacitance (kStray, its admittances in strays_).
    std::vector<std::size_t> order_;
    std::vector<Immittances> strays_;
    std::vector<std::map<std::vector<double>, Immittances>> cache_; // per branch, by its parts' values and models
};

} // namespace corvane
