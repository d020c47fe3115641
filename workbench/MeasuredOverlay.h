// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

#include "analysis/MeasuredFigures.h"
#include "analysis/NetworkResponse.h"
#include "design/DesignBand.h"
#include "export/TouchstoneReader.h"

class QLabel;
class QWidget;

namespace corvane {

class PlotView;
class ResponsePlots;
class MeasuredFit;

// A measured two-port file over the design: its |S21|, |S11| and group delay drawn on the
// response plots, a plot of measured minus design in dB, and the figures of both. It keeps the
// points read, so that every new design or setting is compared again without reading the file.
class MeasuredOverlay : public QObject {
    Q_OBJECT
public:
    explicit MeasuredOverlay(ResponsePlots* plots, QObject* parent = nullptr);

    // The Measured tab: the figures above the plot of measured minus design.
    QWidget* Tab() const { return tab_; }
    PlotView* Difference() const { return difference_; }
    // "Fit…" and its result, on the tab between the figures and the plot.
    MeasuredFit* Fit() const { return fit_; }
    bool Loaded() const { return !data_.points.empty(); }
    const QString& FileName() const { return fileName_; }

    // Reads a Touchstone two-port file whole; on failure nothing changes and the message, naming
    // the file, comes back.
    std::optional<QString> Open(const QString& path);
    void Close();

    // The design's ladder as built is on screen: draw the file over it and compare.
    void Compare(const LadderModel& built, const PartQuality& quality, const DesignBand& band, double unitScale,
                 const QString& unitText);
    // No design on screen: the file's curves stay, the comparison goes.
    void ClearComparison();

    // The figures of the file beside the design's, as the tab shows them.
    QString FiguresText() const;
    const std::optional<MeasuredComparison>& Comparison() const { return comparison_; }

private:
    void Draw();

    ResponsePlots* plots_;
    QWidget* tab_;
    QLabel* figuresLabel_;
    PlotView* difference_;
    MeasuredFit* fit_;
    int s21_, s11_, delay_, difference21_, difference11_, smith11_, smith22_;
    TwoPortData data_; // as the file holds it
    std::vector<MeasuredPoint> points_; // renormalised to the compared ladder's terminations
    double referenceOhms_[2] = {50.0, 50.0};
    QString fileName_;
    std::optional<MeasuredComparison> comparison_;
};

} // namespace corvane
