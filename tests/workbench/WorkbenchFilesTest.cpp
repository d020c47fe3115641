// SPDX-License-Identifier: Apache-2.0
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <sstream>

#include "chart/TChart.h"
#include "tests/window/WindowHarness.h"
#include "window/TFMain.h"
#include "workbench/MainWindow.h"

using namespace corvane;

namespace {

// A shown workbench whose boxes are recorded and answered, and whose file dialogs return a
// path chosen by the test.
struct Bench {
    MainWindow main;
    std::vector<WorkbenchBox> boxes;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    QString chosenFile;

    Bench()
    {
        main.SetBoxHook([this](const WorkbenchBox& box) {
            boxes.push_back(box);
            return box.buttons.testFlag(QMessageBox::Save) ? answer : QMessageBox::Ok;
        });
        main.SetFileHook([this](const QString&, const QString&) { return chosenFile; });
        main.DesignWindow()->SetMessageBoxHook(
            [](const MessageBoxRecord& box) { QFAIL(qPrintable("unexpected box: " + box.text)); });
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
    }

    template <typename T = QLineEdit>
    T* Child(const char* name) const
    {
        return main.DesignWindow()->findChild<T*>(QString::fromLatin1(name));
    }
    void Type(const char* field, const QString& text) const { WindowHarness::TypeInto(Child(field), text); }
    QString Text(const char* field) const { return Child(field)->text(); }
};

// Every control a design file restores, as the user sees it.
QStringList Snapshot(const Bench& b)
{
    QStringList shown;
    for (const char* field : {"leN", "leRipple", "lePassF", "leFmin", "leFmax", "leR", "leFStart", "leStop", "leStep"})
        shown << b.Text(field);
    for (const char* box : {"CBType", "CBModel", "CBType1", "cbScale"}) shown << b.Child<QComboBox>(box)->currentText();
    shown << (b.Child<QCheckBox>("CheckBox1")->isChecked() ? "log" : "linear");
    return shown;
}

void TypeBandPassDesign(Bench& b)
{
    b.Child<QComboBox>("CBType")->setCurrentIndex(2);
    b.Child<QComboBox>("CBModel")->setCurrentIndex(1);
    b.Child<QComboBox>("CBType1")->setCurrentIndex(1);
    b.Child<QComboBox>("cbScale")->setCurrentIndex(1);
    b.Type("leN", "5");
    b.Type("leRipple", "0.2");
    b.Type("leFmin", "88");
    b.Type("leFmax", "108");
    b.Type("leR", "75");
    b.Type("leStop", "201");
    b.Child<QCheckBox>("CheckBox1")->setChecked(true);
}

} // namespace

class WorkbenchFilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void menuBarSitsAboveAnUnchangedDesignArea();
    void saveNewOpenRestoresTheDesignAndRunsIt();
    void badFileChangesNothing();
    void unsavedEditsPrompt();
    void csvExportOfTheLastRun();
    void everyMenuShortcutWorksFromAField();
    void aSelectorTextThatIsNoItemIsNotSaved();
    void statusLineStatesTheLoadAnEvenChebyshevNeeds_data();
    void statusLineStatesTheLoadAnEvenChebyshevNeeds();
};

void WorkbenchFilesTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("corvane-tests"));
}

void WorkbenchFilesTest::menuBarSitsAboveAnUnchangedDesignArea()
{
    Bench b;
    TFMain bare;
    TFMain* area = b.main.DesignWindow();
    QCOMPARE(b.main.windowTitle(), QStringLiteral("Corvane[*]"));
    QVERIFY(!b.main.isWindowModified());
    QCOMPARE(area->size(), QSize(628, 522));
    QCOMPARE(area->y(), b.main.menuBar()->height());
    // The window is the design area between the menu bar and the status line, whatever size is asked.
    const QSize fixed(628, 522 + b.main.menuBar()->height() + b.main.statusBar()->height());
    QCOMPARE(b.main.size(), fixed);
    for (const QSize asked : {QSize(1590, 990), QSize(300, 200)}) {
        b.main.resize(asked);
        QCOMPARE(b.main.size(), fixed);
    }
    for (const QWidget* child : bare.findChildren<QWidget*>()) {
        // The form's own controls; Qt's inner parts are named "qt_...".
        if (child->objectName().isEmpty() || child->objectName().startsWith("qt_")) continue;
        const QWidget* same = area->findChild<QWidget*>(child->objectName());
        QVERIFY2(same && same->geometry() == child->geometry(), qPrintable(child->objectName()));
    }
    QStringList titles;
    for (const QAction* menu : b.main.menuBar()->actions()) titles << menu->text();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Analysis", "&Help"}));
    QMap<QString, QString> keys;
    for (const QAction* menu : b.main.menuBar()->actions())
        for (const QAction* action : menu->menu()->actions())
            if (!action->shortcut().isEmpty()) keys[action->text().remove('&')] = action->shortcut().toString();
    const QMap<QString, QString> expected{{"New", "Ctrl+N"},
                                          {"Open...", "Ctrl+O"},
                                          {"Save", "Ctrl+S"},
                                          {"Save As...", "Ctrl+Shift+S"},
                                          {"Quit", "Ctrl+Q"},
                                          {"Copy Element Table", "Ctrl+C"},
                                          {"Ladder Workbench...", "Ctrl+E"},
                                          {"Tolerance Analysis...", "Ctrl+T"},
                                          {"Keyboard Shortcuts", "F1"}};
    QCOMPARE(keys, expected);
}

void WorkbenchFilesTest::saveNewOpenRestoresTheDesignAndRunsIt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("band.corvane"));
    Bench b;
    TypeBandPassDesign(b);
    ExactResponseSettings exact;
    exact.series = "E12";
    exact.points = 2001;
    b.main.SetExactSettings(exact);
    const QStringList typed = Snapshot(b);
    QVERIFY(b.main.isWindowModified());
    QVERIFY(b.main.SaveDesign(path));
    QCOMPARE(b.main.windowTitle(), QStringLiteral("band.corvane[*] - Corvane"));
    QVERIFY(!b.main.isWindowModified());
    QCOMPARE(MainWindow::RecentFiles().value(0), path);

    b.main.NewDesign();
    QVERIFY(b.boxes.empty());
    QCOMPARE(b.Text("leN"), QStringLiteral("3"));
    QCOMPARE(b.main.windowTitle(), QStringLiteral("Corvane[*]"));

    QSignalSpy loaded(&b.main, &MainWindow::ExactSettingsLoaded);
    QVERIFY(b.main.OpenDesign(path));
    QCOMPARE(Snapshot(b), typed);
    QCOMPARE(b.main.ExactSettings(), exact);
    QCOMPARE(loaded.count(), 1);
    QVERIFY(!b.main.isWindowModified());
    // The run happened: the same inputs calculated by hand in a bare window give the same grid.
    WindowHarness bare;
    bare.Choose("CBType", "BPF");
    bare.Choose("CBModel", "Chebyshev");
    bare.Choose("CBType1", "Pi - Type");
    bare.Choose("cbScale", "kHz");
    for (const char* field : {"leN", "leRipple", "leFmin", "leFmax", "leR", "leStop"}) bare.Type(field, b.Text(field));
    bare.Calculate();
    const QTableWidget* grid = b.Child<QTableWidget>("SG1");
    QCOMPARE(b.Child<TChart>("chGain")->PointCount(0), 100);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 3; ++c) QCOMPARE(grid->item(r, c)->text(), bare.Grid()->item(r, c)->text());
}

void WorkbenchFilesTest::badFileChangesNothing()
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.corvane"));
    const QString bad = dir.filePath(QStringLiteral("bad.corvane"));
    Bench b;
    b.Type("leN", "4");
    QVERIFY(b.main.SaveDesign(good));
    b.Type("leR", "60");
    std::ifstream in(good.toStdString());
    std::stringstream text;
    text << in.rdbuf();
    std::string broken = text.str();
    broken.replace(broken.find("\"type\": 0"), 9, "\"type\": 9");
    std::ofstream(bad.toStdString()) << broken;

    const QStringList before = Snapshot(b);
    QVERIFY(!b.main.OpenDesign(bad));
    QCOMPARE(b.boxes.size(), size_t(1));
    QVERIFY(b.boxes[0].text.contains(bad));
    QVERIFY(b.boxes[0].text.contains("'selectors.type' is out of range"));
    QCOMPARE(Snapshot(b), before);
    QCOMPARE(b.main.DesignPath(), good);
    QVERIFY(b.main.isWindowModified());
}

void WorkbenchFilesTest::unsavedEditsPrompt()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.corvane"));
    Bench b;
    b.Type("lePassF", "12");
    // Cancel: nothing changes, and closing is refused.
    b.answer = QMessageBox::Cancel;
    b.main.NewDesign();
    QCOMPARE(b.boxes.size(), size_t(1));
    QCOMPARE(b.boxes[0].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(b.Text("lePassF"), QStringLiteral("12"));
    QVERIFY(!b.main.close());
    QVERIFY(b.main.isVisible());
    // Save: the file dialog's choice is written before the new design starts.
    b.answer = QMessageBox::Save;
    b.chosenFile = path;
    b.main.NewDesign();
    QCOMPARE(b.Text("lePassF"), QStringLiteral("10"));
    QVERIFY(b.main.OpenDesign(path));
    QCOMPARE(b.Text("lePassF"), QStringLiteral("12"));
    // Typing the saved text back is no edit; another text is, and Discard drops it.
    b.boxes.clear();
    b.Type("lePassF", "13");
    QVERIFY(b.main.isWindowModified());
    b.Type("lePassF", "12");
    QVERIFY(!b.main.isWindowModified());
    b.Type("lePassF", "13");
    b.answer = QMessageBox::Discard;
    QVERIFY(b.main.close());
    QCOMPARE(b.boxes.size(), size_t(1));
}

void WorkbenchFilesTest::csvExportOfTheLastRun()
{
    QTemporaryDir dir;
    Bench b;
    b.chosenFile = dir.filePath(QStringLiteral("response.csv"));
    b.main.ExportCsv();
    QCOMPARE(b.boxes.size(), size_t(1)); // nothing calculated yet
    QVERIFY(!QFile::exists(b.chosenFile));
    b.Type("leN", "1");
    b.Type("lePassF", "1");
    QTest::mouseClick(b.Child<QPushButton>("BCalculate"), Qt::LeftButton);
    b.main.ExportCsv();
    QFile file(b.chosenFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 101);
    QCOMPARE(lines[0], QStringLiteral("Frequency (MHz),Attenuation (dB),S11 (dB)"));
    // A first-order Butterworth at its edge: -3.0103 dB, and S11 equals it there.
    const QStringList edge = lines[1].split(',');
    QCOMPARE(edge[0].toDouble(), 1.0);
    QVERIFY(std::fabs(edge[1].toDouble() + 3.0103) < 1e-4);
    QVERIFY(std::fabs(edge[2].toDouble() + 3.0103) < 1e-4);
    // Power conservation at every point: |S21|^2 + |S11|^2 = 1.
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList row = lines[i].split(',');
        const double sum = std::pow(10.0, row[1].toDouble() / 10) + std::pow(10.0, row[2].toDouble() / 10);
        QVERIFY2(std::fabs(sum - 1) < 1e-9, qPrintable(lines[i]));
    }
    // The chart alone as a picture at the size asked, the suffix picking PNG or SVG, with the
    // frequency unit and a legend; the chart on screen keeps its size and axis title.
    const QSize onScreen = b.Child<TChart>("chGain")->size();
    b.main.SetImageSizeHook([](QSize) { return std::optional<QSize>(QSize(1000, 700)); });
    b.chosenFile = dir.filePath(QStringLiteral("chart.png"));
    b.main.ExportChartImage();
    QCOMPARE(QImage(b.chosenFile).size(), QSize(1000, 700));
    b.chosenFile = dir.filePath(QStringLiteral("chart.svg"));
    b.main.ExportChartImage();
    QFile svg(b.chosenFile);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    QVERIFY(drawing.startsWith("<?xml") && drawing.contains("<svg"));
    for (const char* text : {"Frequency, MHz", "Att. [dB]", "S11 [dB]"}) QVERIFY2(drawing.contains(text), text);
    QCOMPARE(b.Child<TChart>("chGain")->size(), onScreen);
    QCOMPARE(b.boxes.size(), size_t(1));
}

// The design window opens with the cursor in a field, where Ctrl+E is a line-editing key; every
// key of the menus reaches its action from any field, and the clipboard keys stay the field's.
void WorkbenchFilesTest::everyMenuShortcutWorksFromAField()
{
    Bench b;
    b.answer = QMessageBox::Cancel;
    QList<QAction*> actions;
    for (QAction* menu : b.main.menuBar()->actions())
        for (QAction* action : menu->menu()->actions())
            if (!action->shortcut().isEmpty() && action->shortcut() != QKeySequence(Qt::CTRL | Qt::Key_C) &&
                action->menuRole() != QAction::QuitRole)
                actions << action;
    QVERIFY(actions.size() >= 7);
    for (const char* name : {"leN", "lePassF", "leFStart"}) {
        QLineEdit* field = b.Child(name);
        for (QAction* action : actions) {
            // The offscreen platform lets the window fall inactive after a file action.
            QApplication::setActiveWindow(&b.main);
            field->setFocus();
            QSignalSpy triggered(action, &QAction::triggered);
            const QKeyCombination keys = action->shortcut()[0];
            QTest::keyClick(field, keys.key(), keys.keyboardModifiers());
            QVERIFY2(triggered.size() == 1, qPrintable(QString("%1 in %2").arg(action->text(), name)));
        }
    }
    // Ctrl+C in a field copies the field's text, not the element table.
    QAction* copyTable = nullptr;
    for (QAction* action : b.main.findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_C)) copyTable = action;
    QVERIFY(copyTable);
    QSignalSpy copied(copyTable, &QAction::triggered);
    QTest::keyClick(b.Child("leN"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copied.size(), 0);
}

// A typed approximation such as "Foo" designs nothing, and a file holding it would be refused by
// the command line: the save is refused with a message and no file is written.
void WorkbenchFilesTest::aSelectorTextThatIsNoItemIsNotSaved()
{
    Bench b;
    QTemporaryDir dir;
    const QString path = dir.filePath("foo.corvane");
    WindowHarness::TypeInto(b.Child<QComboBox>("CBModel")->lineEdit(), "Foo");
    QVERIFY(!b.main.SaveDesign(path));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(b.boxes.size(), size_t(1));
    QVERIFY2(b.boxes[0].text.contains("approximation") && b.boxes[0].text.contains("\"Foo\""),
             qPrintable(b.boxes[0].text));
    b.Child<QComboBox>("CBModel")->setCurrentIndex(1);
    QVERIFY(b.main.SaveDesign(path));
    QVERIFY(QFile::exists(path));
}

// Published prototype values (Matthaei, Young and Jones, table 4.05-2): the last g of an even-order
// 0.5 dB Chebyshev is 1.9841, so a 50 ohm source needs 99.2 ohms; at 0.1 dB, N = 4, g5 = 1.3554: 67.8 ohms.
void WorkbenchFilesTest::statusLineStatesTheLoadAnEvenChebyshevNeeds_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("poles");
    QTest::addColumn<QString>("ripple");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Chebyshev 4, 0.5 dB") << "Chebyshev"
                                         << "4"
                                         << "0.5"
                                         << "needs a load of 99.2 \u03a9";
    QTest::newRow("Chebyshev 4, 0.1 dB") << "Chebyshev"
                                         << "4"
                                         << "0.1"
                                         << "needs a load of 67.8 \u03a9";
    QTest::newRow("Chebyshev 5, 0.5 dB") << "Chebyshev"
                                         << "5"
                                         << "0.5"
                                         << "Source and load 50.0 \u03a9.";
    QTest::newRow("Butterworth 4") << "Butterworth"
                                   << "4"
                                   << "0"
                                   << "Source and load 50.0 \u03a9.";
}

void WorkbenchFilesTest::statusLineStatesTheLoadAnEvenChebyshevNeeds()
{
    QFETCH(QString, model);
    QFETCH(QString, poles);
    QFETCH(QString, ripple);
    QFETCH(QString, expected);
    Bench b;
    auto* box = b.Child<QComboBox>("CBModel");
    box->setCurrentIndex(box->findText(model));
    b.Type("leN", poles);
    if (model == "Chebyshev") b.Type("leRipple", ripple);
    b.main.DesignWindow()->BCalculateClick();
    QVERIFY2(b.main.StatusLine().contains(expected), qPrintable(b.main.StatusLine()));
    QVERIFY(b.main.statusBar()->geometry().top() >= b.main.DesignWindow()->geometry().bottom());
}

QTEST_MAIN(WorkbenchFilesTest)
#include "WorkbenchFilesTest.moc"
