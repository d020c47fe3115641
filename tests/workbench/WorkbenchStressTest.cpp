// SPDX-License-Identifier: Apache-2.0
// The part-stress inputs and the parts table's stress columns, driven as a user drives them: the
// columns come with a power and go without it, show the worst case of the ladder as built, mark
// the one part over its kind's rating, and a bad field is named in the status line.
#include <QDockWidget>
#include <QHeaderView>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "analysis/PartStress.h"
#include "filtermath/EngineeringText.h"
#include "tests/workbench/CalculatedWorkbench.h"
#include "workbench/BackgroundJob.h"
#include "workbench/PartsTable.h"
#include "workbench/StressJob.h"

using namespace corvane;

class WorkbenchStressTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void columnsComeWithAPowerAndGoWithout();
    void aRatingBelowTheWorstPartMarksThatPartAlone();
    void aBadFieldIsNamedAndNothingStays();
    void theDockWidensToShowEveryColumn();
};

namespace {

constexpr int kCheck = 4, kVpeak = 6, kIpeak = 7, kPdiss = 8, kFreq = 9;

struct Bench : CalculatedWorkbench {
    // Types into a stress field and waits for the stress of the ladder on screen.
    void Stress(const char* field, const QString& text)
    {
        Apply(field, text);
        bench->StressRunner()->Job()->Wait();
    }
    PartsTable* Parts() const { return bench->Parts(); }
    int RowOf(const QString& part) const
    {
        for (int row = 0; row < Parts()->rowCount(); ++row)
            if (Parts()->Cell(row, 0) == part) return row;
        return -1;
    }
    // The stress of the ladder the window shows, over the sweep points of its passband.
    std::vector<PartStress> Expected(double watts, double vswr) const
    {
        std::vector<double> hz;
        for (double f : bench->Curves().NetFreq) hz.push_back(f * bench->Shown().UnitScale());
        return StressOverBand(bench->BuiltLadder(), {}, hz, bench->Shown().Edges(), {watts, vswr, 72}).passband;
    }
};

QString Eng(double value, const char* unit)
{
    return QString::fromStdString(EngineeringText(value, unit));
}

} // namespace

void WorkbenchStressTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("corvane-tests"));
    QSettings().clear();
}

void WorkbenchStressTest::columnsComeWithAPowerAndGoWithout()
{
    Bench b;
    QVERIFY(b.bench);
    QVERIFY(b.Parts()->isColumnHidden(kVpeak));
    QVERIFY(!b.bench->Settings().stress.has_value());
    // 40 dBm is 10 W; at a VSWR of 2 every point is solved for each load phase, on the job.
    b.Apply("Load VSWR", "2");
    b.Stress("Power available", "40");
    for (int column : {kVpeak, kIpeak, kPdiss, kFreq}) QVERIFY(!b.Parts()->isColumnHidden(column));
    const std::vector<PartStress> expected = b.Expected(10.0, 2.0);
    QCOMPARE(expected.size(), 3u);
    for (const PartStress& s : expected) {
        const int row = b.RowOf(QString::fromStdString(s.part));
        QVERIFY(row > 0);
        QCOMPARE(b.Parts()->Cell(row, kVpeak), Eng(s.vPeak, "V"));
        QCOMPARE(b.Parts()->Cell(row, kIpeak), Eng(s.iPeak, "A"));
        QCOMPARE(b.Parts()->Cell(row, kPdiss), Eng(0.0, "W")); // ideal parts lose nothing
        QCOMPARE(b.Parts()->Cell(row, kFreq), Eng(RatedPeakHz(s), "Hz"));
        QVERIFY(b.Parts()->item(row, kVpeak)->toolTip().contains("Over the whole sweep: "));
    }
    // The terminations carry no part stress.
    for (const QString& end : {QString("RS"), QString("RL")})
        for (int column : {kVpeak, kIpeak, kPdiss, kFreq}) QCOMPARE(b.Parts()->Cell(b.RowOf(end), column), QString());
    // The design file keeps the texts as typed.
    QCOMPARE(b.bench->Settings().stress, (StressFileSettings{"40", "2", "", ""}));
    b.Stress("Power available", "");
    for (int column : {kVpeak, kIpeak, kPdiss, kFreq}) QVERIFY(b.Parts()->isColumnHidden(column));
    QVERIFY(!b.bench->StatusText().contains("must be"));
}

void WorkbenchStressTest::aRatingBelowTheWorstPartMarksThatPartAlone()
{
    Bench b;
    b.Stress("Power available", "100 W");
    const std::vector<PartStress> s = b.Expected(100.0, 1.0);
    QCOMPARE(s.size(), 3u);
    // The T form's inductors: the input one carries the reflected current as well, so a rating
    // between the two peaks marks it and not the one at the load.
    QCOMPARE(s[0].part, std::string("L1"));
    QVERIFY(s[0].iPeak > s[2].iPeak * 1.01);
    b.Stress("Current rating of inductors", QString::number((s[0].iPeak + s[2].iPeak) / 2));
    const int l1 = b.RowOf("L1"), c2 = b.RowOf("C2"), l3 = b.RowOf("L3");
    QVERIFY(b.Parts()->Cell(l1, kCheck).contains(QRegularExpression("^over [0-9.]+ A rating$")));
    QVERIFY(b.Parts()->item(l1, kCheck)->toolTip().startsWith("Peak current " + Eng(s[0].iPeak, "A")));
    QVERIFY(b.Parts()->item(l1, kIpeak)->foreground().color() != b.Parts()->item(l3, kIpeak)->foreground().color());
    QCOMPARE(b.Parts()->Cell(l3, kCheck), QString());
    QCOMPARE(b.Parts()->Cell(c2, kCheck), QString()); // a capacitor is held to no current rating
    // The voltage rating is the capacitor's alone; just below its peak it marks the capacitor too.
    b.Stress("Voltage rating of capacitors", QString::number(s[1].vPeak * 0.99));
    QVERIFY(b.Parts()->Cell(c2, kCheck).startsWith("over "));
    QVERIFY(b.Parts()->Cell(l1, kCheck).startsWith("over "));
    QCOMPARE(b.Parts()->Cell(l3, kCheck), QString());
    // A rating over every part leaves no mark.
    b.Stress("Current rating of inductors", "1k");
    QCOMPARE(b.Parts()->Cell(l1, kCheck), QString());
}

void WorkbenchStressTest::aBadFieldIsNamedAndNothingStays()
{
    Bench b;
    b.Stress("Power available", "40");
    for (const auto& [field, text, message] :
         {std::tuple<const char*, QString, QString>{"Load VSWR", "0.5", "Load VSWR must be 1 (matched) or above."},
          {"Power available", "12 V", "Power available must be a level in dBm"},
          {"Voltage rating of capacitors", "-5", "Voltage rating of capacitors must be empty (no rating)"}}) {
        b.Stress(field, text);
        QVERIFY2(b.bench->StatusText().startsWith(message), qPrintable(b.bench->StatusText()));
        QCOMPARE(b.Parts()->rowCount(), 0);
        b.Stress(field, field == QString("Load VSWR") ? "1" : field == QString("Power available") ? "40" : "");
        QCOMPARE(b.Parts()->Cell(b.RowOf("C2"), kVpeak).endsWith(" V"), true);
    }
}

// Where the window leaves room, the parts dock grows to show the stress columns whole when they come.
void WorkbenchStressTest::theDockWidensToShowEveryColumn()
{
    Bench b;
    b.bench->resize(1800, 900);
    b.bench->findChild<QDockWidget*>("PartsDock")->raise();
    QTest::qWait(50);
    b.Stress("Voltage rating of capacitors", "40");
    b.Stress("Power available", "100 W");
    QTest::qWait(50);
    QVERIFY(!b.Parts()->isColumnHidden(kFreq));
    QCOMPARE(b.Parts()->horizontalScrollBar()->maximum(), 0);
    QVERIFY(b.Parts()->Cell(b.RowOf("C2"), kCheck).startsWith("over 40 V"));
}

QTEST_MAIN(WorkbenchStressTest)
#include "WorkbenchStressTest.moc"
