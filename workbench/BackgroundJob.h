// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace corvane {

// What a long computation shares with the window while it runs: the work done of the total
// (any unit) and the Cancel request.
struct JobControl {
    std::atomic<long long> done{0};
    std::atomic<long long> total{1};
    std::atomic<bool> cancel{false};
};

// One long computation of a window at a time, on a worker thread, with a progress bar and a
// Cancel button for the window's status bar; the window never waits for it. The work runs on the
// worker and throws to fail; the finish runs on the window's thread with the work's results.
// A new start while a job runs cancels it and starts the new one as soon as it has stopped.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(JobControl& control)>;
    using Finish = std::function<void()>;

    explicit BackgroundJob(QObject* parent = nullptr);
    ~BackgroundJob() override;

    void Start(const QString& what, Work work, Finish finish);
    void Cancel();
    bool Busy() const { return thread_ != nullptr; }
    // Blocks until the running job, and any job it handed on to, has ended (for tests and shutdown).
    void Wait();

    // Shown only while a job runs; the window places them.
    QProgressBar* ProgressBar() const;
    QPushButton* CancelButton() const;

signals:
    // For the status line: "<what>..." when a job starts, its error when it fails, the cancel note.
    void Status(const QString& text, bool error);
    // A job ended, finished, failed or cancelled.
    void Ended();

private:
    struct Run;
    void Launch(std::shared_ptr<Run> run);
    void ThreadFinished();

    // Guarded: the window that placed them may delete them first while it closes.
    QPointer<QProgressBar> progress_;
    QPointer<QPushButton> cancelButton_;
    QTimer* timer_;
    QThread* thread_ = nullptr;
    std::shared_ptr<Run> running_;
    std::shared_ptr<Run> next_;
};

} // namespace corvane
