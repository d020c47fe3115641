// SPDX-License-Identifier: Apache-2.0
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "export/DesignFile.h"
#include "synthesis/Synthesis.h"
#include "tests/window/WindowHarness.h"
#include "window/TFMain.h"
#include "workbench/DesignPanel.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/PartsTable.h"
#include "workbench/ResponsePlots.h"
#include "workbench/WorkbenchHook.h"
#include "workbench/LadderSchematic.h"
#include "workbench/MainWindow.h"

using namespace corvane;

// The design panel of the workbench, driven as a user would, inside the workbench.
class DesignPanelTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void designsABandStopThatFollowsIntoFilesAndBack();
    void badFieldsAndRefusalsLeaveTheWindowAsItWas();
    void eachFamilyBringsItsDefaults();
    void zerosReachTheLadderAndHardPartsAreFlagged();
    void phaseErrorReachesTheEquirippleDelayDesign();
    void coupledFormReachesTheLadderWithItsAccuracy();
};

namespace {

struct Bench {
    MainWindow main;
    LadderWorkbench* exact = nullptr;
    DesignPanel* panel = nullptr;

    Bench()
    {
        main.SetBoxHook([](const WorkbenchBox& box) {
            QTest::qFail(qPrintable("unexpected box: " + box.text), __FILE__, __LINE__);
            return QMessageBox::Ok;
        });
        main.DesignWindow()->SetMessageBoxHook(
            [](const MessageBoxRecord& box) { QFAIL(qPrintable("unexpected box: " + box.text)); });
        AttachWorkbench(main);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.WorkbenchAction()->trigger();
        exact = WorkbenchOf(main);
        QVERIFY(exact && QTest::qWaitForWindowExposed(exact));
        panel = exact->Panel();
    }

    QLineEdit* Field(const char* name) const { return panel->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void Type(const char* name, const QString& text) const { WindowHarness::TypeInto(Field(name), text); }
    void Choose(const char* name, const QString& item) const
    {
        auto* box = panel->findChild<QComboBox*>(QString::fromLatin1(name));
        QVERIFY(box);
        const int index = box->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void CalculateMain() const
    {
        QTest::mouseClick(main.DesignWindow()->findChild<QPushButton*>(QStringLiteral("BCalculate")), Qt::LeftButton);
    }
};

QStringList Rows(const QTableWidget* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            if (!table->isColumnHidden(c)) cells << (table->item(r, c) ? table->item(r, c)->text() : QString());
        rows << cells.join(' ');
    }
    return rows;
}

// |S21| in dB of the curve on screen nearest to f (the window's unit).
double S21Near(const LadderWorkbench& window, double f)
{
    const NetworkCurves& c = window.Curves();
    size_t best = 0;
    for (size_t i = 0; i < c.NetFreq.size(); ++i)
        if (std::fabs(c.NetFreq[i] - f) < std::fabs(c.NetFreq[best] - f)) best = i;
    return c.NetS21[best];
}

std::string ReadAll(const QString& path)
{
    std::ifstream in(path.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

void DesignPanelTest::designsABandStopThatFollowsIntoFilesAndBack()
{
    Bench b;
    b.CalculateMain();
    QCOMPARE(b.exact->BuiltLadder().branches.size(), size_t(3));

    // A 5th-order elliptic band-stop, Pi form, stopband 9 to 11 MHz, 75 ohms into 50 ohms.
    b.Choose("Family", "Elliptic");
    b.Choose("Type", "BSF");
    b.Choose("Form", "Pi - Type");
    b.Type("Order", "5");
    b.Type("Ripple", "0.1");
    b.Type("Stopband attenuation", "50");
    b.Type("Low band edge", "9");
    b.Type("High band edge", "11");
    b.Type("RS", "75");
    b.Type("RL", "50");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    QVERIFY(b.main.isWindowModified());

    // The panel's texts reach the synthesis in hertz and ohms: the same request made directly.
    synthesis::DesignRequest request;
    request.response = {synthesis::Family::Elliptic, 5, 0.1L, 50.0L};
    request.type = synthesis::FilterType::BandStop;
    request.form = LadderTopology::Pi;
    request.RS = 75.0;
    request.RL = 50.0;
    request.lowHz = 9e6;
    request.highHz = 11e6;
    const LadderModel expected = synthesis::Synthesise(request).ladder;
    const LadderModel& shown = b.exact->BuiltLadder();
    QCOMPARE(shown.RS, 75.0);
    QCOMPARE(shown.RL, 50.0);
    QCOMPARE(shown.branches.size(), expected.branches.size());
    int arms = 0;
    for (size_t i = 0; i < shown.branches.size(); ++i) {
        QVERIFY(shown.branches[i] == expected.branches[i]);
        if (shown.branches[i].parts.size() == 4) ++arms;
    }
    // The traps become four-part arms, listed and drawn with their second pair's designators.
    QVERIFY(arms >= 2);
    const QStringList rows = Rows(b.exact->Parts());
    QVERIFY(rows.filter(QRegularExpression("^L1\\d\\d ")).size() == arms);
    QVERIFY(b.exact->Schematic()->Labels().filter(QRegularExpression("^C1\\d\\d$")).size() == arms);
    QVERIFY(rows.first().contains("75.0 \u03a9"));

    // The analysed ladder stops the band and passes the rest: at least the 50 dB asked in the
    // stopband, at most the 0.1 dB ripple (and the 75/50 mismatch the terminations allow) outside.
    const double mismatchDb = -10 * std::log10(4 * 75.0 * 50.0 / (125.0 * 125.0));
    QVERIFY2(S21Near(*b.exact, std::sqrt(9.0 * 11.0)) < -49.9, qPrintable(QString::number(S21Near(*b.exact, 9.95))));
    for (double f : {1.0, 5.0, 20.0, 100.0}) QVERIFY(S21Near(*b.exact, f) > -0.1 - mismatchDb - 1e-3);

    // Rounded to E12, every part of every arm takes a value of the published series.
    QComboBox* series = nullptr;
    for (QLabel* label : b.exact->findChildren<QLabel*>())
        if (label->text().startsWith("&Standard series")) series = qobject_cast<QComboBox*>(label->buddy());
    QVERIFY(series);
    series->setCurrentIndex(series->findText("E12"));
    const double e12[] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2};
    for (const ModelBranch& branch : b.exact->BuiltLadder().branches) {
        for (const ModelPart& part : branch.parts) {
            const double value = part.value;
            const double mantissa = value / std::pow(10.0, std::floor(std::log10(value) + 1e-9));
            QVERIFY2(std::any_of(std::begin(e12), std::end(e12),
                                 [mantissa](double e) { return std::fabs(mantissa - e) < 1e-6; }),
                     qPrintable(QString::number(value)));
        }
    }
    series->setCurrentIndex(0);

    // A run of the design window leaves the panel's ladder on screen.
    b.CalculateMain();
    QCOMPARE(b.exact->BuiltLadder().branches.size(), expected.branches.size());
    QCOMPARE(b.exact->BuiltLadder().RS, 75.0);

    // Saved, cleared by New, and opened again: the panel and its ladder come back.
    QTemporaryDir folder;
    const QString path = folder.filePath("bandstop.corvane");
    const ExactResponseSettings saved = b.exact->Settings();
    QVERIFY(saved.panel && saved.panel->shown);
    QVERIFY(b.main.SaveDesign(path));
    const std::string text = ReadAll(path);
    QVERIFY(text.find("\"version\": 2") != std::string::npos);
    QVERIFY(text.find("\"family\": \"Elliptic\"") != std::string::npos);
    b.main.NewDesign();
    QVERIFY(!b.exact->ShowsPanelDesign());
    QCOMPARE(b.panel->Settings(), DesignPanelSettings{});
    QVERIFY(b.main.OpenDesign(path));
    QCOMPARE(b.exact->Settings(), saved);
    QVERIFY(b.exact->ShowsPanelDesign());
    QCOMPARE(Rows(b.exact->Parts()), rows);
    QVERIFY(!b.main.isWindowModified());

    // "Take from main window" copies the design window's design and shows its ladder again.
    QTest::mouseClick(b.panel->TakeButton(), Qt::LeftButton);
    QVERIFY(!b.exact->ShowsPanelDesign());
    const DesignPanelSettings taken = b.panel->Settings();
    QCOMPARE(taken.family, std::string("Butterworth"));
    QCOMPARE(taken.type, std::string("LPF"));
    QCOMPARE(taken.order, std::string("3"));
    QCOMPARE(taken.rs, std::string("50"));
    QCOMPARE(b.exact->BuiltLadder().branches.size(), size_t(3));
    QVERIFY(Rows(b.exact->Parts()).contains("L1 796 nH \u2014   ideal"));
}

void DesignPanelTest::badFieldsAndRefusalsLeaveTheWindowAsItWas()
{
    Bench b;
    // Before any run, "Take from main window" leaves nothing of the panel's design behind.
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY(b.exact->ShowsPanelDesign() && b.exact->Parts()->rowCount() > 0);
    QTest::mouseClick(b.panel->TakeButton(), Qt::LeftButton);
    QVERIFY(!b.exact->ShowsPanelDesign());
    QCOMPARE(b.exact->Parts()->rowCount(), 0);
    QVERIFY(b.exact->Curves().NetFreq.empty());
    QVERIFY(b.exact->Schematic()->Labels().isEmpty());

    b.CalculateMain();
    const QStringList classic = Rows(b.exact->Parts());

    struct Case {
        const char* field;
        QString text;
        QString message; // part of the status
    };
    const Case cases[] = {
        {"RL", "0", "RL must be a resistance above zero."},
        {"Order", "2.5", "Order: "},
    };
    for (const Case& c : cases) {
        b.panel->SetSettings(DesignPanelSettings{});
        b.Type(c.field, c.text);
        QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
        QVERIFY2(b.exact->StatusText().contains(c.message), qPrintable(b.exact->StatusText()));
        QVERIFY(!b.exact->ShowsPanelDesign());
        QCOMPARE(Rows(b.exact->Parts()), classic);
    }

    // A valid design, then requests the synthesis refuses: its message is shown as it comes,
    // and the last design stays whole on screen.
    b.panel->SetSettings(DesignPanelSettings{});
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    const QStringList designed = Rows(b.exact->Parts());
    const std::vector<double> s21 = b.exact->Curves().NetS21;

    // Too steep for 15 Bessel poles.
    b.Choose("Family", "Bessel");
    for (QRadioButton* button : b.panel->findChildren<QRadioButton*>())
        if (button->text().startsWith("Meet")) QTest::mouseClick(button, Qt::LeftButton);
    b.Type("Stop frequency", "11");
    b.Type("Stopband attenuation", "80");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    const QString refused = b.exact->StatusText();
    QVERIFY(!refused.isEmpty());
    for (const char* bad : {"nan", "inf"}) QVERIFY2(!refused.contains(bad, Qt::CaseInsensitive), qPrintable(refused));
    QCOMPARE(Rows(b.exact->Parts()), designed);
    QCOMPARE(b.exact->Curves().NetS21, s21);
    QVERIFY(b.panel->Note().isEmpty());
}

// A Bessel design leaves a ripple of 0 behind, which no Chebyshev or Elliptic design can use;
// the family that needs a ripple brings its own, and a ripple the user typed stays.
void DesignPanelTest::eachFamilyBringsItsDefaults()
{
    Bench b;
    b.Choose("Family", "Bessel");
    b.Type("Ripple", "0");
    b.Type("Stopband attenuation", "");
    b.Choose("Family", "Elliptic");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    QCOMPARE(b.panel->Settings().ripple, DesignPanelSettings{}.ripple);
    QCOMPARE(b.panel->Settings().stopAtt, DesignPanelSettings{}.stopAtt);
    b.Type("Ripple", "0.25");
    b.Choose("Family", "Chebyshev");
    QCOMPARE(b.panel->Settings().ripple, std::string("0.25"));
}

QTEST_MAIN(DesignPanelTest)
#include "DesignPanelTest.moc"

void DesignPanelTest::zerosReachTheLadderAndHardPartsAreFlagged()
{
    // The harmonic-notch low-pass typed into the panel: the shown ladder is the synthesis's with
    // zeros at 60 and 90 MHz, and the analysed curve is deep there.
    Bench b;
    b.Choose("Family", "Chebyshev");
    b.Choose("Type", "LPF");
    b.Type("Order", "7");
    b.Type("Ripple", "0.1");
    b.Type("Passband", "30");
    b.Type("Zeros", "60, 90");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    QVERIFY2(b.panel->Note().contains("Transmission zeros at 60, 90 MHz"), qPrintable(b.panel->Note()));
    synthesis::DesignRequest request;
    request.response.family = synthesis::Family::Chebyshev;
    request.response.N = 7;
    request.response.rippleDb = 0.1L;
    request.passHz = 30e6;
    request.zerosHz = {60e6, 90e6};
    QVERIFY(b.exact->BuiltLadder() == synthesis::Synthesise(request).ladder);
    QVERIFY(S21Near(*b.exact, 60.0) < -40.0);

    // No part of it is hard to build at the default limits; a 200 pF floor flags its five
    // capacitors, in red with the reason as the tooltip.
    const auto flagged = [&b] {
        QStringList parts;
        const QTableWidget* table = b.exact->Parts();
        for (int r = 0; r < table->rowCount(); ++r)
            if (!table->item(r, 4)->text().isEmpty()) parts << table->item(r, 0)->text();
        return parts;
    };
    QVERIFY(flagged().isEmpty());
    auto* limits = b.exact->findChild<QLineEdit*>(QStringLiteral("Part limits"));
    QVERIFY(limits);
    QCOMPARE(limits->text(), QString("1 pF, 5 nH, 2 k\u03a9"));
    WindowHarness::TypeInto(limits, "200p, 5n, 2k");
    QTest::keyClick(limits, Qt::Key_Return);
    QCOMPARE(flagged(), (QStringList{"C2", "C3", "C4", "C5", "C6"}));
    const QTableWidgetItem* c3 = b.exact->Parts()->item(4, 4); // RS, L1, C2, L3, C3
    QCOMPARE(c3->text(), QString("below 200 pF"));
    QVERIFY(c3->toolTip().startsWith("C3 = 6 pF is below 200 pF"));
    QCOMPARE(b.exact->Settings().partLimits, (PartLimits{200e-12, 5e-9, 2000.0}));
}

void DesignPanelTest::phaseErrorReachesTheEquirippleDelayDesign()
{
    Bench b;
    QVERIFY(!b.Field("Phase error")->isEnabled());
    b.Choose("Family", "Equiripple delay");
    QVERIFY(b.Field("Phase error")->isEnabled());
    b.Type("Order", "6");
    b.Type("Phase error", "0.5");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    synthesis::DesignRequest request;
    request.response.family = synthesis::Family::EquirippleDelay;
    request.response.N = 6;
    request.response.delayErrorDeg = 0.5L;
    request.passHz = 10e6;
    QVERIFY(b.exact->BuiltLadder() == synthesis::Synthesise(request).ladder);
    QCOMPARE(b.panel->Settings().delayError, std::string("0.5"));
}

void DesignPanelTest::coupledFormReachesTheLadderWithItsAccuracy()
{
    // A 5-pole 0.1 dB Chebyshev top-C band-pass at 99 to 101 MHz on 100 nH resonators.
    Bench b;
    QVERIFY(!b.Field("Resonator L")->isEnabled());
    b.Choose("Family", "Chebyshev");
    b.Choose("Type", "BPF");
    b.Type("Order", "5");
    b.Type("Ripple", "0.1");
    b.Type("Low band edge", "99");
    b.Type("High band edge", "101");
    b.Choose("BandPassForm", "Top-C coupled");
    QVERIFY(b.Field("Resonator L")->isEnabled());
    QVERIFY(!b.Field("Zeros")->isEnabled());
    QVERIFY(!b.panel->findChild<QComboBox*>(QStringLiteral("Form"))->isEnabled());

    // A bad inductance is named and designs nothing.
    b.Type("Resonator L", "100 furlongs");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->StatusText().contains("Resonator L"), qPrintable(b.exact->StatusText()));
    QVERIFY(!b.exact->ShowsPanelDesign());

    b.Type("Resonator L", "100n");
    QTest::mouseClick(b.panel->DesignButton(), Qt::LeftButton);
    QVERIFY2(b.exact->ShowsPanelDesign(), qPrintable(b.exact->StatusText()));
    int resonators = 0;
    for (const ModelBranch& branch : b.exact->BuiltLadder().branches)
        for (const ModelPart& part : branch.parts)
            if (branch.place == BranchPlace::Shunt && part.kind == PartKind::Inductor) {
                QVERIFY(std::fabs(part.value - 100e-9) < 1e-15);
                ++resonators;
            }
    QCOMPARE(resonators, 5);
    // In the passband the analysed ladder loses no more than the ripple and the refinement's margin.
    for (double f = 99.0; f <= 101.0; f += 0.25)
        QVERIFY2(S21Near(*b.exact, f) > -0.15, qPrintable(QString::number(S21Near(*b.exact, f))));
    QVERIFY2(b.panel->Note().startsWith("top-c coupled resonators: passband loss within"), qPrintable(b.panel->Note()));
    // Five poles, though the ladder has eleven branches with its couplings.
    QVERIFY2(b.exact->StatusText().contains("Top-C coupled, N = 5:"), qPrintable(b.exact->StatusText()));

    // Saved and opened again, the form and the inductance come back and design the same ladder.
    QTemporaryDir folder;
    const QString path = folder.filePath("topc.corvane");
    const LadderModel designed = b.exact->BuiltLadder();
    QVERIFY(b.main.SaveDesign(path));
    b.main.NewDesign();
    QVERIFY(b.main.OpenDesign(path));
    QCOMPARE(b.panel->Settings().bandPassForm, std::string("top-c"));
    QCOMPARE(b.panel->Settings().resonatorL, std::string("100n"));
    QVERIFY(b.exact->BuiltLadder() == designed);
}
