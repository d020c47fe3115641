// SPDX-License-Identifier: Apache-2.0
// The workbench's part choice: the optimiser's dialog and live tuning.
#include <QTabWidget>

#include "filtermath/NumberText.h"
#include "workbench/BuiltSettings.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/OptimiseDialog.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/TuningPanel.h"

namespace corvane {

OptimiseDialog* LadderWorkbench::OpenOptimise()
{
    if (shown_.Empty()) {
        ShowStatus(tr("There is no design to optimise."), true);
        return nullptr;
    }
    OptimiseInput input;
    try {
        const BuildRequest request = ReadBuilt();
        const MaskRequest mask = tolerance_->Form()->ReadMask(shown_.UnitScale());
        AnalysisOptions unrounded = request.analysis;
        unrounded.series.reset();
        input.designed = AnalyseDesign(shown_.Designed(), unrounded, {}, shown_.UnitScale()).ladder;
        input.quality = request.analysis.quality;
        input.series = request.analysis.series;
        input.mask = CombinedMask(shown_.ShorthandMask(mask.maxPassLossDb, mask.stopFreq, mask.stopAttDb), mask.bands,
                                  "The mask");
        input.yield = tolerance_->Form()->ReadSettings();
        input.unitScale = shown_.UnitScale();
        input.unitText = shown_.UnitText();
    } catch (const std::exception& problem) {
        ShowStatus(QString::fromStdString(ErrorReportText(problem.what())), true);
        return nullptr;
    }
    if (input.mask.Empty()) {
        ShowStatus(tr("Set the mask on the Tolerance tab first: the optimiser works to it."), true);
        ShowTab(ToleranceTabIndex);
        return nullptr;
    }
    if (!optimise_) {
        optimise_ = new OptimiseDialog(this);
        connect(optimise_, &OptimiseDialog::Applied, this, &LadderWorkbench::ApplyOptimised);
    }
    optimise_->SetInput(std::move(input));
    optimise_->show();
    optimise_->raise();
    return optimise_;
}

void LadderWorkbench::ApplyOptimised(const OptimiseResult& result)
{
    builtOverride_ = result.ladder;
    Recompute();
    ShowStatus(tr("Optimised parts: worst mask margin %1 dB (rounded: %2 dB).")
                   .arg(result.marginAfterDb, 0, 'f', 3)
                   .arg(result.marginBeforeDb, 0, 'f', 3),
               false);
}

void LadderWorkbench::TuneTo(const LadderModel& ladder)
{
    builtOverride_ = ladder;
    tuningDrives_ = true;
    Recompute();
    tuningDrives_ = false;
}

} // namespace corvane
