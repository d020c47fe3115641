// SPDX-License-Identifier: Apache-2.0
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QTableWidget>
#include <QAbstractSeries>
#include <QChart>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>

#include "filtermath/SelectFilter.h"
#include "run/LadderOfRun.h"
#include "analysis/NetworkResponse.h"
#include "analysis/Mask.h"
#include "chart/PlotView.h"
#include "workbench/BackgroundJob.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"

using namespace corvane;

// The tolerance tab over a ladder as built: the trials it starts are those its fields describe,
// the results reach the screen sorted with the mask drawn, and a run can be cancelled while the
// window goes on serving events.
class ToleranceTabTest : public QObject {
    Q_OBJECT
private slots:
    void runShowsTheEngineResultForTheTypedSettings();
    void cancelEndsARunAndKeepsTheWindowResponsive();
    void aBadSettingIsNamedAndStartsNothing();
    void maskBandsJoinTheShorthandsAndAreDrawn();
};

namespace {

using Input = ToleranceForm::Input;

// A 7-pole 0.5 dB Chebyshev low-pass at 10 MHz.
DesignState ChebyshevState()
{
    DesignParameters design;
    SelectFilterKind(0, 1, design.FilterKind); // low-pass, Chebyshev
    design.N = 7;
    design.Ripple = 0.5;
    design.PassF = 10.0;
    return ComputeDesign(design);
}

// The ladder with inductor Q 120, swept from 1 to 100 MHz over 1001 points.
ToleranceInput ChebyshevInput()
{
    const DesignState state = ChebyshevState();
    ToleranceInput input;
    input.ladder = ModelOfRun(state, LadderTopology::T);
    input.quality = {120, 0};
    SweepPlan plan;
    plan.start = 1.0;
    plan.stop = 100.0;
    plan.points = 1001;
    input.freq = NetworkFrequencies(plan);
    input.unitScale = 1e6;
    input.unitText = "MHz";
    input.mask = [state](std::optional<double> loss, std::optional<double> stop, std::optional<double> att) {
        if (stop) *stop *= state.UnitScale;
        return MaskOfEdges(BandOfRun(state), loss, stop, att);
    };
    return input;
}

void Type(ToleranceTab& tab, Input input, const QString& text)
{
    tab.Form()->Edit(input)->setText(text);
}

// Whether the envelope plot holds a curve through exactly these points.
bool HasCurve(const ToleranceTab& tab, const QList<QPointF>& points)
{
    for (QAbstractSeries* series : tab.Envelope()->Chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(series); line && line->points() == points) return true;
    return false;
}

// The level of a named curve of the envelope plot, and its x extent.
QList<QPointF> CurvePoints(const ToleranceTab& tab, const QString& name)
{
    for (QAbstractSeries* series : tab.Envelope()->Chart()->series())
        if (series->name() == name) return static_cast<QLineSeries*>(series)->points();
    return {};
}

} // namespace

void ToleranceTabTest::runShowsTheEngineResultForTheTypedSettings()
{
    ToleranceTab tab;
    tab.SetInput(ChebyshevInput());
    Type(tab, Input::Trials, "3000");
    Type(tab, Input::InductorTol, "8");
    Type(tab, Input::CapacitorTol, "3");
    Type(tab, Input::Seed, "77");
    Type(tab, Input::MaxPassLoss, "1.2");
    Type(tab, Input::StopFreq, "20");
    Type(tab, Input::StopAtt, "45");
    tab.Form()->DistributionBox()->setCurrentIndex(1);
    QSignalSpy finished(&tab, &ToleranceTab::Finished);
    tab.Start();
    QVERIFY(tab.Job()->Busy());
    QVERIFY(finished.wait(60000));
    QVERIFY(tab.HasResult());

    // The same analysis straight from the engine.
    const ToleranceInput input = ChebyshevInput();
    std::vector<double> hz;
    for (double f : input.freq) hz.push_back(f * 1e6);
    ToleranceSettings settings;
    settings.trials = 3000;
    settings.inductorPercent = 8;
    settings.capacitorPercent = 3;
    settings.seed = 77;
    settings.distribution = ToleranceDistribution::Normal;
    const ToleranceResult expected =
        RunTolerance(input.ladder, {120, 0}, hz, MaskOfEdges(BandOfRun(ChebyshevState()), 1.2, 20e6, 45.0), settings);
    const ToleranceResult& shown = tab.Result();
    QCOMPARE(shown.passed, expected.passed);
    QVERIFY(shown.passed > 0 && shown.passed < 3000);
    QCOMPARE(shown.s21.p95, expected.s21.p95);
    QVERIFY(tab.YieldText().contains(QString::number(100.0 * expected.yield, 'f', 2)));

    // The mask is drawn where it holds: -1.2 dB up to the 10 MHz edge, -45 dB from 20 MHz on.
    QCOMPARE(CurvePoints(tab, "mask"), (QList<QPointF>{{1.0, -1.2}, {10.0, -1.2}}));
    QVERIFY(tab.Envelope()->VerticalRange(PlotView::Side::Left).min <= -45.0);

    // The sensitivities, largest magnitude first, the first one marked.
    QTableWidget* table = tab.SensitivityTable();
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

void ToleranceTabTest::cancelEndsARunAndKeepsTheWindowResponsive()
{
    ToleranceTab tab;
    tab.SetInput(ChebyshevInput());
    Type(tab, Input::Trials, "1000000");
    QSignalSpy finished(&tab, &ToleranceTab::Finished);
    QSignalSpy status(&tab, &ToleranceTab::Status);
    tab.Start();
    // Events keep flowing while the trials run: a timer fires on the window's thread.
    bool ticked = false;
    QTimer::singleShot(20, &tab, [&ticked] { ticked = true; });
    QTRY_VERIFY_WITH_TIMEOUT(ticked, 5000);
    QVERIFY(tab.Job()->Busy());
    QVERIFY(!tab.Job()->ProgressBar()->isHidden());
    QTest::mouseClick(tab.Job()->CancelButton(), Qt::LeftButton);
    QVERIFY(finished.wait(30000));
    QVERIFY(!tab.Job()->Busy());
    QVERIFY(!tab.HasResult());
    QVERIFY(status.last().at(0).toString().contains("cancelled"));
    QVERIFY(status.last().at(1).toBool());
}

void ToleranceTabTest::aBadSettingIsNamedAndStartsNothing()
{
    ToleranceTab tab;
    QSignalSpy status(&tab, &ToleranceTab::Status);
    tab.Start();
    QVERIFY(status.last().at(0).toString().startsWith("There is no ladder"));
    tab.SetInput(ChebyshevInput());
    Type(tab, Input::CapacitorTol, "12,5x");
    tab.Start();
    QVERIFY(!tab.Job()->Busy());
    QVERIFY(status.last().at(0).toString().startsWith("C tolerance"));
    Type(tab, Input::CapacitorTol, "5");
    Type(tab, Input::StopFreq, "5");
    Type(tab, Input::StopAtt, "40");
    tab.Start();
    QVERIFY(!tab.Job()->Busy());
    QVERIFY(status.last().at(0).toString().contains("outside the passband"));
}

// Bands typed beside the shorthands: the run measures the mask of both, as the engine does, states
// where the worst margin lies, and draws each band on the curve it limits.
void ToleranceTabTest::maskBandsJoinTheShorthandsAndAreDrawn()
{
    ToleranceTab tab;
    tab.SetInput(ChebyshevInput());
    Type(tab, Input::Trials, "500");
    Type(tab, Input::InductorTol, "3");
    Type(tab, Input::CapacitorTol, "3");
    Type(tab, Input::MaxPassLoss, "1.2");
    Type(tab, Input::StopFreq, "");
    Type(tab, Input::StopAtt, "");
    Type(tab, Input::Mask, "stop 20 200M 45; rl 1 9 8");
    QSignalSpy finished(&tab, &ToleranceTab::Finished);
    tab.Start();
    QVERIFY(finished.wait(60000));
    QVERIFY(tab.HasResult());

    const ToleranceInput input = ChebyshevInput();
    std::vector<double> hz;
    for (double f : input.freq) hz.push_back(f * 1e6);
    ToleranceSettings settings;
    settings.trials = 500;
    settings.inductorPercent = settings.capacitorPercent = 3;
    Mask mask = MaskOfEdges(BandOfRun(ChebyshevState()), 1.2, std::nullopt, std::nullopt);
    mask.bands.push_back({MaskKind::Stop, 20e6, 200e6, 45});
    mask.bands.push_back({MaskKind::ReturnLoss, 1e6, 9e6, 8});
    const ToleranceResult expected = RunTolerance(input.ladder, {120, 0}, hz, mask, settings);
    QCOMPARE(tab.Result().passed, expected.passed);
    QCOMPARE(tab.Result().worstHz, expected.worstHz);
    QVERIFY2(tab.YieldText().contains(QStringLiteral(" MHz at ")), qPrintable(tab.YieldText()));

    QVERIFY(HasCurve(tab, {{1.0, -1.2}, {10.0, -1.2}}));
    QVERIFY(HasCurve(tab, {{20.0, -45.0}, {100.0, -45.0}}));
    QVERIFY(!HasCurve(tab, {{1.0, -8.0}, {9.0, -8.0}}));
    tab.Form()->CurveBox()->setCurrentIndex(1);
    QVERIFY(HasCurve(tab, {{1.0, -8.0}, {9.0, -8.0}}));
    QVERIFY(!HasCurve(tab, {{20.0, -45.0}, {100.0, -45.0}}));

    // A band that contradicts the shorthands is named and starts nothing.
    Type(tab, Input::Mask, "stop 5 200 45");
    QSignalSpy status(&tab, &ToleranceTab::Status);
    tab.Start();
    QVERIFY(!tab.Job()->Busy());
    QVERIFY(!status.isEmpty());
    QVERIFY2(status.last().at(0).toString().contains(QStringLiteral("both hold")),
             qPrintable(status.last().at(0).toString()));
}

QTEST_MAIN(ToleranceTabTest)
#include "ToleranceTabTest.moc"
