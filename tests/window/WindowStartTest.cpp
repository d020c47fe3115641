// SPDX-License-Identifier: Apache-2.0
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QScreen>
#include <QStyleOptionGroupBox>
#include <QtTest>

#include "design/SelectorItems.h"
#include "tests/window/WindowHarness.h"

using namespace corvane;

// The window as it opens: controls, texts, places, enabled states and the design state.
class WindowStartTest : public QObject {
    Q_OBJECT
private slots:
    void textsAtStart_data();
    void textsAtStart();
    void selectorItemsAreTheRunsItems();
    void enabledAtStart_data();
    void enabledAtStart();
    void placesAndSizes_data();
    void placesAndSizes();
    void fieldCaptionsSitLeftOfTheirFields_data();
    void fieldCaptionsSitLeftOfTheirFields();
    void everyCaptionFitsItsPlace();
    void groupTitlesSitOnTheFrameClearOfControls();
    void lengthLimits_data();
    void lengthLimits();
    void designStateAtStart();
    void gridShowsOnlyItsHeader();
    void windowFrame();
    void stepDisplayLooksLikeADisplay();
    void applyIsTheDefaultButtonWithACheckMark();
    void separatorLineAlongTheTop();
    void tabOrder();
};

void WindowStartTest::textsAtStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const std::vector<std::pair<const char*, const char*>> rows{
        {"leN", "3"},
        {"leRipple", "0"},
        {"lePassF", "10"},
        {"leFmin", ""},
        {"leFmax", ""},
        {"leR", "50"},
        {"leFStart", "1"},
        {"leStop", "101"},
        {"leStep", "1.000"},
        {"CBType", "LPF"},
        {"CBModel", "Butterworth"},
        {"CBType1", "T - Type"},
        {"cbScale", "MHz"},
        {"l1", "(MHz)"},
        {"l2", "(MHz)"},
        {"l3", "(MHz)"},
        {"l4", "(MHz)"},
        {"l5", "(MHz)"},
        {"l6", "(MHz)"},
        {"lUnit", "Units"},
        {"lRipple", "(dB)"},
        {"Label1", "(Ohm)"},
        {"Label11", "X="},
        {"lbX", "0"},
        {"Label12", "; Y="},
        {"lbY", "0"},
        {"Label2", "Att. [dB]"},
        {"Label3", "S11, [dB]"},
        {"leNLabel", "Number of Poles"},
        {"leRippleLabel", "Passband Ripple"},
        {"lePassFLabel", "Passband Frequency"},
        {"leFminLabel", "Fmin"},
        {"leFmaxLabel", "Fmax"},
        {"leRLabel", "RL"},
        {"leFStartLabel", "Start"},
        {"leStopLabel", "Stop"},
        {"leStepLabel", "Step"},
        {"BCalculate", "&Calculate"},
        {"BitBtn1", "Apply"},
        {"CheckBox1", "Logarithmic scale"},
        {"GBType", "Filter Type"},
        {"GBInputs1", "Inputs"},
        {"gbGraph", "Graph Parameters"},
        {"GroupBox1", "Axis X"},
    };
    for (const auto& [name, text] : rows) QTest::newRow(name) << QString(name) << QString(text);
}

static QString ShownText(QWidget* widget)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    return QStringLiteral("<no text>");
}

void WindowStartTest::textsAtStart()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    WindowHarness h;
    QCOMPARE(ShownText(h.Child(name.toLatin1().constData())), text);
}

// The form lists its own items; the run, the command line and design files know each item as the
// value it stands for. Both must agree item for item.
void WindowStartTest::selectorItemsAreTheRunsItems()
{
    WindowHarness h;
    const std::pair<const char*, Selector> selectors[] = {{"CBType", Selector::Type},
                                                          {"CBModel", Selector::Model},
                                                          {"CBType1", Selector::Topology},
                                                          {"cbScale", Selector::Scale}};
    for (const auto& [name, selector] : selectors) {
        const QComboBox* combo = h.Combo(name);
        for (int i = 0; i < combo->count(); ++i) {
            const char* item = SelectorItemText(selector, i);
            QVERIFY2(item, name);
            QCOMPARE(combo->itemText(i), QString::fromUtf8(item));
        }
        QVERIFY2(!SelectorItemText(selector, combo->count()), name);
    }
}

void WindowStartTest::enabledAtStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    const std::vector<std::pair<const char*, bool>> rows{
        {"leRipple", false},    {"leFmin", false},      {"leFmax", false},      {"lePassF", true},
        {"leN", true},          {"leR", true},          {"leFStart", true},     {"leStop", true},
        {"CBType", true},       {"CBModel", true},      {"CBType1", true},      {"cbScale", true},
        {"BCalculate", true},   {"BitBtn1", true},      {"CheckBox1", true},    {"leRippleLabel", false},
        {"leFminLabel", false}, {"leFmaxLabel", false}, {"lePassFLabel", true},
    };
    for (const auto& [name, enabled] : rows) QTest::newRow(name) << QString(name) << enabled;
}

void WindowStartTest::enabledAtStart()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    WindowHarness h;
    QCOMPARE(h.Child(name.toLatin1().constData())->isEnabled(), enabled);
}

void WindowStartTest::placesAndSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    const std::vector<std::pair<const char*, QRect>> rows{
        {"GBType", {2, 6, 209, 99}},        {"CBType", {74, 18, 99, 21}},      {"CBModel", {74, 44, 99, 21}},
        {"CBType1", {74, 70, 99, 21}},      {"GBInputs1", {2, 110, 209, 229}}, {"cbScale", {112, 12, 59, 21}},
        {"leN", {112, 38, 59, 21}},         {"leRipple", {112, 64, 59, 21}},   {"lePassF", {112, 90, 59, 21}},
        {"leFmin", {112, 118, 59, 21}},     {"leFmax", {112, 148, 59, 21}},    {"leR", {112, 172, 59, 21}},
        {"BCalculate", {112, 200, 59, 25}}, {"chGain", {218, 12, 407, 299}},   {"Panel2", {217, 314, 408, 23}},
        {"Shape1", {208, 8, 17, 3}},        {"Shape2", {316, 8, 17, 3}},       {"PB1", {2, 342, 249, 121}},
        {"SG1", {254, 342, 215, 175}},      {"gbGraph", {472, 342, 153, 175}}, {"GroupBox1", {6, 24, 143, 115}},
        {"leFStart", {38, 16, 59, 21}},     {"leStop", {38, 40, 59, 21}},      {"leStep", {38, 64, 59, 21}},
        {"CheckBox1", {38, 92, 103, 17}},   {"BitBtn1", {90, 144, 59, 25}},
    };
    for (const auto& [name, place] : rows) QTest::newRow(name) << QString(name) << place;
}

void WindowStartTest::placesAndSizes()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    WindowHarness h;
    QCOMPARE(h.Child(name.toLatin1().constData())->geometry(), place);
}

void WindowStartTest::fieldCaptionsSitLeftOfTheirFields_data()
{
    QTest::addColumn<QString>("field");
    for (const char* field : {"leN", "leRipple", "lePassF", "leFmin", "leFmax", "leR", "leFStart", "leStop", "leStep"})
        QTest::newRow(field) << QString(field);
}

void WindowStartTest::fieldCaptionsSitLeftOfTheirFields()
{
    QFETCH(QString, field);
    WindowHarness h;
    const QWidget* edit = h.Child(field.toLatin1().constData());
    const auto* caption = h.Child<QLabel>((field + "Label").toLatin1().constData());
    QCOMPARE(caption->parentWidget(), edit->parentWidget());
    QCOMPARE(caption->buddy(), edit);
    // Right-aligned text in a box that ends 5 px before the field, centred on the field's height.
    QVERIFY(caption->alignment() & Qt::AlignRight);
    QVERIFY(caption->alignment() & Qt::AlignVCenter);
    QCOMPARE(caption->geometry().right() + 1 + 5, edit->geometry().left());
    QCOMPARE(caption->geometry().center().y(), edit->geometry().center().y());
    QVERIFY(caption->geometry().left() >= 0);
}

// Every caption is drawn whole in the chosen font: its text fits its own box and the box
// lies inside its group.
void WindowStartTest::everyCaptionFitsItsPlace()
{
    WindowHarness h;
    int checked = 0;
    for (QWidget* widget : h.window.findChildren<QWidget*>()) {
        QString text;
        int room = widget->width();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            text = box->text();
            room -= box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                    box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        } else {
            continue;
        }
        if (text.isEmpty()) continue;
        ++checked;
        const int needed = widget->fontMetrics().horizontalAdvance(text);
        QVERIFY2(needed <= room,
                 qPrintable(QString("%1 needs %2 px, has %3").arg(widget->objectName()).arg(needed).arg(room)));
        const QRect inParent = widget->geometry();
        QVERIFY2(widget->parentWidget()->rect().contains(inParent),
                 qPrintable(widget->objectName() + " sticks out of its group"));
    }
    QCOMPARE(checked, 25);
}

void WindowStartTest::groupTitlesSitOnTheFrameClearOfControls()
{
    WindowHarness h;
    const QList<QGroupBox*> groups = h.window.findChildren<QGroupBox*>();
    QCOMPARE(groups.size(), 4);
    for (QGroupBox* group : groups) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect title =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        const QRect frame =
            group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, group);
        QVERIFY(title.width() >= group->fontMetrics().horizontalAdvance(group->title()));
        QVERIFY(group->rect().contains(title));
        QVERIFY(title.top() < frame.top() && frame.top() < title.bottom());
        for (QWidget* child : group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(!child->geometry().intersects(title), qPrintable(child->objectName() + " covers a title"));
            QVERIFY2(child->geometry().top() > frame.top(), qPrintable(child->objectName() + " crosses the frame"));
        }
    }
}

void WindowStartTest::lengthLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("poles") << "leN"
                           << "123"
                           << "12";
    QTest::newRow("passband") << "lePassF"
                              << "1234567"
                              << "12345";
    QTest::newRow("resistance") << "leR"
                                << "75.0001"
                                << "75.00";
    QTest::newRow("sweep start, no limit") << "leFStart"
                                           << "0.000001"
                                           << "0.000001";
    QTest::newRow("sweep stop, no limit") << "leStop"
                                          << "123456789"
                                          << "123456789";
}

void WindowStartTest::lengthLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    WindowHarness h;
    h.Type(field.toLatin1().constData(), typed);
    QCOMPARE(h.Text(field.toLatin1().constData()), kept);
}

void WindowStartTest::designStateAtStart()
{
    WindowHarness h;
    const DesignState& state = h.window.State();
    QCOMPARE(state.FilterKind, 0);
    QCOMPARE(state.UnitScale, 1e6);
    QCOMPARE(state.FStep, 1.0);
    for (int i = 0; i < SweepPoints; ++i) QCOMPARE(state.Freq[static_cast<size_t>(i)], i + 1.0);
    QCOMPARE(h.Chart()->Title(), QString());
    QCOMPARE(h.Chart()->PointCount(0), 0);
    QCOMPARE(h.Chart()->PointCount(1), 0);
    QVERIFY(!h.Child<QCheckBox>("CheckBox1")->isChecked());
    QVERIFY(h.boxes.empty());
}

void WindowStartTest::gridShowsOnlyItsHeader()
{
    WindowHarness h;
    QTableWidget* grid = h.Grid();
    QCOMPARE(grid->columnCount(), 3);
    const QStringList header{"Poles", "C, [F]", "L, [H]"};
    for (int c = 0; c < 3; ++c) QCOMPARE(grid->horizontalHeaderItem(c)->text(), header[c]);
    QVERIFY(grid->horizontalHeader()->isVisible());
    QVERIFY(!grid->verticalHeader()->isVisible());
    QCOMPARE(grid->horizontalHeader()->height(), 18);
    QCOMPARE(grid->rowCount(), 11);
    for (int r = 0; r < grid->rowCount(); ++r) {
        QCOMPARE(grid->rowHeight(r), 18);
        for (int c = 0; c < 3; ++c) QCOMPARE(h.Cell(r, c), QString());
    }
}

void WindowStartTest::windowFrame()
{
    WindowHarness h;
    QCOMPARE(h.window.windowTitle(), QString("Corvane"));
    QCOMPARE(h.window.size(), QSize(628, 522));
    QCOMPARE(h.window.minimumSize(), h.window.maximumSize());
    const Qt::WindowFlags flags = h.window.windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    const QPoint screenCentre = h.window.screen()->availableGeometry().center();
    // Centred before the frame is known, so the frame's own margins may shift it a little.
    const QPoint offCentre = h.window.frameGeometry().center() - screenCentre;
    QVERIFY(qAbs(offCentre.x()) <= 4 && qAbs(offCentre.y()) <= 4);
    QCOMPARE(h.window.font().pixelSize(), 11);
    QCOMPARE(QFontInfo(h.window.font()).family(), QString("Liberation Sans"));
    QVERIFY(h.Child("Panel2")->font().bold());
    QVERIFY(h.Child("lbX")->font().bold());
    QVERIFY(!h.Child("leN")->font().bold());
}

void WindowStartTest::stepDisplayLooksLikeADisplay()
{
    WindowHarness h;
    QLineEdit* step = h.Edit("leStep");
    QVERIFY(step->isReadOnly());
    QVERIFY(!step->hasFrame());
    QCOMPARE(step->palette().color(QPalette::Text), QColor(Qt::blue));
    h.TypeInto(step, "7");
    QCOMPARE(step->text(), QString("1.000"));
}

void WindowStartTest::applyIsTheDefaultButtonWithACheckMark()
{
    WindowHarness h;
    auto* apply = h.Child<QPushButton>("BitBtn1");
    QVERIFY(apply->isDefault());
    QVERIFY(!apply->icon().isNull());
    const QImage glyph = apply->icon().pixmap(16, 16).toImage();
    int green = 0;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            const QColor c = glyph.pixelColor(x, y);
            if (c.alpha() > 128 && c.green() > 2 * c.red()) ++green;
        }
    QVERIFY(green > 10);
    QVERIFY(!h.Child<QPushButton>("BCalculate")->isDefault());
}

void WindowStartTest::separatorLineAlongTheTop()
{
    WindowHarness h;
    const QImage shot = h.window.grab().toImage();
    for (int x : {0, 200, 400, 627}) {
        QCOMPARE(shot.pixelColor(x, 4), QColor(Qt::black));
        QVERIFY(shot.pixelColor(x, 2) != QColor(Qt::black));
    }
}

// Tab walks the enabled controls in the order of the groups; disabled fields are skipped.
void WindowStartTest::tabOrder()
{
    WindowHarness h;
    h.Child("CBType")->setFocus();
    QStringList visited;
    for (int i = 0; i < 20 && visited.size() < 14; ++i) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus);
        while (focus && focus->parentWidget() != nullptr && focus->objectName().isEmpty())
            focus = focus->parentWidget();
        // The chart may take part in the chain through its inner view; it has no field of its own.
        if (h.Chart()->isAncestorOf(focus) || focus == h.Chart()) focus = h.Chart();
        if (focus != h.Chart() && (visited.isEmpty() || visited.last() != focus->objectName()))
            visited << focus->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QStringList expected{"CBType", "CBModel", "CBType1", "leN",    "cbScale",  "lePassF",   "BCalculate",
                               "leR",    "BitBtn1", "leStep",  "leStop", "leFStart", "CheckBox1", "SG1"};
    QCOMPARE(visited, expected);
}

QTEST_MAIN(WindowStartTest)
#include "WindowStartTest.moc"
