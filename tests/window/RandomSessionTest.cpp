// SPDX-License-Identifier: Apache-2.0
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <deque>

#include "tests/window/WindowHarness.h"
#include "filtermath/UGain.h"
#include "run/CalculationRun.h"

using namespace corvane;

// A long session of random but legal user actions on the real window. After every action
// the window must still be there and show nothing malformed, and the design state must keep
// its invariants. The session is a fixed number of steps from a fixed seed, so every machine,
// however slow, plays the same one and must reach every filter kind, a refused run, an
// arithmetic fault and a switch to the logarithmic axis. CORVANE_SESSION_SEED picks another
// session and CORVANE_SESSION_STEPS its length; the reach is then only reported.
class RandomSessionTest : public QObject {
    Q_OBJECT
private slots:
    void randomSession();
};

namespace {

constexpr quint32 kDefaultSeed = 20240607;
constexpr int kDefaultSteps = 1500;
constexpr int kTrailLength = 25;

int EnvironmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

const char* const kFields[] = {"leN", "leRipple", "lePassF", "leFmin", "leFmax", "leR", "leFStart", "leStop", "leStep"};
const char* const kCombos[] = {"CBType", "CBModel", "CBType1", "cbScale"};

// Whole texts a user might try: good values, edge values and plain mistakes.
const char* const kTexts[] = {"3",     "0",      "00",     "0.0", "-0",  "1",     "2",      "5",     "9",
                              "12",    "99",     "-1",     "-5",  "0.5", "1e300", "1e-300", "1e308", "1e999",
                              "-1e3",  "1.5",    ".5",     "5.",  "1e",  "e5",    " 7",     "7 ",    "+4",
                              "--1",   "0x10",   "inf",    "nan", "1,5", "",      "10",     "50",    "101",
                              "1e-20", "4e-324", "1e-323", "3.0", "1e5", "-50",   "200000", "99999"};

// Characters typed one by one: the number alphabet, blanks, letters, punctuation and
// characters from outside Latin-1 (Arabic-Indic digits, full-width digits, an emoji).
// The first kNumberAlphabetSize characters make up number texts.
constexpr int kNumberAlphabetSize = 16;
const QString kAlphabet = QStringLiteral("0123456789+-.eE ,xXabfinz_'%\"\\/*#") + QChar(0x00e9) + QChar(0x00b5) +
                          QChar(0x0663) + QChar(0xff15) + QChar(0x20ac) + QChar(0x2212) + QStringLiteral("\U0001F600");

const char* const kComboTexts[] = {"LPF",       "HPF", "BPF",   "Butterworth", "Chebyshev", "T - Type",
                                   "Pi - Type", "Hz",  "kHz",   "MHz",         "GHz",       "B",
                                   "bpf",       "",    "Cheby", "GHz ",        "x"};

const QRegularExpression kValuePattern(QStringLiteral("^-?\\d\\.\\d{2}e[+-]\\d{2,3}$"));
const QRegularExpression kStepPattern(QStringLiteral("^(-?\\d+\\.\\d{3}|-?\\d\\.\\d{3}e[+-]\\d{2,3})$"));
const QRegularExpression kConversionPattern(QStringLiteral("^'.*' is not a valid (floating point|integer) value\\.$"),
                                            QRegularExpression::DotMatchesEverythingOption);

bool AllFinite(const std::vector<double>& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool AllFinite(const Sweep& values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

class Session {
public:
    Session(quint32 seed) : random_(seed) {}

    QString Step()
    {
        const int action = Pick(103);
        if (action < 30) return TypeField();
        if (action < 42) return EditField();
        if (action < 52) return ChooseItem();
        if (action < 58) return TypeInCombo();
        if (action < 68) return Calculate();
        if (action < 74) return Apply();
        if (action < 77) return ToggleLogBox();
        if (action < 90) return MoveOverChart();
        if (action < 94) return ClickOrDragOnChart();
        if (action < 100) return KeyboardStep();
        return DesignKind();
    }

    // Everything the user can see, and the design state, checked; an empty text when sound.
    QString Check()
    {
        QString fault = stepFault_;
        stepFault_.clear();
        if (fault.isEmpty()) fault = CheckWindow();
        if (fault.isEmpty()) fault = CheckChart();
        if (fault.isEmpty()) fault = CheckGrid();
        if (fault.isEmpty()) fault = CheckState();
        if (fault.isEmpty()) fault = CheckBoxes();
        Tally();
        return fault;
    }

    // How much of the window the session reached.
    struct Reach {
        int runsShown = 0;
        int curvesShown = 0;
        int gridRows = 0;
        int readouts = 0;
        int logarithmic = 0;
        int logSwitches = 0;
        int refused = 0;
        int faults = 0;
        unsigned kinds = 0;
    };
    const Reach& Reached() const { return reach_; }
    int Boxes() const { return boxesSeen_; }

    WindowHarness h;

private:
    int Pick(int count) { return static_cast<int>(random_.bounded(count)); }

    template <typename T, size_t N>
    const T& PickOf(const T (&items)[N])
    {
        return items[Pick(static_cast<int>(N))];
    }

    // A value that the field takes for a sound design, so that runs get through often.
    QString GoodText(const QString& field)
    {
        if (field == QLatin1String("leN")) return QString::number(Pick(4) == 0 ? 1 + Pick(99) : 1 + Pick(12));
        if (field == QLatin1String("leRipple")) return PickOf({"0", "0.1", "0.5", "1", "3"});
        if (field == QLatin1String("leFmin")) return PickOf({"5", "40", "9", "1e-3"});
        if (field == QLatin1String("leFmax")) return PickOf({"15", "60", "11", "2e-3"});
        if (field == QLatin1String("leFStart")) return PickOf({"1", "0", "-50", "0.1", "1000"});
        if (field == QLatin1String("leStop")) return PickOf({"101", "100", "50", "1e4", "200000"});
        return PickOf({"10", "1", "50", "75", "300"});
    }

    QString PickOf(std::initializer_list<const char*> texts)
    {
        return QString::fromLatin1(texts.begin()[Pick(static_cast<int>(texts.size()))]);
    }

    // Often a sound value, else a text from the list, a number-like string or anything at all.
    QString RandomText(const QString& field = QString())
    {
        const int kind = Pick(20);
        if (kind < 11 && !field.isEmpty()) return GoodText(field);
        if (kind < 15) return QString::fromLatin1(PickOf(kTexts));
        const int alphabet = kind < 18 ? kNumberAlphabetSize : kAlphabet.size();
        QString text;
        const int length = 1 + Pick(7);
        for (int i = 0; i < length; ++i) {
            const int at = Pick(alphabet);
            // Keep a surrogate pair whole.
            if (kAlphabet.at(at).isLowSurrogate())
                text += kAlphabet.mid(at - 1, 2);
            else if (kAlphabet.at(at).isHighSurrogate())
                text += kAlphabet.mid(at, 2);
            else
                text += kAlphabet.at(at);
        }
        return text;
    }

    // Each character as its own key press with its text, as a keyboard (or an input method) sends it.
    static void TypeCharacters(QWidget* target, const QString& text)
    {
        for (int i = 0; i < text.size(); ++i) {
            QString unit(text.at(i));
            if (text.at(i).isHighSurrogate() && i + 1 < text.size()) unit += text.at(++i);
            const char latin = unit.size() == 1 ? unit.at(0).toLatin1() : 0;
            if (latin >= 0x20 && latin < 0x7f)
                QTest::keyClick(target, latin);
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, unit, Qt::NoModifier);
        }
    }

    // A user types only into fields that take input; the read-only step display is one of them.
    const char* EnabledField()
    {
        for (;;) {
            const char* name = PickOf(kFields);
            if (h.Edit(name)->isEnabled()) return name;
        }
    }

    QString TypeField()
    {
        const char* name = EnabledField();
        QLineEdit* edit = h.Edit(name);
        const QString text = RandomText(QString::fromLatin1(name));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
        TypeCharacters(edit, text);
        return QStringLiteral("type '%1' into %2").arg(text, name);
    }

    QString EditField()
    {
        const char* name = EnabledField();
        QLineEdit* edit = h.Edit(name);
        edit->setFocus();
        static const Qt::Key keys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Home,
                                       Qt::Key_End,       Qt::Key_Left,   Qt::Key_Right};
        const Qt::Key key = PickOf(keys);
        if (Pick(3) == 0) {
            const QString text = RandomText().left(2);
            TypeCharacters(edit, text);
            return QStringLiteral("append '%1' to %2").arg(text, name);
        }
        QTest::keyClick(edit, key);
        return QStringLiteral("key %1 in %2").arg(key).arg(name);
    }

    QString ChooseItem()
    {
        const char* name = PickOf(kCombos);
        QComboBox* box = h.Combo(name);
        box->setFocus();
        static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown};
        const Qt::Key key = PickOf(keys);
        QTest::keyClick(box, key);
        return QStringLiteral("key %1 on %2").arg(key).arg(name);
    }

    QString TypeInCombo()
    {
        const char* name = PickOf(kCombos);
        const QString text = Pick(3) == 0 ? RandomText() : QString::fromLatin1(PickOf(kComboTexts));
        QLineEdit* edit = h.Combo(name)->lineEdit();
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        TypeCharacters(edit, text);
        return QStringLiteral("type '%1' into %2").arg(text, name);
    }

    QString Calculate()
    {
        if (Pick(10) == 0) {
            // The shortcut presses the button and Qt releases it, clicking, on a 100 ms timer:
            // wait for that click, so the next step never depends on the machine's speed.
            QSignalSpy clicked(h.Child<QPushButton>("BCalculate"), &QAbstractButton::clicked);
            QTest::keyClick(&h.window, Qt::Key_C, Qt::AltModifier);
            if (clicked.isEmpty() && !clicked.wait(5000)) stepFault_ = QStringLiteral("Alt+C did not click Calculate");
            return Ran(QStringLiteral("Alt+C"));
        }
        h.Calculate();
        return Ran(QStringLiteral("click Calculate"));
    }

    // A user who fills in the whole form for one filter kind and runs it: single random edits
    // alone reach a complete design of every kind only rarely.
    QString DesignKind()
    {
        const QString type = PickOf({"LPF", "HPF", "BPF"});
        const QString model = PickOf({"Butterworth", "Chebyshev"});
        h.Choose("CBType", type);
        h.Choose("CBModel", model);
        h.Choose("CBType1", PickOf({"T - Type", "Pi - Type"}));
        h.Choose("cbScale", PickOf({"Hz", "kHz", "MHz", "GHz"}));
        for (const char* name : kFields) {
            if (h.Edit(name)->isEnabled() && !h.Edit(name)->isReadOnly()) h.Type(name, GoodText(QLatin1String(name)));
        }
        h.Calculate();
        return Ran(QStringLiteral("design %1 %2").arg(model, type));
    }

    QString Ran(const QString& action)
    {
        if (h.Chart()->PointCount(0) > 0) ++reach_.runsShown;
        return action;
    }

    QString Apply()
    {
        if (Pick(3) == 0) {
            const char* name = EnabledField();
            h.Edit(name)->setFocus();
            QTest::keyClick(h.Edit(name), Qt::Key_Return);
            return Ran(QStringLiteral("Enter in %1").arg(name));
        }
        h.Click("BitBtn1");
        return Ran(QStringLiteral("click Apply"));
    }

    QString ToggleLogBox()
    {
        QTest::mouseClick(h.Child<QCheckBox>("CheckBox1"), Qt::LeftButton);
        return QStringLiteral("click Logarithmic scale");
    }

    QPoint ChartPoint()
    {
        TChart* chart = h.Chart();
        // Mostly inside the plot, where the curves are; sometimes anywhere on the chart.
        const QRect area = Pick(5) == 0 ? chart->rect() : chart->PlotRect().adjusted(-3, -3, 3, 3);
        const int width = std::max(1, area.width());
        const int height = std::max(1, area.height());
        return {area.left() + Pick(width), area.top() + Pick(height)};
    }

    // Moves over a point of a curve itself when there is one, so the readout gets its values.
    QString MoveOverChart()
    {
        TChart* chart = h.Chart();
        QPoint target = ChartPoint();
        const int series = Pick(2);
        if (Pick(2) == 0 && chart->PointCount(series) > 0) target = CurvePixel(series, Pick(chart->PointCount(series)));
        // Two moves: the hover state found at one movement is what the next one reads.
        QTest::mouseMove(chart, target);
        QTest::mouseMove(chart, target + QPoint(Pick(3) - 1, Pick(3) - 1));
        return QStringLiteral("move to %1,%2 on the chart").arg(target.x()).arg(target.y());
    }

    QPoint CurvePixel(int series, int index)
    {
        TChart* chart = h.Chart();
        const QRect plot = chart->PlotRect();
        const QPointF p = chart->PointAt(series, index);
        const auto along = [](double v, double lo, double hi, int a, int b) {
            if (!(hi > lo) || !std::isfinite(v)) return (a + b) / 2;
            return static_cast<int>(std::lround(a + (v - lo) / (hi - lo) * (b - a)));
        };
        if (chart->BottomLogarithmic()) return ChartPoint();
        return {along(p.x(), chart->BottomMinimum(), chart->BottomMaximum(), plot.left(), plot.right()),
                along(p.y(), chart->LeftMinimum(), chart->LeftMaximum(), plot.bottom(), plot.top())};
    }

    QString ClickOrDragOnChart()
    {
        TChart* chart = h.Chart();
        const QPoint from = ChartPoint();
        switch (Pick(4)) {
        case 0:
            QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, from);
            return QStringLiteral("click chart at %1,%2").arg(from.x()).arg(from.y());
        case 1:
            QTest::mouseClick(chart, Qt::RightButton, Qt::NoModifier, from);
            return QStringLiteral("right click chart");
        case 2:
            QTest::mouseDClick(chart, Qt::LeftButton, Qt::NoModifier, from);
            return QStringLiteral("double click chart");
        default: {
            const QPoint to = ChartPoint();
            QTest::mousePress(chart, Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(chart, (from + to) / 2);
            QTest::mouseMove(chart, to);
            QTest::mouseRelease(chart, Qt::LeftButton, Qt::NoModifier, to);
            return QStringLiteral("drag %1,%2 to %3,%4").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
        }
        }
    }

    QString KeyboardStep()
    {
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus ? focus : &h.window;
        static const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape};
        const Qt::Key key = PickOf(keys);
        QTest::keyClick(target, key);
        return QStringLiteral("key %1 on %2").arg(key).arg(target->objectName());
    }

    QString CheckWindow() const
    {
        if (!h.window.isVisible()) return QStringLiteral("the window is gone");
        const QLineEdit* step = h.Edit("leStep");
        if (!kStepPattern.match(step->text()).hasMatch()) return QStringLiteral("step display '%1'").arg(step->text());
        for (const char* name : {"lbX", "lbY"}) {
            const QString text = h.Child<QLabel>(name)->text();
            if (!text.isEmpty() && text != QLatin1String("0") && !kValuePattern.match(text).hasMatch())
                return QStringLiteral("readout %1 '%2'").arg(name, text);
        }
        const QString unit = QStringLiteral("(%1)").arg(h.Combo("cbScale")->currentText());
        for (int i = 1; i <= 6; ++i) {
            const QString text = h.Child<QLabel>(qPrintable(QStringLiteral("l%1").arg(i)))->text();
            if (text != unit) return QStringLiteral("unit label l%1 '%2', unit '%3'").arg(i).arg(text, unit);
        }
        return CheckEnabledFields();
    }

    // The selectors decide which fields take input.
    QString CheckEnabledFields() const
    {
        const bool bandPass = h.Combo("CBType")->currentIndex() == 2;
        const bool butterworth = h.Combo("CBModel")->currentIndex() == 0;
        if (h.Edit("leRipple")->isEnabled() == butterworth) return QStringLiteral("ripple field enabled state");
        if (h.Edit("leFmin")->isEnabled() != bandPass || h.Edit("leFmax")->isEnabled() != bandPass)
            return QStringLiteral("band edge fields enabled state");
        if (h.Edit("lePassF")->isEnabled() == bandPass) return QStringLiteral("passband field enabled state");
        return {};
    }

    QString CheckChart() const
    {
        const TChart* chart = h.Chart();
        const int count = chart->PointCount(0);
        if (chart->PointCount(1) != count || (count != 0 && count != SweepPoints))
            return QStringLiteral("curves hold %1 and %2 points").arg(count).arg(chart->PointCount(1));
        for (int s = 0; s < 2; ++s) {
            for (int i = 0; i < count; ++i) {
                const QPointF p = chart->PointAt(s, i);
                if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                    return QStringLiteral("series %1 point %2 is (%3, %4)").arg(s).arg(i).arg(p.x()).arg(p.y());
                if (i > 0 && p.x() < chart->PointAt(s, i - 1).x())
                    return QStringLiteral("series %1 not in ascending x at %2").arg(s).arg(i);
            }
        }
        for (double v : {chart->BottomMinimum(), chart->BottomMaximum(), chart->LeftMinimum(), chart->LeftMaximum()})
            if (!std::isfinite(v)) return QStringLiteral("an axis range is not finite");
        return {};
    }

    QString CheckGrid() const
    {
        const QTableWidget* grid = h.Grid();
        if (grid->columnCount() != 3) return QStringLiteral("grid has %1 columns").arg(grid->columnCount());
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString label = h.Cell(r, 0);
            int values = 0;
            for (int c = 1; c < 3; ++c) {
                const QString text = h.Cell(r, c);
                if (text.isEmpty()) continue;
                if (!kValuePattern.match(text).hasMatch())
                    return QStringLiteral("cell %1,%2 '%3'").arg(r).arg(c).arg(text);
                ++values;
            }
            if (label.isEmpty() && values > 0) return QStringLiteral("row %1 has values but no label").arg(r);
            if (!label.isEmpty() && (label != QStringLiteral("G%1").arg(r + 1) || values == 0))
                return QStringLiteral("row %1 labelled '%2' with %3 values").arg(r).arg(label).arg(values);
        }
        return {};
    }

    QString CheckState() const
    {
        const DesignState& s = h.window.State();
        if (s.Freq.size() != SweepPoints || s.Att.size() != SweepPoints) return QStringLiteral("sweep length");
        if (!AllFinite(s.Freq) || !AllFinite(s.Att))
            return QStringLiteral("a sweep or attenuation value is not finite");
        const size_t n = s.GValues.size();
        if (s.ElementValues.size() != n || s.ElementUnits.size() != n || s.BandL.size() != n || s.BandC.size() != n)
            return QStringLiteral("result arrays of different lengths");
        if (!AllFinite(s.GValues) || !AllFinite(s.ElementValues) || !AllFinite(s.BandL) || !AllFinite(s.BandC))
            return QStringLiteral("a result value is not finite");
        for (double v : {s.UnitScale, s.Order, s.Ripple, s.PassF, s.Fmin, s.Fmax, s.F0, s.RL, s.FStep})
            if (!std::isfinite(v)) return QStringLiteral("a state number is not finite");
        if (s.FilterKind < 0 || s.FilterKind > 5) return QStringLiteral("FilterKind %1").arg(s.FilterKind);
        if (s.UnitScale != 1.0 && s.UnitScale != 1e3 && s.UnitScale != 1e6 && s.UnitScale != 1e9)
            return QStringLiteral("UnitScale %1").arg(s.UnitScale);
        return {};
    }

    // Every box carries one of the system's texts, with its icon and the window's caption.
    QString CheckBoxes()
    {
        static const QStringList messages{kEnterInputsText,      kStartStopText,         kPassbandZeroText,
                                          kBandEdgeZeroText,     kEdgesPositiveText,     kEdgeOrderText,
                                          kPassbandPositiveText, kResistancePositiveText};
        static const QStringList faults{QStringLiteral("Floating point division by zero."),
                                        QStringLiteral("Invalid floating point operation."),
                                        QStringLiteral("Floating point overflow.")};
        for (; boxesSeen_ < static_cast<int>(h.boxes.size()); ++boxesSeen_) {
            const MessageBoxRecord& box = h.boxes[static_cast<size_t>(boxesSeen_)];
            if (box.caption != QLatin1String(kApplicationTitle))
                return QStringLiteral("box caption '%1'").arg(box.caption);
            const bool ok = box.icon == QMessageBox::Critical
                                ? faults.contains(box.text) || kConversionPattern.match(box.text).hasMatch()
                                : box.icon == QMessageBox::NoIcon && messages.contains(box.text);
            if (!ok) return QStringLiteral("box %1 '%2'").arg(box.icon).arg(box.text);
            // A run refused for its inputs says so without an icon; a failed conversion is a
            // typing mistake, not a refusal of the run.
            if (faults.contains(box.text))
                ++reach_.faults;
            else if (box.icon == QMessageBox::NoIcon)
                ++reach_.refused;
        }
        return {};
    }

    void Tally()
    {
        const TChart* chart = h.Chart();
        if (chart->PointCount(0) > 0) {
            ++reach_.curvesShown;
            reach_.kinds |= 1u << h.window.State().FilterKind;
        }
        int rows = 0;
        while (rows < h.Grid()->rowCount() && !h.Cell(rows, 0).isEmpty()) ++rows;
        reach_.gridRows = std::max(reach_.gridRows, rows);
        if (kValuePattern.match(h.Child<QLabel>("lbX")->text()).hasMatch()) ++reach_.readouts;
        if (chart->BottomLogarithmic()) ++reach_.logarithmic;
        if (chart->BottomLogarithmic() && !wasLogarithmic_) ++reach_.logSwitches;
        wasLogarithmic_ = chart->BottomLogarithmic();
    }

    QRandomGenerator random_;
    QString stepFault_;
    int boxesSeen_ = 0;
    bool wasLogarithmic_ = false;
    Reach reach_;
};

} // namespace

void RandomSessionTest::randomSession()
{
    const quint32 seed = static_cast<quint32>(EnvironmentNumber("CORVANE_SESSION_SEED", kDefaultSeed));
    const int steps = EnvironmentNumber("CORVANE_SESSION_STEPS", kDefaultSteps);
    Session session(seed);
    QPointer<TFMain> window(&session.h.window);
    std::deque<QString> trail;
    for (int done = 0; done < steps; ++done) {
        trail.push_back(session.Step());
        if (trail.size() > kTrailLength) trail.pop_front();
        QCoreApplication::processEvents();
        QVERIFY2(window, "the window was destroyed");
        const QString fault = session.Check();
        if (!fault.isEmpty()) {
            QStringList lines{QStringLiteral("seed %1, step %2: %3").arg(seed).arg(done).arg(fault),
                              QStringLiteral("last actions:")};
            for (const QString& action : trail) lines << QStringLiteral("  ") + action;
            QFAIL(qPrintable(lines.join('\n')));
        }
    }
    const Session::Reach& reach = session.Reached();
    qInfo("seed %u: %d steps, %d message boxes (%d refusals, %d arithmetic faults); %d runs shown, curves at %d "
          "steps (kinds 0x%x), up to %d grid rows, readout at %d steps, logarithmic axis at %d steps (%d switches)",
          seed, steps, session.Boxes(), reach.refused, reach.faults, reach.runsShown, reach.curvesShown, reach.kinds,
          reach.gridRows, reach.readouts, reach.logarithmic, reach.logSwitches);
    // Another seed or length is an exploration; the reach is a promise of the default session only.
    if (seed != kDefaultSeed || steps != kDefaultSteps) return;
    QCOMPARE(reach.kinds, 0x3fu);
    QVERIFY2(reach.refused > 0, "no run was refused");
    QVERIFY2(reach.faults > 0, "no arithmetic fault was raised");
    QVERIFY2(reach.logSwitches > 0, "the axis never switched to logarithmic");
}

QTEST_MAIN(RandomSessionTest)
#include "RandomSessionTest.moc"
