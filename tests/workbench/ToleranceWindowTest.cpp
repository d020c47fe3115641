// SPDX-License-Identifier: Apache-2.0
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTableWidget>
#include <QtTest>
#include <cmath>

#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "analysis/ToleranceMask.h"
#include "workbench/MainWindow.h"
#include "workbench/ToleranceWindow.h"

// The tolerance window over a run of the design window: the trials it starts are those its
// fields describe, the results reach the screen sorted, and a run can be cancelled while the
// window goes on serving events.
class ToleranceWindowTest : public QObject {
    Q_OBJECT
private slots:
    void runShowsTheEngineResultForTheTypedSettings();
    void cancelEndsARunAndKeepsTheWindowResponsive();
    void aBadSettingIsNamedAndStartsNothing();
    void theAnalysisMenuOpensOneWindowWithCtrlT();
};

namespace {

// A 7-pole 0.5 dB Chebyshev low-pass at 10 MHz, swept from 1 to 100 MHz.
RunSnapshot ChebyshevRun()
{
    DesignParameters design;
    design.FilterKind = 3;
    design.N = 7;
    design.Ripple = 0.5;
    design.PassF = 10.0;
    RunSnapshot run;
    run.state = ComputeDesign(design);
    for (int i = 0; i < SweepPoints; ++i) run.state.Freq[i] = 1.0 + i;
    run.topologyIndex = 0;
    run.unitText = "MHz";
    run.title = "Chebyshev  LPF";
    return run;
}

void Type(ToleranceWindow& window, ToleranceWindow::Input input, const QString& text)
{
    window.Edit(input)->setText(text);
}

} // namespace

void ToleranceWindowTest::runShowsTheEngineResultForTheTypedSettings()
{
    ToleranceWindow window;
    const RunSnapshot run = ChebyshevRun();
    window.ShowRun(run);
    Type(window, ToleranceWindow::Input::Trials, "3000");
    Type(window, ToleranceWindow::Input::InductorTol, "8");
    Type(window, ToleranceWindow::Input::CapacitorTol, "3");
    Type(window, ToleranceWindow::Input::Seed, "77");
    Type(window, ToleranceWindow::Input::MaxPassLoss, "1.2");
    Type(window, ToleranceWindow::Input::StopFreq, "20");
    Type(window, ToleranceWindow::Input::StopAtt, "45");
    Type(window, ToleranceWindow::Input::QL, "120");
    window.DistributionBox()->setCurrentIndex(1);
    QSignalSpy finished(&window, &ToleranceWindow::Finished);
    window.Start();
    QVERIFY(window.Busy());
    QVERIFY(finished.wait(60000));
    QVERIFY(window.HasResult());

    // The same analysis straight from the engine.
    SweepPlan plan;
    plan.start = 1.0;
    plan.stop = 100.0;
    plan.points = 1001;
    std::vector<double> hz;
    for (double f : NetworkFrequencies(plan)) hz.push_back(f * 1e6);
    ToleranceSettings settings;
    settings.trials = 3000;
    settings.inductorPercent = 8;
    settings.capacitorPercent = 3;
    settings.seed = 77;
    settings.distribution = ToleranceDistribution::Normal;
    const ToleranceResult expected = RunTolerance(LadderOfModel(ModelOfRun(run.state, LadderTopology::T)), {120, 0}, hz,
                                                  MaskOfDesign(run.state, 1.2, 20.0, 45.0), settings);
    const ToleranceResult& shown = window.Result();
    QCOMPARE(shown.passed, expected.passed);
    QVERIFY(shown.passed > 0 && shown.passed < 3000);
    QCOMPARE(shown.s21.p95, expected.s21.p95);
    QVERIFY(window.YieldText().contains(QString::number(100.0 * expected.yield, 'f', 2)));
    QCOMPARE(window.Progress()->value(), window.Progress()->maximum());

    // The sensitivities, largest magnitude first, the first one marked.
    QTableWidget* table = window.SensitivityTable();
    QCOMPARE(table->rowCount(), 7);
    double previous = INFINITY;
    for (int row = 0; row < table->rowCount(); ++row) {
        const double value = std::fabs(table->item(row, 1)->text().toDouble());
        QVERIFY(value <= previous);
        previous = value;
    }
    QVERIFY(table->item(0, 0)->font().bold());
    QVERIFY(!table->item(1, 0)->font().bold());
}

void ToleranceWindowTest::cancelEndsARunAndKeepsTheWindowResponsive()
{
    ToleranceWindow window;
    window.ShowRun(ChebyshevRun());
    Type(window, ToleranceWindow::Input::Trials, "1000000");
    QSignalSpy finished(&window, &ToleranceWindow::Finished);
    window.Start();
    // Events keep flowing while the trials run: a timer fires on the window's thread.
    bool ticked = false;
    QTimer::singleShot(20, &window, [&ticked] { ticked = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ticked, 5000);
    QVERIFY(window.Busy());
    window.Cancel();
    QVERIFY(finished.wait(30000));
    QVERIFY(!window.Busy());
    QVERIFY(!window.HasResult());
    QVERIFY(window.StatusText().startsWith("Cancelled"));
}

void ToleranceWindowTest::aBadSettingIsNamedAndStartsNothing()
{
    ToleranceWindow window;
    window.ShowRun(ChebyshevRun());
    Type(window, ToleranceWindow::Input::CapacitorTol, "12,5x");
    window.Start();
    QVERIFY(!window.Busy());
    QVERIFY(window.StatusText().startsWith("C tolerance"));
    Type(window, ToleranceWindow::Input::CapacitorTol, "5");
    Type(window, ToleranceWindow::Input::StopFreq, "5");
    Type(window, ToleranceWindow::Input::StopAtt, "40");
    window.Start();
    QVERIFY(!window.Busy());
    QVERIFY(window.StatusText().contains("outside the passband"));
}

void ToleranceWindowTest::theAnalysisMenuOpensOneWindowWithCtrlT()
{
    MainWindow main;
    AttachToleranceWindow(main);
    main.show();
    QAction* action = nullptr;
    for (QAction* entry : main.AnalysisMenu()->actions())
        if (entry->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_T)) action = entry;
    QVERIFY(action);
    QCOMPARE(action->text(), QString("&Tolerance Analysis..."));
    QVERIFY(!ToleranceWindowOf(main));
    action->trigger();
    ToleranceWindow* window = ToleranceWindowOf(main);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    action->trigger();
    QCOMPARE(main.findChildren<ToleranceWindow*>().size(), 1);
}

QTEST_MAIN(ToleranceWindowTest)
#include "ToleranceWindowTest.moc"
