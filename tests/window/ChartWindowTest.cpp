// SPDX-License-Identifier: Apache-2.0
// The response chart inside the real design window: the floor rule, S11, ascending
// plotting, clearing, the mouse readout, the logarithmic switch and zoom.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

#include "../chart/ChartTestKit.h"
#include "chart/TChart.h"
#include "filtermath/NumberText.h"
#include "filtermath/UGain.h"
#include "tests/window/WindowHarness.h"

using namespace corvane;

namespace {

using Window = WindowHarness;

QString X(const Window& w)
{
    return w.Child<QLabel>("lbX")->text();
}
QString Y(const Window& w)
{
    return w.Child<QLabel>("lbY")->text();
}

void ClickLogBox(const Window& w)
{
    QTest::mouseClick(w.Child<QCheckBox>("CheckBox1"), Qt::LeftButton, {}, QPoint(5, 8));
}

// Typed after the digits: a lone "-" typed first would not convert.
void PrependMinus(const Window& w, const char* field)
{
    QLineEdit* edit = w.Edit(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Minus);
}

double DeepestAtt(const Window& w)
{
    const Sweep& att = w.window.State().Att;
    return *std::min_element(att.begin(), att.end());
}

// The lowest level of both curves as plotted.
double DeepestPlotted(const Window& w)
{
    double deepest = 0;
    for (int series = 0; series < 2; ++series)
        for (int i = 0; i < w.Chart()->PointCount(series); ++i)
            deepest = std::min(deepest, w.Chart()->PointAt(series, i).y());
    return deepest;
}

struct Silent : MessagePort {
    void ShowMessage(const std::string&) override {}
};

// Attenuation of the sixth-order Butterworth high-pass at PassF = 1, as the window computes it.
double HighPassAtt(double f)
{
    Sweep freq, att;
    freq.fill(f);
    Silent silent;
    ButterworthHighPassResponse(freq, att, 6, 1.0, silent);
    return att[0];
}

// Start frequencies whose attenuation is exactly -120 dB and, one step lower, just below it:
// the sixth-order high-pass reaches -120 dB near 0.1 and falls as f falls.
bool FloorBoundary(double& at, double& below)
{
    double f = 0.1 * (1 + 1e-12 / 12);
    for (int i = 0; i < 400; ++i) f = std::nextafter(f, 0.0);
    for (int i = 0; i < 800; ++i, f = std::nextafter(f, 1.0)) {
        if (HighPassAtt(f) == -120.0 && HighPassAtt(std::nextafter(f, 0.0)) < -120.0) {
            at = f;
            below = std::nextafter(f, 0.0);
            return true;
        }
    }
    return false;
}

// The readout's text for a pointer at p, by the linear mapping over the plot rectangle.
QString ExpectedX(const TChart& chart, QPoint p)
{
    const QRect r = chart.PlotRect();
    const double x = (p.x() - r.left()) * (chart.BottomMaximum() - chart.BottomMinimum()) / (r.right() - r.left()) +
                     chart.BottomMinimum();
    return QString::fromStdString(FormatSci2(x));
}

QString ExpectedY(const TChart& chart, QPoint p)
{
    const QRect r = chart.PlotRect();
    const double y = (p.y() - r.bottom()) * (chart.LeftMaximum() - chart.LeftMinimum()) / (r.top() - r.bottom()) +
                     chart.LeftMinimum();
    return QString::fromStdString(FormatSci2(y));
}

QPoint OnCurve(const TChart& chart, int series, int index)
{
    const QPointF data = chart.PointAt(series, index);
    return kit::PixelOf(chart, data.x(), data.y()).toPoint();
}

} // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void floorRule_data();
    void floorRule();
    void plotsTheCurvesOfTheRun();
    void reflectionOfPositiveAttenuationFails();
    void descendingSweepPlottedAscending();
    void clearingKeepsAxesAndTitle_data();
    void clearingKeepsAxesAndTitle();
    void readoutOverAndOffACurve();
    void readoutFromAClickOnEachCurve_data();
    void readoutFromAClickOnEachCurve();
    void readoutFrozenWhileLogarithmic();
    void logSwitchWithNegativeMinimum();
    void zoomChangesTheReadoutMapping();
};

void ChartWindowTest::floorRule_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("poles");
    QTest::addColumn<QString>("passband");
    QTest::addColumn<double>("start");
    QTest::addColumn<bool>("floored");
    double at = 0, below = 0;
    QVERIFY2(FloorBoundary(at, below), "no start frequency gives exactly -120 dB");
    QTest::newRow("default design, above") << "LPF"
                                           << "3"
                                           << "10" << 1.0 << false;
    QTest::newRow("exactly -120") << "HPF"
                                  << "6"
                                  << "1" << at << false;
    QTest::newRow("one step below -120") << "HPF"
                                         << "6"
                                         << "1" << below << true;
    QTest::newRow("deep high-pass") << "HPF"
                                    << "9"
                                    << "50" << 1.0 << true;
    QTest::newRow("everything below -120") << "HPF"
                                           << "9"
                                           << "99999" << 1.0 << true;
}

void ChartWindowTest::floorRule()
{
    QFETCH(QString, type);
    QFETCH(QString, poles);
    QFETCH(QString, passband);
    QFETCH(double, start);
    QFETCH(bool, floored);
    Window w;
    w.Choose("CBType", type);
    w.Type("leN", poles);
    w.Type("lePassF", passband);
    w.Type("leFStart", QString::number(start, 'g', 17));
    w.Type("leStop", "101");
    w.Calculate();
    QVERIFY(w.boxes.empty());
    QCOMPARE(w.window.State().Freq[0], start);
    QCOMPARE(DeepestAtt(w) < -120.0, floored);
    TChart& chart = *w.Chart();
    QCOMPARE(chart.LeftAutomaticMinimum(), !floored);
    if (floored) {
        QCOMPARE(chart.LeftMinimum(), -120.0);
    } else {
        // Both curves fit, to within a thousandth of a tick step (20 dB here).
        QVERIFY(chart.LeftMinimum() <= DeepestPlotted(w) + 0.02);
        QVERIFY(chart.LeftMinimum() > DeepestPlotted(w) - 20.0);
    }
    QVERIFY(chart.LeftMaximum() > chart.LeftMinimum());
    QVERIFY(chart.LeftMaximum() >= 0.0 || DeepestAtt(w) < -120.0);
    // A later shallow design gives the automatic minimum back.
    w.Choose("CBType", "LPF");
    w.Type("leN", "3");
    w.Type("lePassF", "10");
    w.Type("leFStart", "1");
    w.Calculate();
    QVERIFY(chart.LeftAutomaticMinimum());
}

// The run's own values reach the chart unchanged: no front end works S11 out again.
void ChartWindowTest::plotsTheCurvesOfTheRun()
{
    Window w;
    w.Type("leN", "1");
    w.Type("lePassF", "3");
    w.Calculate();
    QVERIFY(w.boxes.empty());
    const TChart& chart = *w.Chart();
    const DesignState& state = w.window.State();
    for (int i = 0; i < SweepPoints; ++i) {
        QCOMPARE(chart.PointAt(0, i), QPointF(state.Freq[i], state.Att[i]));
        QCOMPARE(chart.PointAt(1, i), QPointF(state.Freq[i], state.S11[i]));
        QCOMPARE(chart.PointColour(0, i), QColor(255, 0, 0));
        QCOMPARE(chart.PointColour(1, i), QColor(0, 128, 0));
    }
}

void ChartWindowTest::reflectionOfPositiveAttenuationFails()
{
    Window w;
    w.Calculate();
    QCOMPARE(w.Chart()->PointCount(0), SweepPoints);
    // A negative ripple lifts the passband attenuation above 0 dB: no S11 there.
    w.Choose("CBModel", "Chebyshev");
    w.Type("leRipple", "-1");
    w.Calculate();
    QCOMPARE(w.boxes.size(), size_t(1));
    QCOMPARE(w.boxes[0].text, QString("Invalid floating point operation."));
    QCOMPARE(w.boxes[0].icon, QMessageBox::Critical);
    QVERIFY(DeepestAtt(w) < 0 && *std::max_element(w.window.State().Att.begin(), w.window.State().Att.end()) > 4e-14);
    QCOMPARE(w.Chart()->PointCount(0), 0);
    QCOMPARE(w.Chart()->PointCount(1), 0);
}

void ChartWindowTest::descendingSweepPlottedAscending()
{
    Window w;
    w.Type("leFStart", "101");
    w.Type("leStop", "1");
    w.Calculate();
    const DesignState& state = w.window.State();
    QVERIFY(state.Freq[0] > state.Freq[99]);
    const TChart& chart = *w.Chart();
    for (int series = 0; series < 2; ++series) {
        QCOMPARE(chart.PointCount(series), SweepPoints);
        for (int i = 1; i < SweepPoints; ++i) QVERIFY(chart.PointAt(series, i).x() > chart.PointAt(series, i - 1).x());
    }
    for (int i = 0; i < SweepPoints; ++i) QCOMPARE(chart.PointAt(0, i), QPointF(state.Freq[99 - i], state.Att[99 - i]));
    QCOMPARE(chart.BottomMinimum(), state.Freq[99]);
    QCOMPARE(chart.BottomMaximum(), state.Freq[0]);
}

void ChartWindowTest::clearingKeepsAxesAndTitle_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("pole count") << "leN" << true;
    QTest::newRow("passband") << "lePassF" << true;
    QTest::newRow("type") << "CBType" << true;
    QTest::newRow("model") << "CBModel" << true;
    QTest::newRow("resistance") << "leR" << false;
    QTest::newRow("topology") << "CBType1" << false;
}

void ChartWindowTest::clearingKeepsAxesAndTitle()
{
    QFETCH(QString, edit);
    QFETCH(bool, cleared);
    Window w;
    w.Choose("CBType", "HPF");
    w.Type("leN", "9");
    w.Type("lePassF", "50");
    w.Calculate();
    ClickLogBox(w);
    TChart& chart = *w.Chart();
    QVERIFY(chart.BottomLogarithmic());
    QVERIFY(!chart.LeftAutomaticMinimum());
    const QString title = chart.Title();
    QCOMPARE(title, QString("Butterworth  HPF"));
    if (edit == "leN") w.Type("leN", "4");
    if (edit == "lePassF") w.Type("lePassF", "20");
    if (edit == "CBType") w.Choose("CBType", "LPF");
    if (edit == "CBModel") w.Choose("CBModel", "Chebyshev");
    if (edit == "leR") w.Type("leR", "75");
    if (edit == "CBType1") w.Choose("CBType1", "Pi - Type");
    QCOMPARE(chart.PointCount(0), cleared ? 0 : SweepPoints);
    QCOMPARE(chart.PointCount(1), cleared ? 0 : SweepPoints);
    QCOMPARE(chart.Title(), title);
    QVERIFY(chart.BottomLogarithmic());
    QVERIFY(!chart.LeftAutomaticMinimum());
    QCOMPARE(chart.LeftMinimum(), -120.0);
}

void ChartWindowTest::readoutOverAndOffACurve()
{
    Window w;
    w.Calculate();
    TChart& chart = *w.Chart();
    QCOMPARE(X(w), QString("0"));
    const QPoint on = OnCurve(chart, 0, 40);
    const QPoint alsoOn = OnCurve(chart, 0, 41);
    const QPoint off = kit::PixelOf(chart, 20, -100).toPoint();
    // The first movement onto the curve still sees the pointer as it was: off.
    kit::MoveTo(chart, on);
    QCOMPARE(X(w), QString());
    QCOMPARE(Y(w), QString());
    kit::MoveTo(chart, alsoOn);
    QCOMPARE(X(w), ExpectedX(chart, alsoOn));
    QCOMPARE(Y(w), ExpectedY(chart, alsoOn));
    // The values are those of the pointer, close to the curve point under it.
    const QPointF data = chart.PointAt(0, 41);
    QVERIFY(std::fabs(X(w).toDouble() - data.x()) < 1.0);
    QVERIFY(std::fabs(Y(w).toDouble() - data.y()) < 1.0);
    // Leaving: the first movement off still reads (the pointer's own position), the next
    // one empties both labels.
    kit::MoveTo(chart, off);
    QCOMPARE(X(w), ExpectedX(chart, off));
    QCOMPARE(Y(w), ExpectedY(chart, off));
    kit::MoveTo(chart, off + QPoint(1, 0));
    QCOMPARE(X(w), QString());
    QCOMPARE(Y(w), QString());
    QVERIFY(w.boxes.empty());
}

void ChartWindowTest::readoutFromAClickOnEachCurve_data()
{
    QTest::addColumn<int>("series");
    QTest::addColumn<int>("index");
    QTest::newRow("attenuation") << 0 << 60;
    QTest::newRow("S11") << 1 << 3;
}

void ChartWindowTest::readoutFromAClickOnEachCurve()
{
    QFETCH(int, series);
    QFETCH(int, index);
    Window w;
    w.Calculate();
    TChart& chart = *w.Chart();
    const QPoint on = OnCurve(chart, series, index);
    kit::MoveTo(chart, kit::PixelOf(chart, 80, -100).toPoint());
    kit::MoveTo(chart, on); // the window saw "off": labels empty, the chart now hovers
    QCOMPARE(X(w), QString());
    kit::Press(chart, on);
    kit::Release(chart, on);
    QCOMPARE(X(w), ExpectedX(chart, on));
    QCOMPARE(Y(w), ExpectedY(chart, on));
}

void ChartWindowTest::readoutFrozenWhileLogarithmic()
{
    Window w;
    w.Calculate();
    TChart& chart = *w.Chart();
    const QPoint on = OnCurve(chart, 0, 30);
    kit::MoveTo(chart, on);
    kit::MoveTo(chart, on);
    const QString x = X(w), y = Y(w);
    QVERIFY(!x.isEmpty());
    ClickLogBox(w);
    QVERIFY(w.Child<QCheckBox>("CheckBox1")->isChecked());
    QVERIFY(chart.BottomLogarithmic());
    // Over a curve, off it, and a click on it: nothing changes while the box is ticked.
    const QPoint logOn = OnCurve(chart, 0, 70);
    kit::MoveTo(chart, logOn);
    kit::MoveTo(chart, logOn);
    QCOMPARE(chart.HoverCursor(), Qt::PointingHandCursor);
    kit::Press(chart, logOn);
    kit::Release(chart, logOn);
    QCOMPARE(X(w), x);
    QCOMPARE(Y(w), y);
    kit::MoveTo(chart, kit::PixelOf(chart, 2, -100).toPoint());
    kit::MoveTo(chart, kit::PixelOf(chart, 3, -100).toPoint());
    QCOMPARE(X(w), x);
    // Unticked, the readout works again, on the linear axis.
    ClickLogBox(w);
    QVERIFY(!chart.BottomLogarithmic());
    const QPoint linearOn = OnCurve(chart, 0, 70);
    kit::MoveTo(chart, linearOn);
    kit::MoveTo(chart, linearOn);
    QCOMPARE(X(w), ExpectedX(chart, linearOn));
}

void ChartWindowTest::logSwitchWithNegativeMinimum()
{
    Window w;
    w.Type("leStop", "50");
    w.Type("leFStart", "50");
    PrependMinus(w, "leFStart");
    w.Calculate();
    TChart& chart = *w.Chart();
    QCOMPARE(chart.BottomMinimum(), -50.0);
    ClickLogBox(w);
    QVERIFY(chart.BottomLogarithmic());
    // The positive part of the sweep is shown; 0 became 1e-10 in the sweep itself.
    QCOMPARE(chart.BottomMinimum(), 1e-10);
    QCOMPARE(chart.BottomMaximum(), 49.0);
    QVERIFY(!chart.grab().isNull());
    // Hovering the log plot works and stays within positive values.
    const QPoint on = OnCurve(chart, 0, 80);
    kit::MoveTo(chart, on);
    kit::MoveTo(chart, on);
    QCOMPARE(chart.HoverCursor(), Qt::PointingHandCursor);
    // Unticking keeps the minimum that ticking set.
    ClickLogBox(w);
    QVERIFY(!chart.BottomLogarithmic());
    QCOMPARE(chart.BottomMinimum(), 1e-10);
    QCOMPARE(chart.BottomMaximum(), 49.0);
    QVERIFY(w.boxes.empty());
}

void ChartWindowTest::zoomChangesTheReadoutMapping()
{
    Window w;
    w.Calculate();
    TChart& chart = *w.Chart();
    const QPointF data = chart.PointAt(0, 20);
    const QPoint before = OnCurve(chart, 0, 20);
    kit::MoveTo(chart, before);
    kit::MoveTo(chart, before);
    const double fullWidth = chart.BottomMaximum() - chart.BottomMinimum();
    const QString unzoomedX = X(w);
    // Zoom into a box around the point, a tenth of the frequency range wide.
    kit::Drag(chart, kit::PixelOf(chart, data.x() - 5, data.y() + 3).toPoint(),
              kit::PixelOf(chart, data.x() + 5, data.y() - 3).toPoint());
    QVERIFY(chart.BottomMaximum() - chart.BottomMinimum() < fullWidth / 5);
    const QPoint after = OnCurve(chart, 0, 20);
    QVERIFY((after - before).manhattanLength() > 10); // the same value, another pixel
    kit::MoveTo(chart, after);
    kit::MoveTo(chart, after);
    QCOMPARE(X(w), ExpectedX(chart, after));
    QCOMPARE(Y(w), ExpectedY(chart, after));
    QVERIFY(std::fabs(X(w).toDouble() - data.x()) < 0.2);
    // The old pixel now stands for another frequency.
    kit::MoveTo(chart, before);
    QVERIFY(ExpectedX(chart, before) != unzoomedX);
    // A double-click goes back to the full view and the first mapping.
    kit::DoubleClick(chart, after);
    QCOMPARE(chart.BottomMaximum() - chart.BottomMinimum(), fullWidth);
}

QTEST_MAIN(ChartWindowTest)
#include "ChartWindowTest.moc"
