// SPDX-License-Identifier: Apache-2.0
// The shared pieces of the workbench on their own: the background job's life (finish, failure,
// cancel, a newer start), the export helper's failures, and the passband rule of the delay axis.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <thread>

#include "filtermath/Failure.h"
#include "workbench/BackgroundJob.h"
#include "workbench/ExportHelper.h"
#include "workbench/ResponsePlots.h"

using namespace corvane;

class WorkbenchPartsTest : public QObject {
    Q_OBJECT
private slots:
    void jobFinishesFailsAndCancels();
    void aNewerStartSupersedesTheRunningJob();
    void exportFailuresNameTheFileAndKeepTheOldOne();
    void delayRangeIsThePassbands_data();
    void delayRangeIsThePassbands();
};

namespace {

// Work that runs until cancelled, reporting its steps.
void UntilCancelled(JobControl& control)
{
    control.total = 1000;
    while (!control.cancel) {
        control.done = std::min(control.done.load() + 1, 999LL);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

void WorkbenchPartsTest::jobFinishesFailsAndCancels()
{
    BackgroundJob job;
    QSignalSpy status(&job, &BackgroundJob::Status);
    QSignalSpy ended(&job, &BackgroundJob::Ended);
    int finished = 0;
    std::atomic<bool> ranOnWorker{false};
    const auto gui = QThread::currentThread();
    job.Start(
        "Summing", [&](JobControl&) { ranOnWorker = QThread::currentThread() != gui; }, [&] { ++finished; });
    QVERIFY(ended.wait(5000));
    QVERIFY(ranOnWorker);
    QCOMPARE(finished, 1);
    QCOMPARE(status.first().at(0).toString(), QString("Summing..."));

    // A failure is the status line's error and never reaches the finish.
    job.Start(
        "Failing", [](JobControl&) { throw Failure("the ladder is singular"); }, [&] { ++finished; });
    QVERIFY(ended.wait(5000));
    QCOMPARE(finished, 1);
    QCOMPARE(status.last().at(0).toString(), QString("the ladder is singular."));
    QVERIFY(status.last().at(1).toBool());

    job.Start("Waiting", UntilCancelled, [&] { ++finished; });
    QVERIFY(job.Busy());
    job.Cancel();
    QVERIFY(ended.wait(5000));
    QCOMPARE(finished, 1);
    QVERIFY(status.last().at(0).toString().startsWith("Waiting cancelled"));
    QVERIFY(!job.Busy());
}

void WorkbenchPartsTest::aNewerStartSupersedesTheRunningJob()
{
    BackgroundJob job;
    QSignalSpy ended(&job, &BackgroundJob::Ended);
    QStringList finished;
    job.Start("Old", UntilCancelled, [&] { finished << "old"; });
    job.Start(
        "New", [](JobControl&) {}, [&] { finished << "new"; });
    QVERIFY(ended.wait(5000));
    QCOMPARE(finished, QStringList{"new"});
    QCOMPARE(ended.size(), 1);
}

void WorkbenchPartsTest::exportFailuresNameTheFileAndKeepTheOldOne()
{
    ExportHelper helper(nullptr);
    QStringList messages;
    helper.SetMessageHook([&](const QString& text) { messages << text; });
    QTemporaryDir dir;
    const QString path = dir.filePath("old.cir");
    QVERIFY(helper.WriteTo(path, [] { return std::string("first\n"); }));

    // Content that cannot be made, and a file that cannot be written: one message each.
    QVERIFY(!helper.WriteTo(path, []() -> std::string { throw Failure("no sweep point to export"); }));
    const QString missing = dir.filePath("no/such/folder/x.cir");
    QVERIFY(!helper.WriteTo(missing, [] { return std::string("x"); }));
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages[0], QString("Cannot write file '%1': no sweep point to export.").arg(path));
    QVERIFY2(messages[1].startsWith(QString("Cannot write file '%1': ").arg(missing)), qPrintable(messages[1]));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("first\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.cir"});
}

void WorkbenchPartsTest::delayRangeIsThePassbands_data()
{
    QTest::addColumn<QVector<double>>("s21");
    QTest::addColumn<QVector<double>>("delay");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("max");
    // A spike of 500 where the ladder stops (|S21| far below its best) is left out.
    QTest::newRow("spike in the stopband")
        << QVector<double>{-0.1, -0.5, -3.0, -40, -60} << QVector<double>{10, 12, 20, 500, 5} << true << 22.0;
    // The 3.01 dB edge counts relative to the best level, here a 6 dB mismatch loss.
    QTest::newRow("lossy passband") << QVector<double>{-6.0, -8.9, -9.1} << QVector<double>{4, 6, 100} << true << 6.6;
    QTest::newRow("no finite level") << QVector<double>{NAN, NAN} << QVector<double>{1, 2} << false << 0.0;
}

void WorkbenchPartsTest::delayRangeIsThePassbands()
{
    QFETCH(QVector<double>, s21);
    QFETCH(QVector<double>, delay);
    QFETCH(bool, found);
    QFETCH(double, max);
    const std::optional<AxisRange> range = PassbandDelayRange(std::vector<double>(s21.begin(), s21.end()),
                                                              std::vector<double>(delay.begin(), delay.end()));
    QCOMPARE(range.has_value(), found);
    if (!found) return;
    QCOMPARE(range->min, 0.0);
    QVERIFY2(std::fabs(range->max - max) < 1e-9, qPrintable(QString::number(range->max)));
}

QTEST_MAIN(WorkbenchPartsTest)
#include "WorkbenchPartsTest.moc"
