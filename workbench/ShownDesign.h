// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "filtermath/ESeries.h"
#include "analysis/Mask.h"
#include "analysis/Tolerance.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "rules/BuildSettings.h"
#include "run/DesignState.h"
#include "workbench/DesignPanel.h"

namespace corvane {

class TFMain;

// What the workbench needs of a completed run of the design window.
struct RunSnapshot {
    DesignState state;
    int topologyIndex = 0;
    std::string topologyText; // "T - Type"
    std::string unitText; // "MHz"
    std::string title; // the chart title: model, two blanks, type
};
RunSnapshot SnapshotOf(const TFMain& design);

// The one design the workbench shows: the design window's last run or the design panel's own,
// never parts of both.
class ShownDesign {
public:
    enum class Source { None, Run, Panel };

    ShownDesign() = default;
    explicit ShownDesign(RunSnapshot run);
    explicit ShownDesign(PanelDesign panel);

    Source From() const { return source_; }
    bool Empty() const { return source_ == Source::None; }
    const std::string& Title() const;
    const std::string& FormText() const;
    const std::string& UnitText() const;
    double UnitScale() const; // hertz per unit
    double SourceOhms() const;

    // The ladder with the values the design asks for, between the terminations it needs.
    LadderModel Designed() const;
    // The design's order: a coupled form's resonators, not its branches with the couplings.
    int Order() const;
    // The design's band edges in hertz, with its shape.
    DesignBand Edges() const;
    // What the build settings are read against: the unit, the band and the source.
    BuildContext Context() const;
    // The curve drawn in grey beneath the exact one, with its name: the classic run's own curve
    // at its sweep points, or the panel design's closed form over freq (the design's unit).
    struct Curve {
        std::vector<double> x, y;
    };
    Curve Reference(const std::vector<double>& freq) const;
    const char* ReferenceName() const;
    // The run's own sweep and curve, which the classic model computed at its 100 points.
    // The mask of the design's shorthands: a passband loss limit and a stop frequency (the
    // design's unit) with its attenuation (MaskOfEdges); Failure for a stop frequency on the wrong side.
    corvane::Mask ShorthandMask(std::optional<double> maxPassLossDb, std::optional<double> stopFreq,
                                std::optional<double> stopAttDb) const;
    const RunSnapshot* Run() const { return source_ == Source::Run ? &run_ : nullptr; }
    const PanelDesign* Panel() const { return source_ == Source::Panel ? &panel_ : nullptr; }

private:
    Source source_ = Source::None;
    RunSnapshot run_;
    PanelDesign panel_;
};

} // namespace corvane
