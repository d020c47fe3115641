// SPDX-License-Identifier: Apache-2.0
#include "workbench/MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>

#include "chart/TChart.h"
#include "export/ExportSweep.h"
#include "export/ResponseCsv.h"
#include "export/SpiceNetlist.h"
#include "export/Touchstone.h"
#include "run/LadderOfRun.h"
#include "workbench/DesignBinding.h"
#include "window/GridClipboard.h"
#include "window/TFMain.h"
#include "workbench/ExportHelper.h"

namespace corvane {

namespace {

// The run's fixed sweep arrays as the plain lists the exporters take.
std::vector<double> List(const Sweep& values)
{
    return {values.begin(), values.end()};
}

} // namespace

LadderModel MainWindow::RunLadder() const
{
    return ModelOfRun(runState_, TopologyForIndex(runTopology_));
}

std::string MainWindow::RunDescription() const
{
    return "Corvane " + runTitle_ + ", N = " + std::to_string(static_cast<int>(runState_.GValues.size()) - 2);
}

void MainWindow::SetImageSizeHook(std::function<std::optional<QSize>(QSize)> hook)
{
    exports_->SetSizeHook(std::move(hook));
}

void MainWindow::Export(const QString& caption, const QString& filter, const QString& suffix,
                        const std::function<std::string()>& content)
{
    if (!HaveResults()) return;
    const QString path = AskFileName(caption, filter, suffix, true);
    if (!path.isEmpty()) exports_->WriteTo(path, content);
}

void MainWindow::ExportSpice()
{
    Export(tr("Export SPICE Netlist"), tr("SPICE netlists (*.cir);;All files (*)"), QStringLiteral("cir"), [this] {
        std::vector<double> hz;
        for (double f : ExportFrequencies(List(runState_.Freq))) hz.push_back(f * runState_.UnitScale);
        return SpiceNetlist(RunLadder(), hz, PartQuality{}, RunDescription());
    });
}

void MainWindow::ExportTouchstone()
{
    Export(tr("Export Touchstone"), tr("Touchstone files (*.s2p);;All files (*)"), QStringLiteral("s2p"), [this] {
        return TouchstoneText(RunLadder(), ExportFrequencies(List(runState_.Freq)), runState_.UnitScale, PartQuality{},
                              {RunDescription()});
    });
}

void MainWindow::ExportCsv()
{
    Export(tr("Export Response as CSV"), tr("CSV files (*.csv);;All files (*)"), QStringLiteral("csv"), [this] {
        return ResponseCsvText(List(runState_.Freq), List(runState_.Att), List(runState_.S11), runUnit_);
    });
}

// The chart alone at the size asked, its frequency axis with the unit and a legend of its two curves.
void MainWindow::ExportChartImage()
{
    if (!HaveResults()) return;
    const QString path =
        AskFileName(tr("Export Chart"), tr("PNG images (*.png);;SVG drawings (*.svg)"), QStringLiteral("png"), true);
    if (path.isEmpty()) return;
    const std::optional<QSize> size = exports_->AskSize(QSize(1200, 800));
    if (!size) return;
    TChart* chart = controls_->Chart();
    const QString bottom = tr("Frequency, %1").arg(QString::fromStdString(runUnit_));
    const QStringList names{tr("Att. [dB]"), tr("S11 [dB]")};
    exports_->WriteTo(path, [&] {
        return ExportHelper::ImageBytes([&](QPainter& painter, QSize at) { chart->Render(painter, at, bottom, names); },
                                        *size, path);
    });
}

void MainWindow::CopyElementTable()
{
    QGuiApplication::clipboard()->setText(GridClipboard::GridText(controls_->Grid()));
}

void MainWindow::CopyChartImage()
{
    QGuiApplication::clipboard()->setPixmap(controls_->Chart()->grab());
}

} // namespace corvane
