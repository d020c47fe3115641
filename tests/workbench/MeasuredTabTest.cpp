// SPDX-License-Identifier: Apache-2.0
// A measured file over the workbench's design: the file the workbench itself exported, read back,
// lies on the design's curves at every point of every plot; a broken file changes nothing and
// names itself; the Smith tab carries S11 and S22 of the design.
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <fstream>

#include "chart/PlotView.h"
#include "chart/SmithChart.h"
#include "tests/window/WindowHarness.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"
#include "workbench/MeasuredOverlay.h"
#include "workbench/ResponsePlots.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

class MeasuredTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void exportedFileLiesOnTheDesign();
    void brokenFileChangesNothing();
};

namespace {

struct Bench {
    MainWindow main;
    LadderWorkbench* bench = nullptr;
    Bench()
    {
        main.SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Discard; });
        AttachWorkbench(main);
        main.show();
        main.DesignWindow()->BCalculateClick();
        main.WorkbenchAction()->trigger();
        bench = WorkbenchOf(main);
        if (bench && !QTest::qWaitForWindowExposed(bench)) qWarning("the workbench is not exposed");
    }
};

} // namespace

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

QTEST_MAIN(MeasuredTabTest)
#include "MeasuredTabTest.moc"
