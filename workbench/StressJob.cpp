// SPDX-License-Identifier: Apache-2.0
#include "workbench/StressJob.h"

#include <memory>

#include "workbench/BackgroundJob.h"
#include "workbench/PartsTable.h"

namespace corvane {

StressJob::StressJob(PartsTable* table, QObject* parent) : QObject(parent), table_(table)
{
    job_ = new BackgroundJob(this);
    // The job's start note would hide the analysis's summary in the status line; only failures go there.
    connect(job_, &BackgroundJob::Status, this, [this](const QString& text, bool error) {
        if (error) emit Status(text, true);
    });
}

void StressJob::Start(Input input)
{
    const unsigned generation = ++generation_;
    auto result = std::make_shared<BandStress>();
    const StressRatings ratings = input.request.ratings;
    job_->Start(
        tr("Working out the parts' stress"),
        [input = std::move(input), result](JobControl& control) {
            control.total = static_cast<long long>(input.hz.size());
            *result = StressOverBand(input.ladder, input.quality, input.hz, input.band, input.request.drive,
                                     &control.cancel, &control.done);
        },
        [this, generation, result, ratings] {
            if (generation != generation_) return;
            const bool appearing = !table_->StressShown();
            table_->ShowStress(*result, ratings);
            if (appearing) emit ColumnsAppeared();
        });
}

void StressJob::Stop()
{
    ++generation_;
    table_->HideStress();
}

} // namespace corvane
