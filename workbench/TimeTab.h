// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <QWidget>
#include <optional>

#include "analysis/TimeResponse.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"

class QLabel;

namespace corvane {

class BackgroundJob;
class PlotView;

// The step and impulse responses of the ladder as built, part models included, on one zoomable
// plot over a time axis in the prefix unit of its length (ns, µs, ...), with the step's overshoot,
// rise time and settling time above it. The responses are worked out on the tab's own background
// job, and only while the tab is on screen: a ladder that changes while another tab is shown
// (a tuning drag) costs nothing until the tab is opened.
class TimeTab : public QWidget {
    Q_OBJECT
public:
    // Time points of the responses.
    static constexpr int kPoints = 4096;

    explicit TimeTab(QWidget* parent = nullptr);
    ~TimeTab() override;

    void SetLadder(const LadderModel& ladder, const PartQuality& quality, const DesignBand& band);
    // No design: the curves and the figures go.
    void Clear();

    BackgroundJob* Job() const { return job_; }
    PlotView* Plot() const { return plot_; }
    const std::optional<TimeResponse>& Result() const { return result_; }
    // The seconds per unit of the time axis (1e-9 for ns).
    double TimeScale() const { return timeScale_; }
    QString FiguresText() const;

signals:
    // "t = …    step = …    impulse = …", empty when the pointer leaves the plot.
    void Readout(const QString& text);
    void Status(const QString& text, bool error);

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Input {
        LadderModel ladder;
        PartQuality quality;
        DesignBand band;
    };
    void Start();
    void Show(const TimeResponse& response);
    void ShowReadout(double x);

    QLabel* figures_;
    PlotView* plot_;
    int step_, impulse_;
    BackgroundJob* job_;
    std::optional<Input> input_;
    bool pending_ = false; // the input changed while the tab was hidden
    std::optional<TimeResponse> result_;
    double timeScale_ = 1.0;
};

// The step's figures as the tab states them, or why there are none.
QString StepFiguresText(const TimeResponse& response);

} // namespace corvane
