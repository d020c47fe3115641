// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QObject>
#include <vector>

#include "analysis/PartStress.h"
#include "design/DesignBand.h"
#include "design/LadderModel.h"
#include "workbench/StressSettings.h"

namespace corvane {

class BackgroundJob;
class PartsTable;

// The parts' stress of the ladder on screen, worked out on a background job of its own and shown
// in the parts table when it ends: at a VSWR above 1 every sweep point is solved for each load
// phase, far more than a frame holds. A new start or a stop replaces the run on the way; its
// result is dropped.
class StressJob : public QObject {
    Q_OBJECT
public:
    struct Input {
        LadderModel ladder;
        PartQuality quality;
        std::vector<double> hz; // the sweep
        DesignBand band;
        StressRequest request;
    };

    StressJob(PartsTable* table, QObject* parent = nullptr);

    void Start(Input input);
    // No stress asked for, or no ladder: the columns go.
    void Stop();
    BackgroundJob* Job() const { return job_; }

signals:
    // A failure of the analysis, or the user's cancel.
    void Status(const QString& text, bool error);
    // The stress columns are on screen where they were hidden.
    void ColumnsAppeared();

private:
    PartsTable* table_;
    BackgroundJob* job_;
    unsigned generation_ = 0; // of the latest start or stop; an older run's result is not shown
};

} // namespace corvane
