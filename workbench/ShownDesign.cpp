// SPDX-License-Identifier: Apache-2.0
#include "workbench/ShownDesign.h"

#include <algorithm>
#include <cmath>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "analysis/Mask.h"
#include "filtermath/SelectFilter.h"
#include "run/Ports.h"
#include "run/Rules.h"
#include "window/TFMain.h"

namespace corvane {

RunSnapshot SnapshotOf(const TFMain& design)
{
    RunSnapshot run;
    run.state = design.State();
    const FormPort& form = design.Form();
    run.topologyIndex = form.ItemIndex(Selector::Topology);
    run.topologyText = form.SelectorText(Selector::Topology);
    run.unitText = form.SelectorText(Selector::Scale);
    run.title = ChartTitle(form.SelectorText(Selector::Model), form.SelectorText(Selector::Type));
    return run;
}

ShownDesign::ShownDesign(RunSnapshot run) : source_(Source::Run), run_(std::move(run)) {}

ShownDesign::ShownDesign(PanelDesign panel) : source_(Source::Panel), panel_(std::move(panel)) {}

const std::string& ShownDesign::Title() const
{
    return source_ == Source::Panel ? panel_.title : run_.title;
}

const std::string& ShownDesign::FormText() const
{
    return source_ == Source::Panel ? panel_.formText : run_.topologyText;
}

const std::string& ShownDesign::UnitText() const
{
    return source_ == Source::Panel ? panel_.unitText : run_.unitText;
}

double ShownDesign::UnitScale() const
{
    return source_ == Source::Panel ? panel_.unitScale : run_.state.UnitScale;
}

double ShownDesign::SourceOhms() const
{
    return source_ == Source::Panel ? panel_.design.ladder.RS : run_.state.RL;
}

LadderModel ShownDesign::Designed() const
{
    if (source_ == Source::Panel) return panel_.design.ladder;
    if (source_ == Source::Run) return ModelOfRun(run_.state, TopologyForIndex(run_.topologyIndex));
    return {};
}

int ShownDesign::Order() const
{
    if (source_ == Source::Panel) return panel_.design.request.response.N;
    return static_cast<int>(Designed().branches.size());
}

BuildContext ShownDesign::Context() const
{
    return {UnitScale(), Edges(), SourceOhms()};
}

ShownDesign::Curve ShownDesign::Reference(const std::vector<double>& freq) const
{
    Curve curve;
    if (source_ == Source::Run) {
        curve.x.assign(run_.state.Freq.begin(), run_.state.Freq.end());
        curve.y.assign(run_.state.Att.begin(), run_.state.Att.end());
        return curve;
    }
    if (source_ != Source::Panel) return curve;
    // The closed form is smooth: a couple of thousand points draw it as well as a long sweep.
    constexpr size_t kReferencePoints = 2001;
    const size_t step = std::max<size_t>(1, freq.size() / kReferencePoints);
    for (size_t i = 0; i < freq.size(); i += step) {
        curve.x.push_back(freq[i]);
        curve.y.push_back(synthesis::TransducerGainDb(panel_.design, freq[i] * panel_.unitScale));
    }
    return curve;
}

Mask ShownDesign::ShorthandMask(std::optional<double> maxPassLossDb, std::optional<double> stopFreq,
                                std::optional<double> stopAttDb) const
{
    const double scale = UnitScale();
    if (stopFreq) *stopFreq *= scale;
    return MaskOfEdges(Edges(), maxPassLossDb, stopFreq, stopAttDb);
}

DesignBand ShownDesign::Edges() const
{
    return source_ == Source::Panel ? BandOfRequest(panel_.design.request) : BandOfRun(run_.state);
}

const char* ShownDesign::ReferenceName() const
{
    return source_ == Source::Panel ? "closed form" : "classic model (band-pass: two-sided)";
}

} // namespace corvane
