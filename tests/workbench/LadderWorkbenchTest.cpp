// SPDX-License-Identifier: Apache-2.0
// The one workbench window beside the design window, driven as a user would: the path from a
// calculation to the tolerance tab and back from a file, the ladder it builds and analyses,
// what it shows while a field is bad or after New, its tabs and docks, its sweep and delay
// scales, old design files, and the chart export.
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QImageReader>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <complex>
#include <fstream>

#include "chart/PlotView.h"
#include "tests/window/WindowHarness.h"
#include "workbench/BackgroundJob.h"
#include "workbench/BuiltSettings.h"
#include "workbench/LadderSchematic.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"
#include "workbench/PartModelDialog.h"
#include "workbench/PartsTable.h"
#include "workbench/ResponsePlots.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

class LadderWorkbenchTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void userPathFromAFieldToToleranceAndBackFromAFile();
    void buildsAndAnalysesTheLadderOfEachRun();
    void badInputShowsNoOtherDesign_data();
    void badInputShowsNoOtherDesign();
    void tabsAndDocksKeepTheirLayout();
    void sweepAroundTheBandAndDelayScaledToThePassband();
    void oldDesignFilesOpen_data();
    void oldDesignFilesOpen();
    void vendorPartFileInTheTableThePlotAndTheSettings();
    void partsOwnModelFromItsDialog();
};

namespace {

// The design window inside the main window with the workbench attached, boxes answered.
struct Bench {
    MainWindow main;
    QString chosenFile;

    Bench()
    {
        main.SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Discard; });
        main.SetFileHook([this](const QString&, const QString&) { return chosenFile; });
        main.DesignWindow()->SetMessageBoxHook(
            [](const MessageBoxRecord& box) { QFAIL(qPrintable("unexpected box: " + box.text)); });
        AttachWorkbench(main);
        main.show();
        QApplication::setActiveWindow(&main);
        if (!QTest::qWaitForWindowActive(&main)) qWarning("the main window is not active");
    }
    QLineEdit* Field(const char* name) const { return main.DesignWindow()->findChild<QLineEdit*>(name); }
    QComboBox* Box(const char* name) const { return main.DesignWindow()->findChild<QComboBox*>(name); }
    void Calculate() const { main.DesignWindow()->BCalculateClick(); }
    LadderWorkbench* Open() const
    {
        main.WorkbenchAction()->trigger();
        LadderWorkbench* bench = WorkbenchOf(main);
        if (bench && !QTest::qWaitForWindowExposed(bench)) qWarning("the workbench is not exposed");
        return bench;
    }
};

QStringList Rows(const PartsTable* table)
{
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << QStringList{table->Cell(r, 0), table->Cell(r, 1), table->Cell(r, 2), table->Cell(r, 3)}.join(' ');
    return rows;
}

template <typename T = QLineEdit>
T* Named(const QWidget& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no child %s", name);
    return child;
}

void Apply(LadderWorkbench& bench, const char* field, const QString& text)
{
    QLineEdit* edit = Named(bench, field);
    WindowHarness::TypeInto(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

void WriteText(const QString& path, const std::string& text)
{
    std::ofstream(path.toStdString()) << text;
}

} // namespace

void LadderWorkbenchTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("corvane-tests"));
    QSettings().clear();
}

void LadderWorkbenchTest::userPathFromAFieldToToleranceAndBackFromAFile()
{
    Bench b;
    // At start the cursor is in a field; Calculate with Alt+C, then Ctrl+E from the same field.
    QLineEdit* poles = b.Field("leN");
    poles->setFocus();
    WindowHarness::TypeInto(poles, "5");
    QTest::keyClick(poles, Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(poles, Qt::Key_E, Qt::ControlModifier);
    LadderWorkbench* bench = WorkbenchOf(b.main);
    QVERIFY(bench && QTest::qWaitForWindowExposed(bench));
    // Alt+C clicks the button through its animated press, which ends on a timer: the run may
    // complete after the workbench has opened, and the workbench then follows it.
    QTRY_COMPARE(bench->BuiltLadder().branches.size(), size_t(5));
    QCOMPARE(bench->Tabs()->currentIndex(), int(LadderWorkbench::ResponseTab));
    QTRY_VERIFY2(bench->StatusText().contains("N = 5"), qPrintable(bench->StatusText()));
    // The panel's fields are its own design, not the run shown: the panel says so.
    QVERIFY2(bench->Panel()->Note().contains("design window's run"), qPrintable(bench->Panel()->Note()));

    // Ctrl+T from a field of the design window shows the same window on its tolerance tab.
    QApplication::setActiveWindow(&b.main);
    QVERIFY(QTest::qWaitForWindowActive(&b.main));
    QTest::keyClick(b.Field("lePassF"), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(b.main.findChildren<LadderWorkbench*>().size(), qsizetype(1));
    QCOMPARE(bench->Tabs()->currentWidget(), static_cast<QWidget*>(bench->Tolerance()));

    // Settings of every part of the workbench go into the file and come back from it.
    Apply(*bench, "Points", "2001");
    auto* series = Named<QComboBox>(*bench, "Series");
    series->setCurrentIndex(series->findText("E24"));
    bench->Tolerance()->Form()->Edit(ToleranceForm::Input::Trials)->setText("500");
    emit bench->Tolerance()->Form()->Edited();
    const ExactResponseSettings shown = bench->Settings();
    QVERIFY(shown.tolerance && shown.tolerance->trials == "500");
    QTemporaryDir dir;
    b.chosenFile = dir.filePath("path.corvane");
    QTest::keyClick(b.Field("leN"), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(b.chosenFile));
    b.main.NewDesign();
    QVERIFY(bench->Settings() != shown);
    QVERIFY(bench->Curves().NetFreq.empty());
    QVERIFY(b.main.OpenDesign(b.chosenFile));
    QCOMPARE(bench->Settings(), shown);
    QCOMPARE(bench->Curves().NetFreq.size(), size_t(2001));
    QCOMPARE(bench->BuiltLadder().branches.size(), size_t(5));
}

void LadderWorkbenchTest::buildsAndAnalysesTheLadderOfEachRun()
{
    Bench b;
    LadderWorkbench* bench = b.Open();
    QVERIFY(bench->Curves().NetFreq.empty());
    // The default design, a 3-pole Butterworth low-pass at 10 MHz and 50 ohms: g = 1, 2, 1
    // gives L = 50 / (2 pi 10 MHz) = 796 nH and C = 2 / (2 pi 10 MHz 50) = 637 pF.
    b.Calculate();
    QCOMPARE(Rows(bench->Parts()), (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 796 nH \u2014 ", "C2 637 pF \u2014 ",
                                                "L3 796 nH \u2014 ", "RL 50.0 \u03a9 50.0 \u03a9 "}));
    QCOMPARE(bench->Schematic()->Labels(),
             (QStringList{"RS", "50.0 \u03a9", "L1", "796 nH", "C2", "637 pF", "L3", "796 nH", "RL", "50.0 \u03a9"}));
    QCOMPARE(bench->Plots()->Response()->CurveName(0), QString("classic model (band-pass: two-sided)"));

    // Five poles, g = 0.618, 1.618, 2, 1.618, 0.618, rounded to E12.
    auto* series = Named<QComboBox>(*bench, "Series");
    series->setCurrentIndex(series->findText("E12"));
    WindowHarness::TypeInto(b.Field("leN"), "5");
    b.Calculate();
    QCOMPARE(Rows(bench->Parts()),
             (QStringList{"RS 50.0 \u03a9 50.0 \u03a9 ", "L1 492 nH 470 nH -4.44", "C2 515 pF 560 pF +8.73",
                          "L3 1.59 \u00b5H 1.5 \u00b5H -5.75", "C4 515 pF 560 pF +8.73", "L5 492 nH 470 nH -4.44",
                          "RL 50.0 \u03a9 50.0 \u03a9 "}));
    QCOMPARE(bench->BuiltLadder().branches[2].parts[0].value, 1.5e-6);

    // The exports carry the ladder as built and the sweep on screen.
    QTemporaryDir folder;
    QVERIFY(bench->ExportSpice(folder.filePath("ladder.cir")));
    QFile netlist(folder.filePath("ladder.cir"));
    QVERIFY(netlist.open(QIODevice::ReadOnly));
    const QString deck = QString::fromUtf8(netlist.readAll());
    QVERIFY2(QRegularExpression("\\nL3 \\S+ \\S+ 1.5e-06\\n").match(deck).hasMatch(), qPrintable(deck.left(400)));
    QVERIFY(bench->ExportCsv(folder.filePath("response.csv")));
    QFile csv(folder.filePath("response.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll().count('\n'), 1002);

    // The chart alone at the size asked, its legend and frequency unit in the drawing.
    QVERIFY(bench->ExportImage(folder.filePath("plot.png"), QSize(900, 560)));
    QCOMPARE(QImageReader(folder.filePath("plot.png")).size(), QSize(900, 560));
    QVERIFY(bench->ExportImage(folder.filePath("plot.svg"), QSize(900, 560)));
    QFile svg(folder.filePath("plot.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QString drawing = QString::fromUtf8(svg.readAll());
    for (const char* text : {"Frequency, MHz", "|S21|", "|S11|", "classic model"})
        QVERIFY2(drawing.contains(QString::fromUtf8(text).toHtmlEscaped()), text);

    // The longest sweep runs as a background job with progress; the window answers meanwhile.
    Apply(*bench, "Points", "100001");
    QVERIFY(bench->ExactJobRunner()->Busy());
    QVERIFY(bench->ExactJobRunner()->ProgressBar()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!bench->ExactJobRunner()->Busy(), 30000);
    QCOMPARE(bench->Curves().NetFreq.size(), size_t(100001));
    QVERIFY(!bench->ExactJobRunner()->ProgressBar()->isVisible());
}

void LadderWorkbenchTest::badInputShowsNoOtherDesign_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("negative Q") << "Q of inductors"
                                << "-1"
                                << "Q of inductors must be 0 (ideal) or a positive";
    QTest::newRow("Q not a number") << "Q of capacitors"
                                    << "1,5"
                                    << "Q of capacitors must be 0 (ideal)";
    QTest::newRow("start above stop") << "Sweep start"
                                      << "200"
                                      << "Sweep start must be less than Sweep stop.";
    QTest::newRow("stop beyond range") << "Sweep stop"
                                       << "1e999"
                                       << "Sweep stop must be";
    QTest::newRow("too many points") << "Points"
                                     << "100002"
                                     << "Points must be a whole number from 101 to 100001.";
    QTest::newRow("points not whole") << "Points"
                                      << "1000.5"
                                      << "Points must be a whole number";
    QTest::newRow("zero load") << "loadValue"
                               << "0"
                               << "Load must be a resistance above zero.";
}

// A bad field leaves no ladder, table, schematic or curve of any design on screen: nothing of the
// last one beside the next run's grey curve. New takes the design off the same way.
void LadderWorkbenchTest::badInputShowsNoOtherDesign()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Bench b;
    LadderWorkbench* bench = b.Open();
    b.Calculate();
    QVERIFY(!bench->Curves().NetFreq.empty());
    if (field == "loadValue") {
        auto* load = Named<QComboBox>(*bench, "Load");
        load->setCurrentIndex(2);
    }
    Apply(*bench, field.toLatin1().constData(), text);
    QVERIFY2(bench->StatusText().startsWith(message), qPrintable(bench->StatusText()));
    const auto nothingShown = [bench] {
        return bench->Curves().NetFreq.empty() && bench->Parts()->rowCount() == 0 &&
               bench->Schematic()->Labels().isEmpty() && bench->Plots()->Response()->PointCount(0) == 0;
    };
    QVERIFY(nothingShown());
    WindowHarness::TypeInto(b.Field("leN"), "5");
    b.Calculate();
    QVERIFY(nothingShown());
    QVERIFY2(bench->StatusText().startsWith(message), qPrintable(bench->StatusText()));

    Apply(*bench, field.toLatin1().constData(), field == "Points" ? "1001" : field.startsWith("Sweep") ? "" : "50");
    QCOMPARE(bench->BuiltLadder().branches.size(), size_t(5));
    b.main.NewDesign();
    QVERIFY(nothingShown());
}

void LadderWorkbenchTest::tabsAndDocksKeepTheirLayout()
{
    QSettings().clear();
    {
        Bench b;
        LadderWorkbench* bench = b.Open();
        QStringList tabs;
        for (int i = 0; i < bench->Tabs()->count(); ++i) tabs << bench->Tabs()->tabText(i).remove('&');
        QCOMPARE(tabs, (QStringList{"Response", "Group Delay", "Tolerance", "Measured", "Smith", "Time"}));
        QMap<QString, Qt::DockWidgetArea> areas;
        for (QDockWidget* dock : bench->findChildren<QDockWidget*>()) {
            QVERIFY(dock->features().testFlag(QDockWidget::DockWidgetMovable));
            areas[dock->windowTitle()] = bench->dockWidgetArea(dock);
        }
        QCOMPARE(areas, (QMap<QString, Qt::DockWidgetArea>{{"Design", Qt::LeftDockWidgetArea},
                                                           {"Parts", Qt::RightDockWidgetArea},
                                                           {"Schematic", Qt::BottomDockWidgetArea},
                                                           {"Tuning", Qt::RightDockWidgetArea}}));
        // At 640 x 480 nothing overlaps and the design panel is there, its column scrolling.
        bench->resize(640, 480);
        QTest::qWait(50);
        const QList<QDockWidget*> docks = bench->findChildren<QDockWidget*>();
        for (QDockWidget* dock : docks) {
            QVERIFY2(dock->isVisible() && dock->width() > 0 && dock->height() > 0, qPrintable(dock->windowTitle()));
            QVERIFY(!dock->geometry().intersects(bench->centralWidget()->geometry()));
            for (QDockWidget* other : docks)
                if (other != dock) QVERIFY(!dock->geometry().intersects(other->geometry()));
        }
        QVERIFY(bench->Panel()->visibleRegion().boundingRect().width() >= bench->Panel()->minimumSizeHint().width());
        // The user moves the parts to the left and shows the delay; closing keeps both.
        bench->addDockWidget(Qt::LeftDockWidgetArea, Named<QDockWidget>(*bench, "PartsDock"));
        bench->ShowTab(LadderWorkbench::DelayTab);
        bench->close();
    }
    Bench b;
    LadderWorkbench* bench = b.Open();
    QCOMPARE(bench->dockWidgetArea(Named<QDockWidget>(*bench, "PartsDock")), Qt::LeftDockWidgetArea);
    QCOMPARE(bench->Tabs()->currentIndex(), int(LadderWorkbench::DelayTab));
}

void LadderWorkbenchTest::sweepAroundTheBandAndDelayScaledToThePassband()
{
    Bench b;
    LadderWorkbench* bench = b.Open();
    // A band-pass from 9 to 11 MHz is swept around its band, not from 1 to 101 MHz.
    b.Box("CBType")->setCurrentIndex(2);
    WindowHarness::TypeInto(b.Field("leFmin"), "9");
    WindowHarness::TypeInto(b.Field("leFmax"), "11");
    b.Calculate();
    const std::vector<double>& f = bench->Curves().NetFreq;
    QVERIFY2(f.front() < 9 && f.back() > 11 && f.back() - f.front() < 20,
             qPrintable(QString("%1 to %2").arg(f.front()).arg(f.back())));

    // An elliptic low-pass built with inductors of Q 30: beside each transmission zero its delay
    // swings far above and below the passband's. The delay axis shows the passband (|S21|
    // within 3.01 dB of its best) whole, and not the swings.
    Apply(*bench, "Q of inductors", "30");
    bench->Panel()->SetSettings(DesignPanelSettings{});
    emit bench->Panel()->DesignRequested();
    QVERIFY2(bench->ShowsPanelDesign(), qPrintable(bench->StatusText()));
    const NetworkCurves& c = bench->Curves();
    const double scale = bench->Plots()->DelayScale();
    double best = -1e300, passMax = 0, overallMax = 0, overallMin = 0;
    for (double s : c.NetS21) best = std::max(best, s);
    for (size_t i = 0; i < c.NetFreq.size(); ++i) {
        overallMax = std::max(overallMax, c.NetGroupDelay[i] / scale);
        overallMin = std::min(overallMin, c.NetGroupDelay[i] / scale);
        if (c.NetS21[i] >= best - 3.01) passMax = std::max(passMax, c.NetGroupDelay[i] / scale);
    }
    QVERIFY(overallMax > 1.5 * passMax || overallMin < -0.5 * passMax);
    const AxisRange delay = bench->Plots()->Delay()->VerticalRange(PlotView::Side::Left);
    QVERIFY2(delay.max >= passMax && (delay.max < overallMax || delay.min > overallMin),
             qPrintable(QString("axis %1 to %2, passband to %3, swings %4 to %5")
                            .arg(delay.min)
                            .arg(delay.max)
                            .arg(passMax)
                            .arg(overallMin)
                            .arg(overallMax)));
}

void LadderWorkbenchTest::oldDesignFilesOpen_data()
{
    const std::string head = R"({"format": "Corvane design", "version": VERSION,
      "selectors": {"type": 0, "model": 1, "topology": 0, "unit": 2},
      "inputs": {"poles": "5", "ripple": "0.5", "passband": "10", "fmin": "", "fmax": "", "resistance": "50"},
      "sweep": {"start": "1", "stop": "101", "logarithmic": false},
      "exactResponse": {"series": "E24", "inductorQ": "80", "capacitorQ": "0", "load": "prototype",
                        "loadValue": "50", "start": "1", "stop": "101", "points": 1001, "logarithmic": false})";
    const std::string panel = R"(, "designPanel": {"family": "Elliptic", "type": "LPF", "form": "T",
      "orderFrom": "order", "order": "4", "ripple": "0.5", "stopAtt": "50", "stopFreq": "20", "passband": "10",
      "fmin": "8", "fmax": "12", "unit": "MHz", "rs": "50", "rl": "50", "shown": true})";
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("panelShown");
    QTest::addColumn<int>("branches");
    QString v1 = QString::fromStdString(head + "}");
    QString v2 = QString::fromStdString(head + panel + "}");
    QTest::newRow("version 1: the run's ladder") << v1.replace("VERSION", "1") << false << 5;
    QTest::newRow("version 2: the panel's elliptic") << v2.replace("VERSION", "2") << true << 4;
}

void LadderWorkbenchTest::oldDesignFilesOpen()
{
    QFETCH(QString, text);
    QFETCH(bool, panelShown);
    QFETCH(int, branches);
    Bench b;
    LadderWorkbench* bench = b.Open();
    QTemporaryDir dir;
    const QString path = dir.filePath("old.corvane");
    WriteText(path, text.toStdString());
    QVERIFY(b.main.OpenDesign(path));
    QCOMPARE(bench->ShowsPanelDesign(), panelShown);
    QCOMPARE(bench->BuiltLadder().branches.size(), size_t(branches));
    QCOMPARE(bench->Settings().series, std::string("E24"));
    QCOMPARE(bench->Curves().NetFreq.front(), 1.0);
    QVERIFY(!b.main.isWindowModified());
}

// A vendor's coil file for L1 of the 3-pole low-pass: the parts table names the file, the response
// shows the ideal parts' |S21| in grey beneath, the design file's settings keep the file, and a
// broken file is named with its line in the status line.
void LadderWorkbenchTest::vendorPartFileInTheTableThePlotAndTheSettings()
{
    Bench b;
    b.Calculate();
    LadderWorkbench* bench = b.Open();
    QTRY_COMPARE(bench->BuiltLadder().branches.size(), size_t(3));
    QTemporaryDir dir;
    const QString coil = dir.filePath("coil.s2p");
    std::string text = "# MHz S RI R 50\n";
    for (int i = 0; i <= 20; ++i) {
        const double mhz = std::pow(10.0, 2.0 * i / 20); // 1 to 100 MHz
        const std::complex<double> z(0.5, 2 * M_PI * mhz * 1e6 * 820e-9), s21 = 100.0 / (z + 100.0), s11 = z / (z + 100.0);
        text += std::to_string(mhz) + ' ' + std::to_string(s11.real()) + ' ' + std::to_string(s11.imag()) + ' ' +
                std::to_string(s21.real()) + ' ' + std::to_string(s21.imag()) + ' ' + std::to_string(s21.real()) + ' ' +
                std::to_string(s21.imag()) + ' ' + std::to_string(s11.real()) + ' ' + std::to_string(s11.imag()) + '\n';
    }
    WriteText(coil, text);
    PlotView* response = bench->Plots()->Response();
    QCOMPARE(response->CurveName(bench->Plots()->IdealCurve()), QString());
    bench->Built()->SetPartFile("L1", coil.toStdString());
    QTRY_COMPARE(bench->Parts()->Cell(1, 5), QString("coil.s2p"));
    QCOMPARE(bench->Parts()->Cell(3, 5), QString("ideal"));
    QVERIFY(bench->BuiltLadder().branches[0].parts[0].measured);
    QCOMPARE(response->CurveName(bench->Plots()->IdealCurve()), QString("|S21| ideal parts"));
    QCOMPARE(bench->Settings().partModels->partFiles.at("L1"), coil.toStdString());

    const QString broken = dir.filePath("broken.s2p");
    WriteText(broken, "# MHz S RI R 50\n1 0 0 1 0 1 0 0 0\n2 0 0\n");
    bench->Built()->SetPartFile("L3", broken.toStdString());
    QTRY_VERIFY2(bench->StatusText().contains("broken.s2p, line 3"), qPrintable(bench->StatusText()));
    bench->Built()->SetPartFile("L3", std::string());
    bench->Built()->SetPartFile("L1", std::string());
    QTRY_COMPARE(bench->Parts()->Cell(1, 5), QString("ideal"));
    QCOMPARE(response->CurveName(bench->Plots()->IdealCurve()), QString());
    QVERIFY(!bench->Settings().partModels);
}

// C2's own model through its dialog: a field that cannot be read keeps the dialog open with the
// reason; the model taken shows in C2's row alone, is kept in the settings and comes back into the
// dialog; a bad text from a file names the part in the status line.
void LadderWorkbenchTest::partsOwnModelFromItsDialog()
{
    Bench b;
    b.Calculate();
    LadderWorkbench* bench = b.Open();
    QTRY_COMPARE(bench->BuiltLadder().branches.size(), size_t(3));
    PartModelDialog dialog("C2", bench->Built()->PartBuildOf("C2"), "MHz", 1e6, bench);
    QVERIFY(dialog.FieldNamed("ESL"));
    dialog.FieldNamed("Q")->setText("50");
    dialog.FieldNamed("ESR")->setText("0.2");
    dialog.FieldNamed("ESL")->setText("0.5n");
    dialog.FieldNamed("SRF")->setText("90");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.Error(), QString("Model of C2: give a capacitor's ESL or its SRF, not both."));
    dialog.FieldNamed("SRF")->clear();
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    bench->Built()->SetPartBuild("C2", dialog.Build());
    QTRY_COMPARE(bench->Parts()->Cell(2, 5), QString("Q 50, ESR 200 m\u03a9, ESL 500 pH"));
    QCOMPARE(bench->Parts()->Cell(1, 5), QString("ideal"));
    QCOMPARE(bench->Settings().partModels->ownModels.at("C2"), std::string("Q 50, ESR 0.2, ESL 0.5n"));
    PartModelDialog again("C2", bench->Built()->PartBuildOf("C2"), "MHz", 1e6, bench);
    QCOMPARE(again.FieldNamed("ESL")->text(), QString("0.5n"));

    bench->Built()->SetPartBuild("L1", {"Q many", ""});
    QTRY_VERIFY2(bench->StatusText().contains("Model of L1: Q must be"), qPrintable(bench->StatusText()));
}

QTEST_MAIN(LadderWorkbenchTest)
#include "LadderWorkbenchTest.moc"
