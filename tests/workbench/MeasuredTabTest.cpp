// SPDX-License-Identifier: Apache-2.0
// A measured file over the workbench's design: the file the workbench itself exported, read back,
// lies on the design's curves at every point of every plot; a broken file changes nothing and
// names itself; the Smith tab carries S11 and S22 of the design.
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <fstream>

#include "chart/PlotView.h"
#include "chart/SmithChart.h"
#include "tests/workbench/CalculatedWorkbench.h"
#include "export/Touchstone.h"
#include "workbench/BackgroundJob.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MeasuredFit.h"
#include "workbench/MainWindow.h"
#include "workbench/MeasuredOverlay.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/ResponsePlots.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

class MeasuredTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportedFileLiesOnTheDesign();
    void brokenFileChangesNothing();
    void fitFindsThePartThatIsOff();
};

using Bench = CalculatedWorkbench;

void MeasuredTabTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("corvane-tests"));
    QSettings().clear();
}

void MeasuredTabTest::exportedFileLiesOnTheDesign()
{
    Bench b;
    QVERIFY(b.bench);
    QTemporaryDir dir;
    const QString file = dir.filePath("design.s2p");
    QVERIFY(b.bench->ExportTouchstone(file));
    QVERIFY(b.bench->OpenMeasured(file));
    QCOMPARE(b.bench->Tabs()->currentIndex(), int(LadderWorkbench::MeasuredTabIndex));
    const auto& comparison = b.bench->Measured()->Comparison();
    QVERIFY(comparison.has_value());
    const size_t points = comparison->measured.NetFreq.size();
    QVERIFY(points > 50);
    for (size_t i = 0; i < points; ++i) {
        QVERIFY(std::fabs(comparison->measured.NetS21[i] - comparison->design.NetS21[i]) < 1e-4);
        QVERIFY(std::fabs(comparison->measured.NetFreq[i] - b.bench->Curves().NetFreq[i]) < 1e-9);
    }
    QVERIFY(b.bench->Measured()->FiguresText().contains("Passband loss"));
    QCOMPARE(b.bench->Plots()->Smith()->PointCount(0), int(b.bench->Curves().NetFreq.size()));
}

void MeasuredTabTest::brokenFileChangesNothing()
{
    Bench b;
    QTemporaryDir dir;
    const QString good = dir.filePath("good.s2p"), bad = dir.filePath("bad.s2p");
    QVERIFY(b.bench->ExportTouchstone(good));
    QVERIFY(b.bench->OpenMeasured(good));
    std::ofstream(bad.toStdString()) << "# MHz S RI R 50\n1 0.1 0 0.9 0 0.9\n";
    QVERIFY(!b.bench->OpenMeasured(bad));
    QVERIFY(b.bench->StatusText().contains("bad.s2p"));
    QCOMPARE(b.bench->Measured()->FileName(), QString("good.s2p"));
    QVERIFY(b.bench->Measured()->Comparison().has_value());
}

namespace {

// The ladder as built with its second part off by a given factor, "measured" over its band
// (from a twentieth of the design's highest edge to three times it, or from from).
QString WriteBuiltOff(const LadderWorkbench& bench, const QString& path, double factor, double fromShare = 0.05)
{
    LadderModel off = bench.BuiltLadder();
    off.branches[1].parts[0].value *= factor;
    const DesignBand band = bench.Shown().Edges();
    const double top = std::max(band.lowHz, band.highHz);
    std::vector<double> hz;
    for (int i = 0; i <= 800; ++i) hz.push_back(top * (fromShare + (3.0 - fromShare) * i / 800));
    std::ofstream(path.toStdString()) << TouchstoneText(off, hz, 1.0, {}, {"part 2 off"});
    return QString::fromStdString(off.branches[1].parts[0].designator);
}

} // namespace

void MeasuredTabTest::fitFindsThePartThatIsOff()
{
    Bench b;
    QTemporaryDir dir;
    const QString file = dir.filePath("built.s2p");
    const QString off = WriteBuiltOff(*b.bench, file, 1.04);
    // Parts within 2 % are within their tolerance.
    for (auto field : {ToleranceForm::Input::InductorTol, ToleranceForm::Input::CapacitorTol})
        b.bench->Tolerance()->Form()->Edit(field)->setText("2");
    QVERIFY(b.bench->OpenMeasured(file));
    MeasuredFit* fit = b.bench->Measured()->Fit();
    QVERIFY(fit->FitButton()->isEnabled());
    fit->Start({});
    fit->Job()->Wait();
    QVERIFY2(fit->Result().has_value(), qPrintable(b.bench->StatusText()));
    QTableWidget* table = fit->Table();
    QCOMPARE(table->rowCount(), int(fit->Result()->parts.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const bool isOff = table->item(r, 0)->text() == off;
        const double change = table->item(r, 3)->text().toDouble();
        QVERIFY2(std::fabs(change - (isOff ? 4.0 : 0.0)) < 0.01, qPrintable(table->item(r, 0)->text()));
        QCOMPARE(table->item(r, 6)->text(), isOff ? QString("outside") : QString("within"));
    }
    QVERIFY(b.bench->StatusText().contains("built.s2p"));

    // A file that begins above half the band cannot tell the passband: refused, naming the file.
    const QString shortFile = dir.filePath("short.s2p");
    WriteBuiltOff(*b.bench, shortFile, 1.0, 0.5);
    QVERIFY(b.bench->OpenMeasured(shortFile));
    fit->Start({});
    fit->Job()->Wait();
    QVERIFY(!fit->Result().has_value());
    QVERIFY2(b.bench->StatusText().contains("short.s2p") && b.bench->StatusText().contains("passband"),
             qPrintable(b.bench->StatusText()));
    // A band typed the wrong way round names its field.
    fit->Start({"20", "10", false, false});
    QVERIFY2(b.bench->StatusText().contains("Fit from"), qPrintable(b.bench->StatusText()));
}

QTEST_MAIN(MeasuredTabTest)
#include "MeasuredTabTest.moc"
