// SPDX-License-Identifier: Apache-2.0
#include "workbench/MeasuredOverlay.h"

#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "chart/PlotView.h"
#include "export/Renormalise.h"
#include "chart/SmithChart.h"
#include "export/TouchstoneReader.h"
#include "filtermath/EngineeringText.h"
#include "workbench/MeasuredFit.h"
#include "workbench/ResponsePlots.h"

namespace corvane {

namespace {

const QColor kMeasuredS21(220, 0, 120);
const QColor kMeasuredS11(230, 140, 0);
const QColor kMeasuredDelay(120, 0, 160);

QString Hz(const std::optional<double>& hz)
{
    return QString::fromStdString(hz ? EngineeringText(*hz, "Hz") : std::string(kNoValueText));
}

QString EdgesText(const std::optional<double>& low, const std::optional<double>& high)
{
    return low && high ? Hz(low) + QStringLiteral(" to ") + Hz(high) : low ? Hz(low) : Hz(high);
}

QString Row(const QString& name, const QString& design, const QString& measured)
{
    return QStringLiteral("<tr><td>%1</td><td align=right>%2</td><td align=right>%3</td></tr>")
        .arg(name, design, measured);
}

QString Db(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" dB");
}

std::vector<double> Minus(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> d(a.size());
    for (size_t i = 0; i < a.size(); ++i) d[i] = a[i] - b[i];
    return d;
}

} // namespace

MeasuredOverlay::MeasuredOverlay(ResponsePlots* plots, QObject* parent) : QObject(parent), plots_(plots)
{
    s21_ = plots_->Response()->AddCurve(tr("measured |S21|"), QPen(kMeasuredS21, 1.5, Qt::DashLine));
    s11_ = plots_->Response()->AddCurve(tr("measured |S11|"), QPen(kMeasuredS11, 1.5, Qt::DashLine));
    delay_ = plots_->Delay()->AddCurve(tr("measured delay"), QPen(kMeasuredDelay, 1.5, Qt::DashLine));
    smith11_ = plots_->Smith()->AddCurve(tr("measured S11"), kMeasuredS11, true);
    smith22_ = plots_->Smith()->AddCurve(tr("measured S22"), kMeasuredDelay, true);
    tab_ = new QWidget;
    tab_->setObjectName(QStringLiteral("MeasuredTab"));
    figuresLabel_ = new QLabel;
    figuresLabel_->setObjectName(QStringLiteral("MeasuredFigures"));
    figuresLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    difference_ = new PlotView;
    difference_->setObjectName(QStringLiteral("DifferencePlot"));
    difference21_ = difference_->AddCurve(tr("|S21| measured - design"), QPen(kMeasuredS21, 1.5));
    difference11_ = difference_->AddCurve(tr("|S11| measured - design"), QPen(kMeasuredS11, 1.5));
    difference_->SetAutoRange(PlotView::Side::Left, std::nullopt, true);
    difference_->SetTitles(tr("Frequency"), tr("Measured - design, dB"));
    fit_ = new MeasuredFit(this);
    auto* column = new QVBoxLayout(tab_);
    column->addWidget(figuresLabel_);
    column->addWidget(fit_->Panel());
    column->addWidget(difference_, 1);
    figuresLabel_->setText(
        tr("Open a measured Touchstone file (Measured \u2192 Open Measured File\u2026) to compare."));
}

std::optional<QString> MeasuredOverlay::Open(const QString& path)
{
    TwoPortData data;
    try {
        data = ReadTouchstone(path.toStdString());
    } catch (const Failure& failure) {
        return QString::fromStdString(failure.what());
    }
    if (data.points.empty()) return tr("%1 holds no network data.").arg(path);
    data_ = std::move(data);
    points_.clear();
    fileName_ = QFileInfo(path).fileName();
    comparison_.reset();
    return std::nullopt;
}

void MeasuredOverlay::Close()
{
    data_ = TwoPortData{};
    points_.clear();
    fileName_.clear();
    ClearComparison();
}

void MeasuredOverlay::ClearComparison()
{
    comparison_.reset();
    fit_->SetInput(std::nullopt);
    for (int id : {s21_, s11_}) plots_->Response()->SetCurve(id, {}, {});
    plots_->Delay()->SetCurve(delay_, {}, {});
    for (int id : {smith11_, smith22_}) plots_->Smith()->SetCurve(id, {}, {}, 50.0);
    difference_->ClearCurves();
    figuresLabel_->setText(Loaded() ? tr("%1: no design to compare with.").arg(fileName_)
                                    : tr("Open a measured Touchstone file (Measured \u2192 Open Measured File\u2026) "
                                         "to compare."));
}

void MeasuredOverlay::Compare(const LadderModel& built, const PartQuality& quality, const DesignBand& band,
                              double unitScale, const QString& unitText)
{
    if (!Loaded()) return;
    difference_->SetTitles(tr("Frequency, %1").arg(unitText), tr("Measured - design, dB"));
    try {
        // The file's references are the analyser's; the design's terminations are what it is judged by.
        points_ = MeasuredPointsAt(data_, built.RS, built.RL);
        referenceOhms_[0] = built.RS;
        referenceOhms_[1] = built.RL;
        comparison_ = CompareMeasured(points_, built, quality, band, unitScale);
    } catch (const Failure& failure) {
        ClearComparison();
        figuresLabel_->setText(tr("%1: %2").arg(fileName_, QString::fromStdString(failure.what())));
        return;
    }
    Draw();
    fit_->SetInput(FitInput{points_, fileName_, built, quality, band, unitScale, unitText});
}

void MeasuredOverlay::Draw()
{
    const NetworkCurves& m = comparison_->measured;
    const NetworkCurves& d = comparison_->design;
    plots_->Response()->SetCurve(s21_, m.NetFreq, m.NetS21);
    plots_->Response()->SetCurve(s11_, m.NetFreq, m.NetS11);
    std::vector<double> delay(m.NetGroupDelay.size());
    for (size_t i = 0; i < delay.size(); ++i) delay[i] = m.NetGroupDelay[i] / plots_->DelayScale();
    plots_->Delay()->SetCurve(delay_, m.NetFreq, delay);
    std::vector<std::complex<double>> s11, s22;
    for (const MeasuredPoint& p : points_) {
        s11.push_back(p.S11);
        s22.push_back(p.S22);
    }
    plots_->Smith()->SetCurve(smith11_, m.NetFreq, s11, referenceOhms_[0]);
    plots_->Smith()->SetCurve(smith22_, m.NetFreq, s22, referenceOhms_[1]);
    difference_->SetLogarithmic(plots_->Response()->Logarithmic());
    difference_->SetCurve(difference21_, m.NetFreq, Minus(m.NetS21, d.NetS21));
    difference_->SetCurve(difference11_, m.NetFreq, Minus(m.NetS11, d.NetS11));
    difference_->ResetView();
    figuresLabel_->setText(FiguresText());
}

QString MeasuredOverlay::FiguresText() const
{
    if (!comparison_) return figuresLabel_->text();
    const ResponseFigures& d = comparison_->designFigures;
    const ResponseFigures& m = comparison_->measuredFigures;
    QString table =
        QStringLiteral("<b>%1</b>, %2 points<table cellspacing=6>").arg(fileName_.toHtmlEscaped()).arg(points_.size());
    table += Row(QString(), tr("<i>design</i>"), tr("<i>measured</i>"));
    table += Row(tr("Passband loss"), Db(d.passLossDb), Db(m.passLossDb));
    table += Row(tr("Ripple"), Db(d.rippleDb), Db(m.rippleDb));
    table +=
        Row(tr("\u22123 dB edges"), EdgesText(d.edge3LowHz, d.edge3HighHz), EdgesText(m.edge3LowHz, m.edge3HighHz));
    table += Row(tr("\u221220 dB edges"), EdgesText(d.edge20LowHz, d.edge20HighHz),
                 EdgesText(m.edge20LowHz, m.edge20HighHz));
    table += Row(tr("Return loss"), Db(d.returnLossDb), Db(m.returnLossDb));
    return table + QStringLiteral("</table>");
}

} // namespace corvane
