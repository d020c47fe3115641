// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QObject>
#include <QString>
#include <complex>
#include <optional>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "chart/NiceScale.h"

class QWidget;

namespace corvane {

class PlotView;
class SmithChart;

// The range of the delays at the sweep points where |S21| lies within 3.01 dB of its best (the
// passband), with a tenth of it as headroom: the spikes at transmission zeros and band edges
// would otherwise flatten the delay that matters. None when no point passes.
std::optional<AxisRange> PassbandDelayRange(const std::vector<double>& s21Db, const std::vector<double>& delay);

// The exact response's two plots: |S21| and |S11| in dB over the design's grey curve, and the
// group delay, scaled to the passband. Both report the sweep point under the pointer.
class ResponsePlots : public QObject {
    Q_OBJECT
public:
    explicit ResponsePlots(QObject* parent = nullptr);

    PlotView* Response() const { return response_; }
    PlotView* Delay() const { return delay_; }
    // The Smith tab: S11 against the source, S22 against the load, and the admittance grid's box.
    QWidget* SmithTab() const { return smithTab_; }
    corvane::SmithChart* Smith() const { return smith_; }

    void SetCurves(const NetworkCurves& curves, bool logarithmic, const QString& unitText, double unitScale);
    void SetReference(const std::vector<double>& x, const std::vector<double>& y, const QString& name);
    // |S21| of the ladder with ideal parts, in grey under the real parts' response; empty: none.
    void SetIdeal(const std::vector<double>& x, const std::vector<double>& y);
    // S11 and S22 of the curves on the Smith chart, against the source and the load resistance.
    void SetReflections(double sourceOhms, double loadOhms);
    void Clear();
    const NetworkCurves& Curves() const { return curves_; }
    int IdealCurve() const { return ideal_; }
    // The seconds per delay-axis unit (1e-9 for ns).
    double DelayScale() const { return delayScale_; }

signals:
    // "f = …    |S21| = …    |S11| = …    delay = …", empty when the pointer leaves the plot.
    void Readout(const QString& text);

private:
    void ShowReadout(double x);
    void ShowSmithReadout(double frequency, const QString& curve, std::complex<double> impedance, double returnLossDb);
    int NearestIndex(double frequency) const;

    PlotView* response_;
    PlotView* delay_;
    QWidget* smithTab_;
    corvane::SmithChart* smith_;
    int smithS11_, smithS22_;
    int s21_, s11_, reference_, ideal_, delayCurve_;
    NetworkCurves curves_;
    bool logarithmic_ = false;
    double unitScale_ = 1.0;
    double delayScale_ = 1.0;
};

} // namespace corvane
