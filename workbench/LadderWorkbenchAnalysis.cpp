// SPDX-License-Identifier: Apache-2.0
// The workbench's analysis of the shown design, its settings and its exports.
#include <QFileInfo>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <memory>

#include <QFileDialog>

#include "analysis/MeasuredParts.h"
#include "analysis/PartModels.h"
#include "analysis/ResonanceFlags.h"
#include "chart/PlotView.h"
#include "chart/SmithChart.h"
#include "export/ExactResponseCsv.h"
#include "export/ExportSweep.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "filtermath/EngineeringText.h"
#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"
#include "window/QtText.h"
#include "workbench/BackgroundJob.h"
#include "workbench/BuiltSettings.h"
#include "workbench/DesignPanel.h"
#include "workbench/ExportHelper.h"
#include "workbench/LadderSchematic.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MeasuredOverlay.h"
#include "workbench/PartsTable.h"
#include "workbench/ResponsePlots.h"
#include "workbench/StressJob.h"
#include "workbench/StressSettings.h"
#include "workbench/TimeTab.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/TuningPanel.h"

namespace corvane {

namespace {

QString Ohms(double value)
{
    return ToQt(EngineeringText(value, "\u03a9"));
}

QString AnalysisFailure(const std::string& what)
{
    return QObject::tr("The ladder cannot be analysed over this sweep: %1").arg(ToQt(ErrorReportText(what)));
}

} // namespace

BuildRequest LadderWorkbench::ReadBuilt() const
{
    BuildTexts texts = built_->Texts();
    texts.stress = stress_->Texts();
    BuildContext context = shown_.Context();
    context.ownPoints = ExactResponseSettings{}.points;
    return ReadBuild(texts, kWorkbenchNames, context);
}

void LadderWorkbench::Recompute()
{
    if (shown_.Empty()) return;
    // A closed window follows the runs without analysing them; showing it catches up.
    stale_ = !isVisible();
    if (stale_) return;
    built_->ShowDesign(shown_);
    BuildRequest request;
    ExactJob job;
    try {
        request = ReadBuilt();
        job.freq = NetworkFrequencies(*request.plan);
    } catch (const std::exception& problem) {
        // The old ladder and curves no longer answer what the fields ask: show none.
        ShowNothing(ToQt(problem.what()), true);
        return;
    }
    job.quality = request.analysis.quality;
    job.unitScale = shown_.UnitScale();
    if (builtOverride_) {
        job.ladder = *builtOverride_;
    } else {
        try {
            job.ladder = AnalyseDesign(shown_.Designed(), request.analysis, {}, job.unitScale).ladder;
        } catch (const std::exception& problem) {
            ShowNothing(ToQt(problem.what()), true);
            return;
        }
    }
    ShowBuilt(job, shown_.Designed(), request.analysis.series.has_value() || builtOverride_.has_value(),
              request.limits);
    if (!tuningDrives_) tuning_->SetLadder(job.ladder);
    StartStress(job, request.stress ? std::optional<StressRequest>({*request.stress, request.ratings}) : std::nullopt);
    const bool logarithmic = request.plan->spacing == SweepSpacing::Log;
    // A running job would finish later with older settings: the new one follows it instead.
    if (static_cast<int>(job.freq.size()) > kInlinePoints || exactJob_->Busy()) {
        auto curves = std::make_shared<NetworkCurves>();
        exactJob_->Start(
            tr("Analysing %1 points").arg(job.freq.size()),
            [job, curves](JobControl& control) {
                control.total = static_cast<long long>(job.freq.size());
                RunExactJob(job, *curves, control.cancel, control.done);
            },
            [this, job, curves, logarithmic] { ShowCurves(*curves, job, logarithmic); });
        return;
    }
    try {
        NetworkCurves curves;
        std::atomic<bool> never{false};
        std::atomic<long long> done{0};
        RunExactJob(job, curves, never, done);
        ShowCurves(curves, job, logarithmic);
    } catch (const Failure& failure) {
        ShowNothing(AnalysisFailure(failure.what()), true);
    }
}

void LadderWorkbench::ShowBuilt(const ExactJob& job, const LadderModel& designed, bool rounded,
                                const PartLimits& limits)
{
    const double top = job.freq.empty() ? 0.0 : job.freq.back() * job.unitScale;
    parts_->ShowLadder(designed, job.ladder, rounded,
                       FlagBuiltParts(job.ladder, job.quality, shown_.Edges(), top, limits), job.quality);
    // The first table of a new layout shows its Model column where the window has room; sized once
    // the window that is being shown has laid out its docks.
    if (!partsWidened_) {
        partsWidened_ = true;
        QTimer::singleShot(0, this, &LadderWorkbench::WidenParts);
    }
    schematic_->SetLadder(job.ladder, rounded);
    ToleranceInput input;
    input.ladder = job.ladder;
    input.quality = job.quality;
    input.freq = job.freq;
    input.unitScale = job.unitScale;
    input.unitText = ToQt(shown_.UnitText());
    input.title = ToQt(shown_.Title()).simplified();
    input.mask = [design = shown_](std::optional<double> loss, std::optional<double> stop, std::optional<double> att) {
        return design.ShorthandMask(loss, stop, att);
    };
    tolerance_->SetInput(std::move(input));
    time_->SetLadder(job.ladder, job.quality, shown_.Edges());
}

// The stress of the ladder just shown in the parts table, over the sweep on screen.
void LadderWorkbench::StartStress(const ExactJob& job, const std::optional<StressRequest>& stress)
{
    if (!stress) {
        stressJob_->Stop();
        return;
    }
    StressJob::Input input{job.ladder, job.quality, {}, shown_.Edges(), *stress};
    for (double f : job.freq) input.hz.push_back(f * job.unitScale);
    stressJob_->Start(std::move(input));
}

void LadderWorkbench::ShowCurves(const NetworkCurves& curves, const ExactJob& job, bool logarithmic)
{
    shownJob_ = job;
    ShownDesign::Curve reference = shown_.Reference(curves.NetFreq);
    // The grey curve is drawn over the analysed sweep only, so that it never widens the view.
    if (!curves.NetFreq.empty()) {
        ShownDesign::Curve inside;
        for (size_t i = 0; i < reference.x.size(); ++i)
            if (reference.x[i] >= curves.NetFreq.front() && reference.x[i] <= curves.NetFreq.back()) {
                inside.x.push_back(reference.x[i]);
                inside.y.push_back(reference.y[i]);
            }
        reference = std::move(inside);
    }
    plots_->SetReference(reference.x, reference.y, tr(shown_.ReferenceName()));
    ShowIdeal(curves, job);
    plots_->SetCurves(curves, logarithmic, ToQt(shown_.UnitText()), job.unitScale);
    plots_->SetReflections(job.ladder.RS, job.ladder.RL);
    CompareMeasured();
    QString status = tr("%1, %2, N = %3: %4 points, source %5, load %6.")
                         .arg(ToQt(shown_.Title()).simplified(), ToQt(shown_.FormText()))
                         .arg(shown_.Order())
                         .arg(curves.NetFreq.size())
                         .arg(Ohms(job.ladder.RS), Ohms(job.ladder.RL));
    if (!curves.NetFreq.empty())
        for (const std::string& warning : MeasuredRangeWarnings(job.ladder, curves.NetFreq.front() * job.unitScale,
                                                                curves.NetFreq.back() * job.unitScale))
            status += ' ' + ToQt(warning);
    ShowStatus(status, false);
    emit Analysed();
}

void LadderWorkbench::ShowIdeal(const NetworkCurves& curves, const ExactJob& job)
{
    if (!HasPartModels(job.ladder)) {
        plots_->SetIdeal({}, {});
        return;
    }
    try {
        const NetworkCurves ideal = AnalyseCurves(WithIdealParts(job.ladder), curves.NetFreq, job.unitScale, {});
        plots_->SetIdeal(ideal.NetFreq, ideal.NetS21);
    } catch (const Failure&) {
        // An ideal ladder that resonates right on a sweep point has no finite response there: no grey curve.
        plots_->SetIdeal({}, {});
    }
}

ExactResponseSettings LadderWorkbench::Settings() const
{
    ExactResponseSettings settings = built_->Settings();
    settings.stress = stress_->Settings();
    DesignPanelSettings panel = panel_->Settings();
    panel.shown = ShowsPanelDesign();
    // Sections left at their defaults keep the design file as it was before they existed.
    if (panel != DesignPanelSettings{}) settings.panel = panel;
    const ToleranceFileSettings tolerance = tolerance_->Form()->Settings();
    if (tolerance != ToleranceFileSettings{}) settings.tolerance = tolerance;
    return settings;
}

void LadderWorkbench::SetSettings(const ExactResponseSettings& settings)
{
    builtOverride_.reset();
    built_->SetSettings(settings);
    stress_->SetSettings(settings.stress.value_or(StressFileSettings{}));
    panel_->SetSettings(settings.panel.value_or(DesignPanelSettings{}));
    tolerance_->Form()->SetSettings(settings.tolerance.value_or(ToleranceFileSettings{}));
    if (settings.panel && settings.panel->shown) {
        DesignFromPanel();
        return;
    }
    if (ShowsPanelDesign()) {
        TakeRun();
        return;
    }
    if (!shown_.Empty()) NoteMainWindowShown();
    Recompute();
}

std::string LadderWorkbench::Description() const
{
    const auto quality = [this](PartKind kind) { return ToQt(KindQText(shownJob_.ladder, kind, shownJob_.quality)); };
    const QString series = built_->SeriesText();
    return QStringLiteral("Corvane %1, %2, N = %3, RS = %4 Ohm, RL = %5 Ohm, values %6, QL %7, QC %8")
        .arg(ToQt(shown_.Title()), ToQt(shown_.FormText()))
        .arg(shown_.Order())
        .arg(shownJob_.ladder.RS)
        .arg(shownJob_.ladder.RL)
        .arg(series.isEmpty() ? tr("as designed") : tr("rounded to %1").arg(series))
        .arg(quality(PartKind::Inductor), quality(PartKind::Capacitor))
        .toStdString();
}

bool LadderWorkbench::ExportSpice(const QString& path)
{
    return exports_->WriteTo(path, [this] {
        std::vector<double> hz;
        for (double f : ExportFrequencies(shownJob_.freq)) hz.push_back(f * shownJob_.unitScale);
        return SpiceNetlist(shownJob_.ladder, hz, shownJob_.quality, Description());
    });
}

bool LadderWorkbench::ExportTouchstone(const QString& path)
{
    return exports_->WriteTo(path, [this] {
        return TouchstoneText(shownJob_.ladder, ExportFrequencies(shownJob_.freq), shownJob_.unitScale,
                              shownJob_.quality, {Description()});
    });
}

bool LadderWorkbench::ExportCsv(const QString& path)
{
    return exports_->WriteTo(path, [this] {
        const NetworkCurves& c = plots_->Curves();
        return ExactResponseCsvText(c.NetFreq, c.NetS21, c.NetS11, c.NetGroupDelay, shown_.UnitText());
    });
}

bool LadderWorkbench::ExportImage(const QString& path, QSize size)
{
    return exports_->WriteTo(path, [&] { return ExportHelper::ImageBytes(CurrentDrawing(), size, path); });
}

// The plot of the tab on screen as the image exports draw it.
ExportHelper::Drawing LadderWorkbench::CurrentDrawing() const
{
    QWidget* tab = tabs_->currentWidget();
    if (tab == plots_->SmithTab()) {
        corvane::SmithChart* smith = plots_->Smith();
        return [smith](QPainter& painter, QSize size) { smith->Render(painter, size); };
    }
    auto* plot = qobject_cast<PlotView*>(tab);
    if (tab == measured_->Tab()) plot = measured_->Difference();
    if (tab == time_) plot = time_->Plot();
    if (!plot) plot = tolerance_->Envelope();
    return [plot](QPainter& painter, QSize size) { plot->Render(painter, size); };
}

void LadderWorkbench::ExportWith(const QString& caption, const QString& filter, const QString& suffix,
                                 bool (LadderWorkbench::*exporter)(const QString&))
{
    if (plots_->Curves().NetFreq.empty()) {
        ShowStatus(tr("There is no analysed response to export yet."), true);
        return;
    }
    const QString path = exports_->AskSavePath(caption, filter, suffix);
    if (!path.isEmpty() && (this->*exporter)(path)) ShowStatus(tr("Written: %1").arg(path), false);
}

} // namespace corvane
