// SPDX-License-Identifier: Apache-2.0
// The workbench's part choice as a user drives it: "Optimise…" on the Tolerance tab's mask, Apply
// building the ladder from the result, and live tuning redrawing the response as a value moves.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>

#include "filtermath/SelectFilter.h"
#include "run/LadderOfRun.h"
#include "workbench/BackgroundJob.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/OptimiseDialog.h"
#include "workbench/PartsTable.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/TuningPanel.h"

using namespace corvane;

class OptimiseDialogTest : public QObject {
    Q_OBJECT
private slots:
    void appliedChoiceMeetsTheMaskOnScreen();
    void tuningRedrawsTheResponse();
};

namespace {

// A 7-pole 0.1 dB Chebyshev low-pass at 30 MHz, as the design window's run hands it over.
RunSnapshot Chebyshev7()
{
    DesignParameters design;
    SelectFilterKind(0, 1, design.FilterKind); // low-pass, Chebyshev
    design.N = 7;
    design.Ripple = 0.1;
    design.PassF = 30.0;
    return {ComputeDesign(design), 0, "T - Type", "MHz", "Chebyshev  LPF"};
}

// The worst loss of the shown |S21| up to the edge, in dB.
double WorstPassLossDb(const LadderWorkbench& bench, double edgeMHz)
{
    double worst = 0.0;
    const NetworkCurves& c = bench.Curves();
    for (std::size_t i = 0; i < c.NetFreq.size(); ++i)
        if (c.NetFreq[i] <= edgeMHz) worst = std::max(worst, -c.NetS21[i]);
    return worst;
}

void OpenOnE12(LadderWorkbench& bench)
{
    ExactResponseSettings settings;
    settings.series = "E12";
    settings.sweepStart = "0";
    settings.sweepStop = "90";
    settings.points = 1801;
    bench.show();
    bench.SetSettings(settings);
    bench.ShowRun(Chebyshev7());
}

} // namespace

void OptimiseDialogTest::appliedChoiceMeetsTheMaskOnScreen()
{
    LadderWorkbench bench;
    OpenOnE12(bench);
    // Rounded to E12 the passband loss passes 0.5 dB.
    QVERIFY(WorstPassLossDb(bench, 30.0) > 0.5);
    ToleranceForm* form = bench.Tolerance()->Form();
    for (auto input :
         {ToleranceForm::Input::MaxPassLoss, ToleranceForm::Input::StopFreq, ToleranceForm::Input::StopAtt})
        form->Edit(input)->clear();
    QVERIFY(!bench.OpenOptimise()); // no mask yet: the Tolerance tab is shown to set one
    QCOMPARE(bench.Tabs()->currentIndex(), int(LadderWorkbench::ToleranceTabIndex));
    form->Edit(ToleranceForm::Input::MaxPassLoss)->setText("0.5");
    form->Edit(ToleranceForm::Input::StopFreq)->setText("60");
    form->Edit(ToleranceForm::Input::StopAtt)->setText("40");
    OptimiseDialog* dialog = bench.OpenOptimise();
    QVERIFY(dialog);
    QCOMPARE(dialog->Parts()->rowCount(), 7);
    QVERIFY(dialog->Run());
    dialog->Job()->Wait();
    QVERIFY2(dialog->Result().has_value(), qPrintable(dialog->Summary()));
    QVERIFY(dialog->Result()->marginBeforeDb < 0.0);
    QVERIFY(dialog->Result()->marginAfterDb > 0.0);
    QVERIFY(dialog->Summary().contains("optimised"));
    const std::vector<PartChoice> choices = dialog->Result()->choices;
    const QString roundedL1 = bench.Parts()->Cell(1, 2);
    emit dialog->Applied(*dialog->Result());
    // The ladder on screen is the chosen one, and its analysed curve meets the passband limit.
    std::size_t k = 0;
    for (const ModelBranch& branch : bench.BuiltLadder().branches)
        for (const ModelPart& part : branch.parts) QCOMPARE(part.value, choices.at(k++).value);
    QVERIFY(WorstPassLossDb(bench, 30.0) <= 0.5);
    // The parts table's built column shows the chosen value in place of the rounded one.
    QCOMPARE(bench.Parts()->Cell(1, 0), QString("L1"));
    QVERIFY(bench.Parts()->Cell(1, 2) != roundedL1 && bench.Parts()->Cell(1, 2).endsWith("nH"));
    // A choice of series in the build settings goes back to plain rounding.
    bench.SetSettings(bench.Settings());
    QVERIFY(WorstPassLossDb(bench, 30.0) > 0.5);
    // The yield's search, cancelled, leaves no result to apply and says so.
    dialog->Goal()->setCurrentIndex(1);
    QVERIFY(dialog->Run());
    dialog->Job()->Cancel();
    dialog->Job()->Wait();
    QVERIFY(!dialog->Result().has_value());
    QVERIFY2(dialog->Summary().contains("cancelled"), qPrintable(dialog->Summary()));
}

void OptimiseDialogTest::tuningRedrawsTheResponse()
{
    LadderWorkbench bench;
    OpenOnE12(bench);
    TuningPanel* tuning = bench.Tuning();
    QCOMPARE(tuning->BoxCount(), 7);
    const double before = bench.BuiltLadder().branches[3].parts[0].value;
    const std::vector<double> curve = bench.Curves().NetS21;
    QDoubleSpinBox* box = tuning->Box(3);
    box->stepBy(5); // five steps of 1 %
    const double after = bench.BuiltLadder().branches[3].parts[0].value;
    QVERIFY(std::fabs(after / before - 1.05) < 1e-3);
    QVERIFY(bench.Curves().NetS21 != curve);
    // The box keeps the value the user gave it; the others are where they were.
    QVERIFY(std::fabs(tuning->Box(3)->value() - box->value()) < 1e-12);
    QCOMPARE(tuning->BoxCount(), 7);
}

QTEST_MAIN(OptimiseDialogTest)
#include "OptimiseDialogTest.moc"
