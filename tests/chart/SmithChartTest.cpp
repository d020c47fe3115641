// SPDX-License-Identifier: Apache-2.0
// The Smith chart: its grid against the reflections of known impedances, the readout of the
// point under the pointer, and the shared zoom gestures keeping its circles round.
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
#include <complex>

#include "chart/SmithChart.h"
#include "chart/SmithGrid.h"

using namespace corvane;

class SmithChartTest : public QObject {
    Q_OBJECT
private slots:
    void gridPassesThroughTheReflections();
    void pickReadsImpedanceAndReturnLoss();
    void zoomKeepsCirclesRound();
};

namespace {

double Off(const SmithCircle& c, std::complex<double> gamma)
{
    return std::fabs(std::hypot(gamma.real() - c.centreX, gamma.imag() - c.centreY) - c.radius);
}

void Send(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, w.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

} // namespace

// A reflection computed from its impedance lies on the circles of its resistance and reactance,
// and on those of the conductance and susceptance of its admittance.
void SmithChartTest::gridPassesThroughTheReflections()
{
    for (double r : {0.0, 0.2, 1.0, 5.0})
        for (double x : {-2.0, -0.5, 0.5, 3.0}) {
            const std::complex<double> z(r, x);
            const std::complex<double> gamma = ReflectionOf(50.0 * z, 50.0);
            QVERIFY(Off(ResistanceCircle(r), gamma) < 1e-12);
            QVERIFY(Off(ReactanceCircle(x), gamma) < 1e-12);
            const std::complex<double> y = 1.0 / z;
            QVERIFY(Off(ConductanceCircle(y.real()), gamma) < 1e-12);
            QVERIFY(Off(SusceptanceCircle(y.imag()), gamma) < 1e-12);
            QVERIFY(std::abs(ImpedanceOf(gamma, 50.0) - 50.0 * z) < 1e-9);
        }
}

// 25 ohm against 50 reflects -1/3: a return loss of 20 log10(3) dB.
void SmithChartTest::pickReadsImpedanceAndReturnLoss()
{
    SmithChart chart;
    chart.resize(500, 400);
    const int id = chart.AddCurve("S11", Qt::blue);
    chart.SetCurve(id, {1.0, 2.0, 3.0}, {ReflectionOf(100.0, 50.0), ReflectionOf(25.0, 50.0), std::complex<double>(0.0, 0.5)}, 50.0);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QSignalSpy picked(&chart, &SmithChart::Picked);
    Send(chart, QEvent::MouseMove, chart.PixelOf(-1.0 / 3.0) + QPointF(3, 2), Qt::NoButton, Qt::NoButton);
    QCOMPARE(picked.size(), 1);
    const auto pick = picked.last().at(0).value<std::optional<SmithChart::Pick>>();
    QVERIFY(pick.has_value());
    QCOMPARE(pick->frequency, 2.0);
    QVERIFY(std::abs(pick->impedance - 25.0) < 1e-9);
    QVERIFY(std::fabs(pick->returnLossDb - 20.0 * std::log10(3.0)) < 1e-9);
    Send(chart, QEvent::MouseMove, chart.PixelOf({0.0, -0.9}), Qt::NoButton, Qt::NoButton);
    QVERIFY(!picked.last().at(0).value<std::optional<SmithChart::Pick>>().has_value());
}

void SmithChartTest::zoomKeepsCirclesRound()
{
    SmithChart chart;
    chart.resize(600, 400);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QPointF from = chart.PixelOf({0.0, 0.5}), to = chart.PixelOf({0.5, 0.3});
    Send(chart, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Send(chart, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    Send(chart, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Send(chart, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    const AxisRange re = chart.RealRange(), im = chart.ImaginaryRange();
    // The wider side of the rectangle sets both spans; what was framed stays in view.
    QVERIFY(std::fabs((re.max - re.min) - 0.5) < 0.02);
    QVERIFY(std::fabs((im.max - im.min) - (re.max - re.min)) < 1e-12);
    QVERIFY(im.min <= 0.3 + 0.01 && im.max >= 0.5 - 0.01);
    Send(chart, QEvent::MouseButtonDblClick, chart.PixelOf(0.0), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(chart.RealRange().min < -1.0 && chart.RealRange().max > 1.0);
}

QTEST_MAIN(SmithChartTest)
#include "SmithChartTest.moc"
