// SPDX-License-Identifier: Apache-2.0
// Range maths, colour runs and label texts of the chart, without a widget.
#include <QtTest>
#include <cmath>
#include <limits>

#include "chart/ChartStyle.h"
#include "chart/ColourRuns.h"
#include "chart/NiceScale.h"

using namespace corvane;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool Near(double a, double b, double relative = 1e-9)
{
    return std::fabs(a - b) <= relative * std::max({1.0, std::fabs(a), std::fabs(b)});
}

void VerifyDrawable(const AxisRange& r)
{
    QVERIFY(std::isfinite(r.min));
    QVERIFY(std::isfinite(r.max));
    QVERIFY(r.max > r.min);
    QVERIFY(r.step > 0);
    QVERIFY((r.max - r.min) / r.step < 1e4);
}

} // namespace

class ChartScaleTest : public QObject {
    Q_OBJECT
private slots:
    void niceStep_data();
    void niceStep();
    void linearRange_data();
    void linearRange();
    void linearRangeAcrossZeroWithOneInterval();
    void subnormalSpans_data();
    void subnormalSpans();
    void leftAxisRange_data();
    void leftAxisRange();
    void logRange_data();
    void logRange();
    void safeRanges_data();
    void safeRanges();
    void logLabelDecades_data();
    void logLabelDecades();
    void colourRuns_data();
    void colourRuns();
    void labelFormat_data();
    void labelFormat();
    void ticksAreMultiplesOfTheStepWithZeroAtZero_data();
    void ticksAreMultiplesOfTheStepWithZeroAtZero();
    void titleMarkup_data();
    void titleMarkup();
};

void ChartScaleTest::niceStep_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<double>("step");
    QTest::newRow("100 in 5") << 100.0 << 5 << 20.0;
    QTest::newRow("140 in 7") << 140.0 << 7 << 20.0;
    QTest::newRow("a hair over 140 in 7") << 140.00005 << 7 << 20.0;
    QTest::newRow("141 in 7") << 141.0 << 7 << 50.0;
    QTest::newRow("1 in 5") << 1.0 << 5 << 0.2;
    QTest::newRow("0.7 in 7") << 0.7 << 7 << 0.1;
    QTest::newRow("12 in 6") << 12.0 << 6 << 2.0;
    QTest::newRow("3 in 1") << 3.0 << 1 << 5.0;
    QTest::newRow("1e6 in 4") << 1e6 << 4 << 5e5;
    QTest::newRow("9e-9 in 3") << 9e-9 << 3 << 5e-9;
    QTest::newRow("zero intervals as one") << 7.0 << 0 << 10.0;
    QTest::newRow("zero span") << 0.0 << 5 << 1.0;
    QTest::newRow("negative span") << -3.0 << 5 << 1.0;
    QTest::newRow("infinite span") << kInf << 5 << 1.0;
    QTest::newRow("NaN span") << kNaN << 5 << 1.0;
}

void ChartScaleTest::niceStep()
{
    QFETCH(double, span);
    QFETCH(int, intervals);
    QFETCH(double, step);
    QVERIFY2(Near(NiceStep(span, intervals), step), qPrintable(QString::number(NiceStep(span, intervals))));
}

void ChartScaleTest::linearRange_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<bool>("outward");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::newRow("sweep kept at the data") << 1.0 << 101.0 << 5 << false << 1.0 << 101.0 << 20.0;
    QTest::newRow("S11 rounded out") << -140.00005 << 4e-14 << 7 << true << -140.0 << 0.0 << 20.0;
    QTest::newRow("attenuation rounded out") << -60.3 << 0.0 << 7 << true << -70.0 << 0.0 << 10.0;
    QTest::newRow("outward adds a step") << 1.0 << 101.0 << 5 << true << 0.0 << 150.0 << 50.0;
    QTest::newRow("flat value widened") << 5.0 << 5.0 << 5 << false << 4.5 << 5.5 << 0.2;
    QTest::newRow("flat zero widened") << 0.0 << 0.0 << 4 << true << -1.0 << 1.0 << 0.5;
    QTest::newRow("noise-wide range widened") << 1.0 << 1.0 + 1e-13 << 5 << false << 0.9 << 1.1 << 0.05;
    QTest::newRow("reversed") << 3.0 << 1.0 << 4 << false << 1.0 << 3.0 << 0.5;
    QTest::newRow("NaN") << kNaN << 1.0 << 5 << false << 0.0 << 1.0 << 0.2;
    QTest::newRow("infinite") << -kInf << 1.0 << 5 << true << 0.0 << 1.0 << 0.2;
}

void ChartScaleTest::linearRange()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(int, intervals);
    QFETCH(bool, outward);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    const AxisRange r = LinearRange(lo, hi, intervals, outward);
    const QString got = QString("%1 %2 %3").arg(r.min).arg(r.max).arg(r.step);
    QVERIFY2(Near(r.min, min), qPrintable(got));
    QVERIFY2(Near(r.max, max), qPrintable(got));
    QVERIFY2(Near(r.step, step), qPrintable(got));
    VerifyDrawable(r);
}

void ChartScaleTest::linearRangeAcrossZeroWithOneInterval()
{
    // Rounding out across zero always leaves two intervals; the search must give up.
    const AxisRange r = LinearRange(-0.1, 0.1, 1, true);
    VerifyDrawable(r);
    QVERIFY(r.min <= -0.1 && r.max >= 0.1);
    const AxisRange huge = LinearRange(-1e308, 1e308, 5, true);
    VerifyDrawable(huge);
}

void ChartScaleTest::subnormalSpans_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    constexpr double t = std::numeric_limits<double>::denorm_min();
    // Below the smallest normal double the power of ten for the step rounds to zero.
    QTest::newRow("64 subnormals in 29") << 0.0 << 64 * t << 29 << 0.0 << 64 * t << 3 * t;
    QTest::newRow("two subnormals in one") << 0.0 << 2 * t << 1 << 0.0 << 2 * t << 2 * t;
    // A tenth of a subnormal centre rounds to nothing, so the flat range widens as around zero.
    QTest::newRow("flat subnormal") << 2 * t << 2 * t << 5 << -1.0 << 1.0 << 0.5;
}

// Exact comparisons: at this scale every tolerance would accept anything.
void ChartScaleTest::subnormalSpans()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(int, intervals);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    const AxisRange r = LinearRange(lo, hi, intervals, false);
    const QString got = QString("%1 %2 %3").arg(r.min).arg(r.max).arg(r.step);
    QVERIFY2(r.min == min && r.max == max && r.step == step, qPrintable(got));
    VerifyDrawable(r);
}

void ChartScaleTest::leftAxisRange_data()
{
    QTest::addColumn<bool>("hasData");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<double>("fixed");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::newRow("automatic") << true << -140.0 << 0.0 << true << -120.0 << -140.0 << 0.0 << 20.0;
    QTest::newRow("fixed inside the data") << true << -150.0 << 0.0 << false << -120.0 << -120.0 << 0.0 << 20.0;
    QTest::newRow("fixed above every value") << true << -200.0 << -130.0 << false << -120.0 << -120.0 << -108.0 << 2.0;
    QTest::newRow("fixed equal to the top") << true << -200.0 << -120.0 << false << -120.0 << -120.0 << -108.0 << 2.0;
    QTest::newRow("fixed without data") << false << 0.0 << 0.0 << false << -120.0 << -120.0 << -108.0 << 2.0;
    QTest::newRow("fixed off-grid") << true << -50.0 << 3.0 << false << -47.0 << -47.0 << 10.0 << 10.0;
    QTest::newRow("NaN fixed acts automatic") << true << -33.0 << 0.0 << false << kNaN << -35.0 << 0.0 << 5.0;
    QTest::newRow("automatic without data") << false << 0.0 << 0.0 << true << 0.0 << 0.0 << 1.0 << 0.2;
}

void ChartScaleTest::leftAxisRange()
{
    QFETCH(bool, hasData);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(bool, automatic);
    QFETCH(double, fixed);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    const AxisRange r = LeftAxisRange(hasData, lo, hi, automatic, fixed, 7);
    const QString got = QString("%1 %2 %3").arg(r.min).arg(r.max).arg(r.step);
    QVERIFY2(Near(r.min, min), qPrintable(got));
    QVERIFY2(Near(r.max, max), qPrintable(got));
    QVERIFY2(Near(r.step, step), qPrintable(got));
    VerifyDrawable(r);
}

void ChartScaleTest::logRange_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("sweep") << true << 1.0 << 101.0 << 1.0 << 101.0;
    QTest::newRow("inside one decade") << true << 50.0 << 60.0 << 10.0 << 100.0;
    QTest::newRow("one value, no power of ten") << true << 5.0 << 5.0 << 1.0 << 10.0;
    QTest::newRow("one value on a power of ten")
        << true << 100.0 << 100.0 << 100 / std::sqrt(10.0) << 100 * std::sqrt(10.0);
    QTest::newRow("no positive data") << false << 0.0 << 0.0 << 1.0 << 10.0;
    QTest::newRow("negative low end") << true << -1.0 << 10.0 << 1.0 << 10.0;
    QTest::newRow("more than twelve decades") << true << 1e-15 << 100.0 << 1e-10 << 100.0;
    QTest::newRow("reversed") << true << 1000.0 << 2.0 << 2.0 << 1000.0;
}

void ChartScaleTest::logRange()
{
    QFETCH(bool, positive);
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, min);
    QFETCH(double, max);
    const AxisRange r = LogRange(positive, lo, hi);
    const QString got = QString("%1 %2").arg(r.min).arg(r.max);
    QVERIFY2(Near(r.min, min), qPrintable(got));
    QVERIFY2(Near(r.max, max), qPrintable(got));
    QVERIFY(r.min > 0);
}

void ChartScaleTest::safeRanges_data()
{
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<double>("askedMin");
    QTest::addColumn<double>("askedMax");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("linear as asked") << false << -3.0 << 7.5 << -3.0 << 7.5;
    QTest::newRow("linear reversed") << false << 3.0 << 1.0 << 1.0 << 3.0;
    QTest::newRow("linear NaN") << false << kNaN << kNaN << 0.0 << 1.0;
    QTest::newRow("linear noise-wide") << false << 2.0 << 2.0 + 1e-14 << 1.8 << 2.2;
    QTest::newRow("log as asked") << true << 0.5 << 20.0 << 0.5 << 20.0;
    QTest::newRow("log negative minimum") << true << -5.0 << 100.0 << 10.0 << 100.0;
    QTest::newRow("log zero maximum") << true << 4.0 << 0.0 << 4.0 << 40.0;
    QTest::newRow("log both zero") << true << 0.0 << 0.0 << 1.0 << 10.0;
    QTest::newRow("log reversed") << true << 10.0 << 1.0 << 1.0 << 10.0;
    QTest::newRow("log too many decades") << true << 1e-20 << 1.0 << 1e-12 << 1.0;
    QTest::newRow("log underflow") << true << 1e-320 << 1e-320 << 1e-300 / std::sqrt(10.0) << 1e-300 * std::sqrt(10.0);
}

void ChartScaleTest::safeRanges()
{
    QFETCH(bool, logarithmic);
    QFETCH(double, askedMin);
    QFETCH(double, askedMax);
    QFETCH(double, min);
    QFETCH(double, max);
    const AxisRange r = logarithmic ? SafeLogRange(askedMin, askedMax) : SafeLinearRange(askedMin, askedMax, 5);
    const QString got = QString("%1 %2").arg(r.min).arg(r.max);
    QVERIFY2(Near(r.min, min), qPrintable(got));
    QVERIFY2(Near(r.max, max), qPrintable(got));
    VerifyDrawable(r);
    if (logarithmic) QVERIFY(r.min > 0);
}

void ChartScaleTest::logLabelDecades_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("labels");
    QTest::addColumn<int>("decades");
    QTest::newRow("two decades") << 1.0 << 100.0 << 8 << 1;
    QTest::newRow("eight decades in eight") << 1e-4 << 1e4 << 8 << 1;
    QTest::newRow("nine decades in eight") << 1e-4 << 1e5 << 8 << 2;
    QTest::newRow("zero to fifty, twelve decades") << 1e-10 << 49.0 << 8 << 2;
    QTest::newRow("twelve decades in four") << 1e-10 << 100.0 << 4 << 3;
    QTest::newRow("within a decade") << 2.0 << 3.0 << 8 << 1;
    QTest::newRow("bad range") << -1.0 << 10.0 << 8 << 1;
    QTest::newRow("no labels asked") << 1.0 << 1e6 << 0 << 6;
}

void ChartScaleTest::logLabelDecades()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, labels);
    QFETCH(int, decades);
    QCOMPARE(LogLabelDecades(min, max, labels), decades);
}

using RunList = QList<QList<int>>; // colour index, first, last

void ChartScaleTest::colourRuns_data()
{
    QTest::addColumn<QList<int>>("colours");
    QTest::addColumn<RunList>("runs");
    QTest::newRow("empty") << QList<int>{} << RunList{};
    QTest::newRow("one point") << QList<int>{0} << RunList{};
    QTest::newRow("one colour") << QList<int>{0, 0, 0, 0} << RunList{{0, 0, 3}};
    QTest::newRow("first point's colour unused") << QList<int>{1, 0, 0} << RunList{{0, 0, 2}};
    QTest::newRow("two runs share a point") << QList<int>{0, 0, 0, 1, 1} << RunList{{0, 0, 2}, {1, 2, 4}};
    QTest::newRow("alternating") << QList<int>{0, 1, 0, 1} << RunList{{1, 0, 1}, {0, 1, 2}, {1, 2, 3}};
    QTest::newRow("colour comes back") << QList<int>{0, 0, 2, 2, 0} << RunList{{0, 0, 1}, {2, 1, 3}, {0, 3, 4}};
}

void ChartScaleTest::colourRuns()
{
    QFETCH(QList<int>, colours);
    QFETCH(RunList, runs);
    const QColor palette[] = {Qt::red, QColor(0, 128, 0), Qt::blue};
    QVector<QColor> input;
    for (int c : colours) input.append(palette[c]);
    const QVector<ColourRun> got = SplitColourRuns(input);
    QCOMPARE(got.size(), runs.size());
    for (int i = 0; i < runs.size(); ++i) {
        QCOMPARE(got[i].colour, palette[runs[i][0]]);
        QCOMPARE(got[i].first, runs[i][1]);
        QCOMPARE(got[i].last, runs[i][2]);
    }
}

void ChartScaleTest::labelFormat_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::addColumn<QString>("format");
    QTest::newRow("dB") << -120.0 << 0.0 << 20.0 << "%.6g";
    QTest::newRow("fine steps on a large value") << 1e6 << 1e6 + 10 << 2.0 << "%.7g";
    QTest::newRow("very fine steps") << 1e9 << 1e9 + 1e-6 << 2e-7 << "%.15g";
    QTest::newRow("zero range") << 0.0 << 0.0 << 0.0 << "%.6g";
}

void ChartScaleTest::labelFormat()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    QFETCH(QString, format);
    QCOMPARE(LabelFormat({min, max, step}), format);
}

void ChartScaleTest::ticksAreMultiplesOfTheStepWithZeroAtZero_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::addColumn<QStringList>("labels");
    // Added up from -1 in steps of 0.1, the last tick would be -1.4e-16.
    QTest::newRow("empty plot") << -1.0 << 0.0 << 0.1 << QStringList{"-1.0", "-0.9", "-0.8", "-0.7", "-0.6", "-0.5",
                                                                     "-0.4", "-0.3", "-0.2", "-0.1", "0.0"};
    QTest::newRow("ripple zoomed off the ticks")
        << -0.63 << 0.21 << 0.2 << QStringList{"-0.6", "-0.4", "-0.2", "0.0", "0.2"};
    QTest::newRow("dB") << -120.0 << 0.0 << 40.0 << QStringList{"-120", "-80", "-40", "0"};
    QTest::newRow("narrow band in MHz") << 99.9 << 100.1 << 0.05
                                        << QStringList{"99.90", "99.95", "100.00", "100.05", "100.10"};
}

void ChartScaleTest::ticksAreMultiplesOfTheStepWithZeroAtZero()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    QFETCH(QStringList, labels);
    const AxisRange range{min, max, step};
    QStringList got;
    for (double tick : TickValues(range)) got << TickText(tick, range);
    QCOMPARE(got, labels);
}

void ChartScaleTest::titleMarkup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("markup");
    const QString nbsp(QChar(0x00A0));
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("two blanks kept") << "Butterworth  LPF"
                                     << "Butterworth" + nbsp + nbsp + "LPF";
    QTest::newRow("markup escaped") << "a<b&c"
                                    << "a&lt;b&amp;c";
    QTest::newRow("one line") << "a\nb"
                              << "a" + nbsp + "b";
}

void ChartScaleTest::titleMarkup()
{
    QFETCH(QString, text);
    QFETCH(QString, markup);
    QCOMPARE(TitleMarkup(text), markup);
}

QTEST_APPLESS_MAIN(ChartScaleTest)
#include "ChartScaleTest.moc"
