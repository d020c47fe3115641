// SPDX-License-Identifier: Apache-2.0
#include <QtTest>
#include <atomic>

#include "filtermath/Failure.h"
#include "synthesis/Synthesis.h"
#include "workbench/ExactResponseJob.h"

using namespace corvane;

// The worker's job: the sweep cut into blocks over several threads must give the curves of
// one analysis of the whole sweep, in sweep order.
class ExactJobTest : public QObject {
    Q_OBJECT
private slots:
    void blocksOnEveryCoreGiveTheWholeSweep();
    void cancelBeforeTheStartLeavesTheCurves();
    void aFaultInAnyBlockReachesTheCaller();
};

namespace {

// A ladder of order N, 0.5 dB ripple where the family has one, edge at 10 MHz, between 50 ohm.
LadderModel Synthesised(synthesis::Family family, synthesis::FilterType type, int N, LadderTopology form)
{
    synthesis::DesignRequest request;
    request.response.family = family;
    request.response.N = N;
    request.type = type;
    request.form = form;
    request.passHz = 10e6;
    return synthesis::Synthesise(request).ladder;
}

ExactJob NinePoleJob(int points)
{
    ExactJob job;
    job.ladder = Synthesised(synthesis::Family::Chebyshev, synthesis::FilterType::LowPass, 9, LadderTopology::Pi);
    job.quality = {80.0, 300.0};
    for (int i = 0; i < points; ++i) job.freq.push_back(0.5 + 30.0 * i / (points - 1));
    job.unitScale = 1e6;
    return job;
}

} // namespace

void ExactJobTest::blocksOnEveryCoreGiveTheWholeSweep()
{
    const ExactJob job = NinePoleJob(10007);
    const NetworkCurves whole = AnalyseCurves(job.ladder, job.freq, job.unitScale, job.quality);
    NetworkCurves curves;
    std::atomic<bool> cancel{false};
    std::atomic<long long> done{0};
    QVERIFY(RunExactJob(job, curves, cancel, done));
    QCOMPARE(done.load(), 10007);
    QCOMPARE(curves.NetFreq, whole.NetFreq);
    QCOMPARE(curves.NetS21, whole.NetS21);
    QCOMPARE(curves.NetS11Deg, whole.NetS11Deg);
    QCOMPARE(curves.NetS22, whole.NetS22);
    QCOMPARE(curves.NetGroupDelay, whole.NetGroupDelay);
}

void ExactJobTest::cancelBeforeTheStartLeavesTheCurves()
{
    NetworkCurves curves;
    curves.NetFreq = {1.0};
    std::atomic<bool> cancel{true};
    std::atomic<long long> done{0};
    QVERIFY(!RunExactJob(NinePoleJob(5000), curves, cancel, done));
    QCOMPARE(done.load(), 0);
    QCOMPARE(curves.NetFreq, std::vector<double>{1.0});
}

void ExactJobTest::aFaultInAnyBlockReachesTheCaller()
{
    // A high-pass ladder has a capacitor in series: at 0 Hz it divides by zero.
    ExactJob job = NinePoleJob(3001);
    job.ladder = Synthesised(synthesis::Family::Butterworth, synthesis::FilterType::HighPass, 3, LadderTopology::T);
    job.freq[2500] = 0.0;
    NetworkCurves curves;
    std::atomic<bool> cancel{false};
    std::atomic<long long> done{0};
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, RunExactJob(job, curves, cancel, done));
    QVERIFY(curves.NetFreq.empty());
}

QTEST_GUILESS_MAIN(ExactJobTest)
#include "ExactJobTest.moc"
