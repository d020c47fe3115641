// SPDX-License-Identifier: Apache-2.0
#include "window/TFMain.h"

#include "filtermath/NumberText.h"
#include "run/Rules.h"
#include "ui_TFMain.h"

namespace corvane {

namespace {

const QColor kAttenuationColour(255, 0, 0);
const QColor kReflectionColour(0, 128, 0);
// A logarithmic frequency axis cannot start at or below zero.
constexpr double kLogAxisMinimum = 1e-10;

// Linear map of a pixel between two edge pixels onto the axis range shown between them.
double AxisValueAt(int pixel, int minPixel, int maxPixel, double minimum, double maximum)
{
    return (pixel - minPixel) * (maximum - minimum) / (maxPixel - minPixel) + minimum;
}

} // namespace

void TFMain::PlotResponse(const Sweep& Freq, const Sweep& Att, const Sweep& S11)
{
    TChart* chart = ui->chGain;
    if (AttenuationNeedsFloor(Att)) {
        chart->SetLeftAutomaticMinimum(false);
        chart->SetLeftMinimum(kAttenuationFloor);
    } else {
        chart->SetLeftAutomaticMinimum(true);
    }
    ClearCurves();
    for (int i = 0; i < SweepPoints; ++i) {
        const size_t k = static_cast<size_t>(i);
        chart->AddPoint(0, Freq[k], Att[k], kAttenuationColour);
        chart->AddPoint(1, Freq[k], S11[k], kReflectionColour);
    }
}

void TFMain::ClearCurves()
{
    ui->chGain->Clear(0);
    ui->chGain->Clear(1);
}

void TFMain::ShowCursorValues()
{
    const TChart* chart = ui->chGain;
    const auto clearReadout = [this] {
        ui->lbX->clear();
        ui->lbY->clear();
    };
    // Off the curves the readout is emptied rather than left showing stale values.
    if (chart->HoverCursor() != Qt::PointingHandCursor) {
        clearReadout();
        return;
    }
    const QPoint mouse = chart->MousePosition();
    const QRect plot = chart->PlotRect();
    // A plot without width or height maps no pixel to a value.
    if (plot.right() == plot.left() || plot.top() == plot.bottom()) {
        clearReadout();
        return;
    }
    const double x = AxisValueAt(mouse.x(), plot.left(), plot.right(), chart->BottomMinimum(), chart->BottomMaximum());
    // Screen y grows downwards: the bottom edge maps to the axis minimum.
    const double y = AxisValueAt(mouse.y(), plot.bottom(), plot.top(), chart->LeftMinimum(), chart->LeftMaximum());
    ui->lbX->setText(QString::fromStdString(FormatSci2(x)));
    ui->lbY->setText(QString::fromStdString(FormatSci2(y)));
}

void TFMain::chGainMouseMove()
{
    Guarded([this] {
        if (!ui->CheckBox1->isChecked()) ShowCursorValues();
    });
}

void TFMain::Series1Click()
{
    Guarded([this] {
        if (!ui->CheckBox1->isChecked()) ShowCursorValues();
    });
}

void TFMain::Series2Click()
{
    Guarded([this] {
        if (!ui->CheckBox1->isChecked()) ShowCursorValues();
    });
}

// Flips the axis's own state rather than reading the box; both start linear and unticked.
void TFMain::CheckBox1Click()
{
    Guarded([this] {
        TChart* chart = ui->chGain;
        if (chart->BottomLogarithmic()) {
            chart->SetBottomLogarithmic(false);
            return;
        }
        if (chart->BottomMinimum() < 0.0) chart->SetBottomMinimum(kLogAxisMinimum);
        chart->SetBottomLogarithmic(true);
    });
}

} // namespace corvane
