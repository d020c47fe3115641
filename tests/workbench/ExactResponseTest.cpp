// SPDX-License-Identifier: Apache-2.0
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QLineEdit>
#include <QLineSeries>
#include <QMouseEvent>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QtTest>

#include "tests/window/WindowHarness.h"
#include "workbench/ExactResponseHook.h"
#include "workbench/ExactResponseWindow.h"
#include "workbench/LadderSchematic.h"
#include "workbench/MainWindow.h"

// The exact response window beside a design window, driven as a user would.
class ExactResponseTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void followsEveryRunOfTheDesignWindow();
    void badInputNamesItsFieldAndKeepsTheResponse_data();
    void badInputNamesItsFieldAndKeepsTheResponse();
    void chartZoomsPansResetsAndReadsOut();
    void longSweepDrawnAsEachColumnsExtremes();
    void opensFromTheMenuWithTheDesignsSettings();
};

namespace {

QString Cell(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// The table's rows as "part designed standard change" lines.
QStringList Rows(const QTableWidget* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QStringList{Cell(table, r, 1), Cell(table, r, 2), Cell(table, r, 3), Cell(table, r, 4)}.join(' ');
    return rows;
}

template <typename T>
T* FieldOf(const ExactResponseWindow& window, const QString& buddyText)
{
    for (QLabel* label : window.findChildren<QLabel*>())
        if (label->text().startsWith(buddyText)) return qobject_cast<T*>(label->buddy());
    qFatal("no field %s", qPrintable(buddyText));
}

} // namespace

void ExactResponseTest::followsEveryRunOfTheDesignWindow()
{
    WindowHarness h;
    ExactResponseWindow exact(&h.window);
    exact.show();
    QVERIFY(QTest::qWaitForWindowExposed(&exact));
    QCOMPARE(exact.windowTitle(), QString("Exact Ladder Response - Corvane"));
    QVERIFY(!exact.HasRun());
    QVERIFY(exact.Curves().NetFreq.empty());

    // The default design, a 3-pole Butterworth low-pass at 10 MHz and 50 ohms: g = 1, 2, 1
    // gives L = 50 / (2 pi 10 MHz) = 796 nH and C = 2 / (2 pi 10 MHz 50) = 637 pF.
    h.Calculate();
    QVERIFY(exact.HasRun());
    QCOMPARE(Rows(exact.Table()), (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 796 nH \u2014 ", "C2 637 pF \u2014 ",
                                               "L3 796 nH \u2014 ", "RL 50.0 \u03a9 50.0 \u03a9 +0.00"}));
    QCOMPARE(exact.Curves().NetFreq.size(), size_t(1001));
    QCOMPARE(exact.Curves().NetFreq.front(), 1.0);
    QCOMPARE(exact.Curves().NetFreq.back(), 101.0);
    QCOMPARE(exact.Schematic()->Labels(),
             (QStringList{"RS", "50.0 \u03a9", "L1", "796 nH", "C2", "637 pF", "L3", "796 nH", "RL", "50.0 \u03a9"}));

    // A new run with five poles: g = 0.618, 1.618, 2, 1.618, 0.618, rounded to E12.
    auto* series = FieldOf<QComboBox>(exact, "&Standard series");
    series->setCurrentText("E12");
    h.Type("leN", "5");
    h.Calculate();
    QCOMPARE(Rows(exact.Table()),
             (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 492 nH 470 nH -4.44", "C2 515 pF 560 pF +8.73",
                          "L3 1.59 \u00b5H 1.5 \u00b5H -5.75", "C4 515 pF 560 pF +8.73", "L5 492 nH 470 nH -4.44",
                          "RL 50.0 \u03a9 50.0 \u03a9 +0.00"}));
    QCOMPARE(exact.BuiltLadder().branches.size(), size_t(5));
    QCOMPARE(exact.BuiltLadder().branches[2].L, 1.5e-6);
    QVERIFY(exact.Schematic()->Labels().contains("1.5 \u00b5H"));

    // The exports carry the ladder as built and the sweep on screen.
    QTemporaryDir folder;
    QVERIFY(exact.ExportSpice(folder.filePath("ladder.cir")));
    QFile netlist(folder.filePath("ladder.cir"));
    QVERIFY(netlist.open(QIODevice::ReadOnly));
    const QString deck = QString::fromUtf8(netlist.readAll());
    QVERIFY2(QRegularExpression("\\nL3 \\S+ \\S+ 1.5e-06\\n").match(deck).hasMatch(), qPrintable(deck.left(400)));
    QVERIFY(exact.ExportCsv(folder.filePath("response.csv")));
    QFile csv(folder.filePath("response.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count('\n'), 1002);
    for (const char* name : {"window.png", "window.svg"}) {
        QVERIFY(exact.ExportImage(folder.filePath(name)));
        QImageReader image(folder.filePath(name));
        QCOMPARE(image.format(), QByteArray(name).mid(7));
    }

    // A bad field names itself and leaves the last response on screen.
    const size_t shown = exact.Curves().NetFreq.size();
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "Q of &inductors"), "abc");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "Q of &inductors"), Qt::Key_Return);
    QVERIFY2(exact.StatusText().startsWith("Q of inductors"), qPrintable(exact.StatusText()));
    QCOMPARE(exact.Curves().NetFreq.size(), shown);
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "Q of &inductors"), "0");
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "P&oints"), "100");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "P&oints"), Qt::Key_Return);
    QVERIFY2(exact.StatusText().startsWith("Points must be"), qPrintable(exact.StatusText()));

    // The longest sweep runs on the worker with a progress bar; the window answers meanwhile.
    WindowHarness::TypeInto(FieldOf<QLineEdit>(exact, "P&oints"), "100001");
    QTest::keyClick(FieldOf<QLineEdit>(exact, "P&oints"), Qt::Key_Return);
    QVERIFY(exact.Busy());
    QVERIFY(exact.findChild<QProgressBar*>()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!exact.Busy(), 30000);
    QCOMPARE(exact.Curves().NetFreq.size(), size_t(100001));
    QVERIFY(!exact.findChild<QProgressBar*>()->isVisible());

    // The settings read back as the design file keeps them.
    const ExactResponseSettings settings = exact.Settings();
    QCOMPARE(settings.series, std::string("E12"));
    QCOMPARE(settings.points, 100001);
    QCOMPARE(settings.load, std::string("prototype"));
}

void ExactResponseTest::badInputNamesItsFieldAndKeepsTheResponse_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("negative Q") << "Q of &inductors"
                                << "-1"
                                << "Q of inductors must be 0 (ideal) or a positive";
    QTest::newRow("start above stop") << "S&tart"
                                      << "200"
                                      << "Sweep start must be less than sweep stop.";
    QTest::newRow("stop beyond range") << "Sto&p"
                                       << "1e999"
                                       << "Sweep stop";
}

void ExactResponseTest::badInputNamesItsFieldAndKeepsTheResponse()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    WindowHarness h;
    ExactResponseWindow exact(&h.window);
    exact.show();
    QVERIFY(QTest::qWaitForWindowExposed(&exact));
    h.Calculate();
    const std::vector<double> shown = exact.Curves().NetS21;
    QLineEdit* edit = exact.findChild<QLineEdit*>(field);
    if (edit)
        FieldOf<QComboBox>(exact, "&Load")->setCurrentIndex(2);
    else
        edit = FieldOf<QLineEdit>(exact, field);
    WindowHarness::TypeInto(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY2(exact.StatusText().startsWith(message), qPrintable(exact.StatusText()));
    QCOMPARE(exact.Curves().NetS21, shown);

    // A run that fails half-way, its tables already sized for five poles, leaves the last
    // completed ladder on screen.
    h.Type("leN", "5");
    h.Type("lePassF", "0.0");
    h.Calculate();
    QCOMPARE(h.BoxTexts(), QStringList{"Passband Frequency cannot be zero!"});
    QCOMPARE(h.window.State().GValues.size(), size_t(7));
    QCOMPARE(exact.BuiltLadder().branches.size(), size_t(3));
}

void ExactResponseTest::chartZoomsPansResetsAndReadsOut()
{
    WindowHarness h;
    ExactResponseWindow exact(&h.window);
    exact.resize(1000, 700);
    exact.show();
    QVERIFY(QTest::qWaitForWindowExposed(&exact));
    h.Calculate();
    ResponseChart* chart = exact.Chart();
    QWidget* viewport = chart->findChild<QChartView*>()->viewport();
    const QRectF area = chart->PlotArea();
    const auto at = [&](double fx, double fy) {
        return viewport->mapFrom(chart, QPointF(area.left() + fx * area.width(), area.top() + fy * area.height()))
            .toPoint();
    };
    const AxisRange full = chart->FrequencyRange();
    const AxisRange fullLevel = chart->LevelRange();
    QCOMPARE(full.min, 1.0);
    QCOMPARE(full.max, 101.0);

    const auto send = [viewport](QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(local), QPointF(viewport->mapToGlobal(local)), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    const auto drag = [&](Qt::MouseButton button, QPoint from, QPoint to) {
        send(QEvent::MouseButtonPress, from, button, button);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
        send(QEvent::MouseMove, to, Qt::NoButton, button);
        send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    };

    // The pointer over the middle of the plot reads the sweep point nearest to 51 MHz.
    send(QEvent::MouseMove, at(0.5, 0.5), Qt::NoButton, Qt::NoButton);
    QVERIFY2(exact.ReadoutText().startsWith("f = 51.0 MHz"), qPrintable(exact.ReadoutText()));

    // Left-drag over the second quarter of the frequencies and the upper half of the levels.
    drag(Qt::LeftButton, at(0.25, 0.0), at(0.5, 0.5));
    const AxisRange zoomed = chart->FrequencyRange();
    QVERIFY(qAbs(zoomed.min - 26.0) < 0.5 && qAbs(zoomed.max - 51.0) < 0.5);
    const double levelMiddle = (fullLevel.min + fullLevel.max) / 2;
    QVERIFY(qAbs(chart->LevelRange().min - levelMiddle) < 1.0 && qAbs(chart->LevelRange().max - fullLevel.max) < 1.0);

    // Right-drag by a fifth of the plot to the right shows a fifth of the span further left.
    drag(Qt::RightButton, at(0.4, 0.5), at(0.6, 0.5));
    const AxisRange panned = chart->FrequencyRange();
    QVERIFY(qAbs((panned.max - panned.min) - (zoomed.max - zoomed.min)) < 1e-9);
    QVERIFY(qAbs(panned.min - (zoomed.min - 0.2 * (zoomed.max - zoomed.min))) < 0.3);

    send(QEvent::MouseButtonPress, at(0.5, 0.5), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at(0.5, 0.5), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, at(0.5, 0.5), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at(0.5, 0.5), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(chart->FrequencyRange().min, full.min);
    QCOMPARE(chart->FrequencyRange().max, full.max);
    QCOMPARE(chart->LevelRange().min, fullLevel.min);
}

// The curve of S21 as the chart draws it.
static QList<QPointF> DrawnS21(const ResponseChart& chart)
{
    for (QAbstractSeries* series : chart.Chart()->series())
        if (series->name() == "|S21|") return static_cast<QLineSeries*>(series)->points();
    return {};
}

void ExactResponseTest::longSweepDrawnAsEachColumnsExtremes()
{
    ResponseChart chart;
    chart.resize(800, 500);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    // 100001 points of a ripple far finer than a pixel, between -3 and -1 dB.
    NetworkCurves curves;
    for (int i = 0; i <= 100000; ++i) {
        curves.NetFreq.push_back(i / 1000.0);
        curves.NetS21.push_back(i % 7 == 3 ? -1.0 : i % 11 == 5 ? -3.0 : -2.0);
    }
    curves.NetS11 = curves.NetS21;
    curves.NetGroupDelay.assign(curves.NetFreq.size(), 1e-9);
    chart.SetCurves(curves, false, "MHz");
    QList<QPointF> drawn = DrawnS21(chart);
    QVERIFY2(drawn.size() <= 4 * 800 + 8, qPrintable(QString::number(drawn.size())));
    double low = 0, high = -10;
    for (const QPointF& p : drawn) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
    }
    QCOMPARE(low, -3.0);
    QCOMPARE(high, -1.0);
    QCOMPARE(drawn.front().x(), 0.0);
    QCOMPARE(drawn.back().x(), 100.0);

    // Zoomed to about a megahertz, every point in view is drawn, and one beyond each edge.
    QWidget* viewport = chart.findChild<QChartView*>()->viewport();
    const QRectF area = chart.PlotArea();
    const auto local = [&](double fx, double fy) {
        return viewport->mapFrom(&chart, QPointF(area.left() + fx * area.width(), area.top() + fy * area.height()))
            .toPoint();
    };
    for (const auto& [type, fx, fy, button, held] :
         {std::tuple{QEvent::MouseButtonPress, 0.45, 0.2, Qt::LeftButton, Qt::LeftButton},
          std::tuple{QEvent::MouseMove, 0.455, 0.5, Qt::NoButton, Qt::LeftButton},
          std::tuple{QEvent::MouseMove, 0.46, 0.8, Qt::NoButton, Qt::LeftButton},
          std::tuple{QEvent::MouseButtonRelease, 0.46, 0.8, Qt::LeftButton, Qt::NoButton}}) {
        const QPoint at = local(fx, fy);
        QMouseEvent event(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, Qt::MouseButtons(held),
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    const AxisRange view = chart.FrequencyRange();
    QVERIFY(view.max - view.min < 2.0);
    drawn = DrawnS21(chart);
    const auto inView = std::count_if(curves.NetFreq.begin(), curves.NetFreq.end(),
                                      [&](double f) { return f >= view.min && f <= view.max; });
    QCOMPARE(drawn.size(), qsizetype(inView + 2));
}

void ExactResponseTest::opensFromTheMenuWithTheDesignsSettings()
{
    MainWindow main;
    main.SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Discard; });
    AttachExactResponseWindow(main);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    ExactResponseSettings saved;
    saved.series = "E96";
    saved.points = 2001;
    main.SetExactSettings(saved);
    QVERIFY(!ExactResponseWindowOf(main));

    QTest::keyClick(&main, Qt::Key_E, Qt::ControlModifier);
    ExactResponseWindow* exact = ExactResponseWindowOf(main);
    QVERIFY(exact && exact->isVisible());
    QVERIFY(exact->Settings() == saved);
    QTest::keyClick(&main, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(main.findChildren<ExactResponseWindow*>().size(), qsizetype(1));

    // A change in the window is a change of the design; a design that loads sets the window.
    exact->findChild<QCheckBox*>()->setChecked(true);
    QVERIFY(main.ExactSettings().logarithmic);
    QVERIFY(main.isWindowModified());
    main.NewDesign();
    QVERIFY(exact->Settings() == ExactResponseSettings{});
}

QTEST_MAIN(ExactResponseTest)
#include "ExactResponseTest.moc"
