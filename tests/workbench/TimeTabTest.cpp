// SPDX-License-Identifier: Apache-2.0
// The Time tab of the workbench, driven as a user drives it: the step of the ladder as built
// settles where the DC divider of its terminations and inductor resistances puts it, the time
// axis counts in the prefix unit of its length, the work waits until the tab is opened, a
// band-pass states no step figures, nothing stays after a bad field, and the Smith chart
// exports as an image like every other plot.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "chart/PlotView.h"
#include "tests/workbench/CalculatedWorkbench.h"
#include "workbench/BackgroundJob.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"
#include "workbench/TimeTab.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

class TimeTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stepSettlesAtTheDcDividerOfTheLadderAsBuilt();
    void workWaitsForTheTabAndBandPassHasNoFigures();
    void smithChartExportsAsAnImage();
};

namespace {

struct Bench : CalculatedWorkbench {
    // Opens the Time tab and waits for its responses.
    const TimeResponse* ShowTime() const
    {
        bench->ShowTab(LadderWorkbench::TimeTabIndex);
        QCoreApplication::processEvents();
        bench->Time()->Job()->Wait();
        const auto& result = bench->Time()->Result();
        return result ? &*result : nullptr;
    }
};

} // namespace

void TimeTabTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("corvane-tests"));
    QSettings().clear();
}

void TimeTabTest::stepSettlesAtTheDcDividerOfTheLadderAsBuilt()
{
    Bench b;
    QVERIFY(b.bench);
    // At DC every inductor is its DC resistance and every capacitor an open: the step ends at
    // S21(0) = 2 sqrt(RS RL) / (RS + RL + the series inductors' resistance).
    for (const double ohms : {0.0, 4.0}) {
        b.Apply("DC resistance of inductors", QString::number(ohms));
        const TimeResponse* r = b.ShowTime();
        QVERIFY2(r, qPrintable(b.bench->StatusText()));
        const LadderModel& ladder = b.bench->BuiltLadder();
        double series = 0.0;
        for (const ModelBranch& branch : ladder.branches)
            if (branch.place == BranchPlace::Series)
                for (const ModelPart& part : branch.parts) series += part.kind == PartKind::Inductor ? ohms : 0.0;
        const double expected = 2.0 * std::sqrt(ladder.RS * ladder.RL) / (ladder.RS + ladder.RL + series);
        QVERIFY(series > 0.0 || ohms == 0.0);
        QVERIFY(r->figures.has_value());
        QVERIFY2(std::fabs(r->figures->finalValue - expected) < 1e-4 * expected,
                 qPrintable(QString("settles at %1, expected %2").arg(r->figures->finalValue).arg(expected)));
        QVERIFY(std::fabs(r->step.back() - expected) < 1e-3 * expected);
        QVERIFY(b.bench->Time()->FiguresText().contains("overshoot"));
        QVERIFY(b.bench->Time()->FiguresText().contains(QRegularExpression("rise time \\(10.90 %\\) [0-9.]+ [nµm]?s")));
        // The first view shows the ringing die away, counting from 1 to 1000 of the unit its
        // title names; the whole response lies beyond, whose step ends where it settles.
        const double axisEnd = b.bench->Time()->Plot()->BottomRange().max;
        QVERIFY2(axisEnd >= 1.0 && axisEnd <= 1000.0, qPrintable(QString::number(axisEnd)));
        QVERIFY(axisEnd * b.bench->Time()->TimeScale() > r->figures->settlingSeconds);
        const QString unit = b.bench->Time()->TimeScale() == 1e-9   ? "ns"
                             : b.bench->Time()->TimeScale() == 1e-6 ? "\u00b5s"
                                                                    : "ms";
        QVERIFY(b.bench->Time()->Plot()->Chart()->axes(Qt::Horizontal).first()->titleText().endsWith(unit));
    }
}

void TimeTabTest::workWaitsForTheTabAndBandPassHasNoFigures()
{
    Bench b;
    QVERIFY(b.ShowTime());
    // On another tab a new design costs nothing until the Time tab is opened again.
    b.bench->ShowTab(LadderWorkbench::ResponseTab);
    auto* type = b.main.DesignWindow()->findChild<QComboBox*>("CBType");
    type->setCurrentIndex(2);
    WindowHarness::TypeInto(b.main.DesignWindow()->findChild<QLineEdit*>("leFmin"), "9");
    WindowHarness::TypeInto(b.main.DesignWindow()->findChild<QLineEdit*>("leFmax"), "11");
    b.main.DesignWindow()->BCalculateClick();
    QVERIFY(!b.bench->Time()->Job()->Busy());
    QVERIFY(b.bench->Time()->Result()->figures.has_value());
    const TimeResponse* r = b.ShowTime();
    QVERIFY(r);
    // A band-pass passes no DC: its step rings down to zero and has no figures to state.
    QVERIFY(!r->figures.has_value());
    QVERIFY(b.bench->Time()->FiguresText().contains("settles to zero"));
    // A bad field leaves no response of the old design on the tab.
    b.Apply("Points", "7");
    QVERIFY(!b.bench->Time()->Result().has_value());
    QCOMPARE(b.bench->Time()->Plot()->PointCount(0), 0);
}

void TimeTabTest::smithChartExportsAsAnImage()
{
    Bench b;
    QTemporaryDir folder;
    b.bench->ShowTab(LadderWorkbench::SmithTabIndex);
    const QString png = folder.filePath("smith.png"), svg = folder.filePath("smith.svg");
    QVERIFY(b.bench->ExportImage(png, QSize(700, 500)));
    const QImage image(png);
    QCOMPARE(image.size(), QSize(700, 500));
    // Laid out at the size asked: the rim of the unit circle, centred, 8 pixels from the shorter
    // side and a span of 1.08 each way, is drawn where that puts it; the S11 curve (green) inside.
    const double unit = (500 - 16) / 2.0 / 1.08;
    const auto darkNear = [&](double cx, double cy) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (image.pixelColor(int(cx) + dx, int(cy) + dy).lightness() < 100) return true;
        return false;
    };
    QVERIFY(darkNear(350 - unit, 250) && darkNear(350 + unit, 250) && darkNear(350, 250 - unit));
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 100 && c.red() < 60 && c.blue() < 60 && std::hypot(x - 350.0, y - 250.0) < unit) ++green;
        }
    QVERIFY(green > 50);
    QVERIFY(b.bench->ExportImage(svg, QSize(700, 500)));
    std::ifstream in(svg.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    QVERIFY(text.str().find("S22") != std::string::npos);
    // A folder that does not exist: one message naming the file, and no file.
    QString message;
    b.bench->Exports()->SetMessageHook([&](const QString& shown) { message = shown; });
    const QString missing = folder.filePath("no/such/smith.png");
    QVERIFY(!b.bench->ExportImage(missing, QSize(700, 500)));
    QVERIFY2(message.contains(missing), qPrintable(message));
}

QTEST_MAIN(TimeTabTest)
#include "TimeTabTest.moc"
