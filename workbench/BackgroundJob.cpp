// SPDX-License-Identifier: Apache-2.0
#include "workbench/BackgroundJob.h"

#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "filtermath/Failure.h"
#include "filtermath/NumberText.h"

namespace corvane {

namespace {

constexpr int kProgressSteps = 1000;
constexpr int kProgressIntervalMs = 50;

} // namespace

// Shared by the worker and the window, so neither outlives what the other still reads.
struct BackgroundJob::Run {
    QString what;
    Work work;
    Finish finish;
    JobControl control;
    std::string error;
};

BackgroundJob::BackgroundJob(QObject* parent) : QObject(parent)
{
    progress_ = new QProgressBar;
    progress_->setRange(0, kProgressSteps);
    progress_->setMaximumWidth(160);
    progress_->setVisible(false);
    cancelButton_ = new QPushButton(tr("Cancel"));
    cancelButton_->setVisible(false);
    timer_ = new QTimer(this);
    timer_->setInterval(kProgressIntervalMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (!running_) return;
        const long long total = std::max(running_->control.total.load(), 1LL);
        // A work whose total is an estimate may pass it: the bar then stays full.
        const long long done = std::min(running_->control.done.load(), total);
        progress_->setValue(static_cast<int>(kProgressSteps * done / total));
    });
    connect(cancelButton_, &QPushButton::clicked, this, &BackgroundJob::Cancel);
}

BackgroundJob::~BackgroundJob()
{
    next_.reset();
    Cancel();
    if (thread_) thread_->wait();
    delete thread_;
    // The widgets belong to whichever layout took them; those that none took go with the job.
    if (progress_ && !progress_->parent()) delete progress_;
    if (cancelButton_ && !cancelButton_->parent()) delete cancelButton_;
}

QProgressBar* BackgroundJob::ProgressBar() const
{
    return progress_;
}

QPushButton* BackgroundJob::CancelButton() const
{
    return cancelButton_;
}

void BackgroundJob::Start(const QString& what, Work work, Finish finish)
{
    auto run = std::make_shared<Run>();
    run->what = what;
    run->work = std::move(work);
    run->finish = std::move(finish);
    if (thread_) {
        next_ = std::move(run);
        Cancel();
        return;
    }
    Launch(std::move(run));
}

void BackgroundJob::Launch(std::shared_ptr<Run> run)
{
    running_ = run;
    progress_->setValue(0);
    progress_->setVisible(true);
    cancelButton_->setVisible(true);
    emit Status(run->what + QStringLiteral("..."), false);
    thread_ = QThread::create([run] {
        try {
            run->work(run->control);
        } catch (const Failure& failure) {
            run->error = ErrorReportText(failure.what());
        } catch (const std::exception& failure) {
            run->error = failure.what();
        }
    });
    // A thread that Wait() has already seen out reports nothing more.
    connect(thread_, &QThread::finished, this, [this, thread = thread_] {
        if (thread == thread_) ThreadFinished();
    });
    timer_->start();
    thread_->start();
}

void BackgroundJob::Cancel()
{
    if (running_) running_->control.cancel = true;
}

void BackgroundJob::ThreadFinished()
{
    timer_->stop();
    thread_->deleteLater();
    thread_ = nullptr;
    const std::shared_ptr<Run> run = std::move(running_);
    progress_->setVisible(false);
    cancelButton_->setVisible(false);
    if (next_) {
        Launch(std::move(next_));
        return;
    }
    if (!run->error.empty())
        emit Status(QString::fromStdString(run->error), true);
    else if (run->control.cancel)
        emit Status(tr("%1 cancelled; the results on screen are those of the last complete run.").arg(run->what), true);
    else
        run->finish();
    emit Ended();
}

void BackgroundJob::Wait()
{
    while (thread_) {
        thread_->wait();
        ThreadFinished();
    }
}

} // namespace corvane
