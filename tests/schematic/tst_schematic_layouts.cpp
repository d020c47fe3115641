#include <QtTest>

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "PixelProbe.h"
#include "UDrawF.h"

using probe::Ink;

namespace {

enum class Sort { SeriesL, SeriesC, ShuntC, ShuntL, SeriesLC, ShuntLC };

struct Element {
    Sort sort;
    int x;
    QPoint label;
};

struct Wire {
    int from;
    int to;
};

struct Expected {
    const char* name;
    SchematicLayout draw;
    Element elements[5];
    std::vector<Wire> rail;
};

const Expected kLayouts[] = {
    {"DrawLowPassTOdd", DrawLowPassTOdd,
     {{Sort::SeriesL, 40, {45, 3}}, {Sort::ShuntC, 80, {90, 45}}, {Sort::SeriesL, 90, {95, 3}},
      {Sort::ShuntC, 160, {170, 45}}, {Sort::SeriesL, 170, {175, 3}}},
     {{13, 40}, {70, 90}, {120, 170}, {200, 237}}},
    {"DrawLowPassTEven", DrawLowPassTEven,
     {{Sort::SeriesL, 40, {45, 3}}, {Sort::ShuntC, 80, {90, 45}}, {Sort::SeriesL, 90, {95, 3}},
      {Sort::SeriesL, 150, {155, 3}}, {Sort::ShuntC, 190, {200, 45}}},
     {{13, 40}, {70, 90}, {120, 150}, {180, 237}}},
    {"DrawLowPassPiOdd", DrawLowPassPiOdd,
     {{Sort::ShuntC, 40, {50, 45}}, {Sort::SeriesL, 50, {55, 3}}, {Sort::ShuntC, 90, {100, 45}},
      {Sort::SeriesL, 150, {155, 3}}, {Sort::ShuntC, 190, {200, 45}}},
     {{13, 50}, {80, 150}, {180, 237}}},
    {"DrawLowPassPiEven", DrawLowPassPiEven,
     {{Sort::ShuntC, 40, {50, 45}}, {Sort::SeriesL, 50, {55, 3}}, {Sort::ShuntC, 90, {100, 45}},
      {Sort::ShuntC, 160, {170, 45}}, {Sort::SeriesL, 170, {175, 3}}},
     {{13, 50}, {80, 170}, {200, 237}}},
    {"DrawHighPassTOdd", DrawHighPassTOdd,
     {{Sort::SeriesC, 40, {30, 3}}, {Sort::ShuntL, 80, {95, 45}}, {Sort::SeriesC, 115, {105, 3}},
      {Sort::ShuntL, 180, {195, 45}}, {Sort::SeriesC, 200, {195, 3}}},
     {{13, 40}, {45, 115}, {120, 200}, {205, 237}}},
    {"DrawHighPassTEven", DrawHighPassTEven,
     {{Sort::SeriesC, 40, {30, 3}}, {Sort::ShuntL, 80, {95, 45}}, {Sort::SeriesC, 115, {105, 3}},
      {Sort::SeriesC, 170, {160, 3}}, {Sort::ShuntL, 190, {205, 45}}},
     {{13, 40}, {45, 115}, {120, 170}, {175, 237}}},
    {"DrawHighPassPiOdd", DrawHighPassPiOdd,
     {{Sort::ShuntL, 40, {55, 45}}, {Sort::SeriesC, 70, {60, 3}}, {Sort::ShuntL, 100, {115, 45}},
      {Sort::SeriesC, 170, {160, 3}}, {Sort::ShuntL, 190, {205, 45}}},
     {{13, 70}, {75, 170}, {175, 237}}},
    {"DrawHighPassPiEven", DrawHighPassPiEven,
     {{Sort::ShuntL, 40, {55, 45}}, {Sort::SeriesC, 70, {60, 3}}, {Sort::ShuntL, 100, {115, 45}},
      {Sort::ShuntL, 180, {195, 45}}, {Sort::SeriesC, 200, {195, 3}}},
     {{13, 70}, {75, 200}, {205, 237}}},
    {"DrawBandPassTOdd", DrawBandPassTOdd,
     {{Sort::SeriesLC, 20, {30, 3}}, {Sort::ShuntLC, 67, {95, 45}}, {Sort::SeriesLC, 95, {105, 3}},
      {Sort::ShuntLC, 162, {195, 45}}, {Sort::SeriesLC, 190, {200, 3}}},
     {{13, 20}, {60, 95}, {135, 190}, {230, 237}}},
    {"DrawBandPassTEven", DrawBandPassTEven,
     {{Sort::SeriesLC, 20, {30, 3}}, {Sort::ShuntLC, 67, {95, 45}}, {Sort::SeriesLC, 95, {105, 3}},
      {Sort::SeriesLC, 150, {160, 3}}, {Sort::ShuntLC, 195, {220, 45}}},
     {{13, 20}, {60, 95}, {135, 150}, {190, 237}}},
    {"DrawBandPassPiOdd", DrawBandPassPiOdd,
     {{Sort::ShuntLC, 25, {50, 45}}, {Sort::SeriesLC, 50, {60, 3}}, {Sort::ShuntLC, 95, {120, 45}},
      {Sort::SeriesLC, 150, {160, 3}}, {Sort::ShuntLC, 195, {220, 45}}},
     {{13, 50}, {90, 150}, {190, 237}}},
    {"DrawBandPassPiEven", DrawBandPassPiEven,
     {{Sort::ShuntLC, 25, {50, 45}}, {Sort::SeriesLC, 50, {60, 3}}, {Sort::ShuntLC, 95, {120, 45}},
      {Sort::ShuntLC, 162, {190, 45}}, {Sort::SeriesLC, 190, {200, 3}}},
     {{13, 50}, {90, 190}, {230, 237}}},
};

const char* const kLabelTexts[5] = {"(G1)", "(G2)", "(G3)", "(Gn-1)", "(Gn)"};
constexpr int kRail = 30;
constexpr int kReturn = 100;
constexpr int kBreakX = 145;

// The x positions where a series element touches the rail row: coil arch ends, the two
// capacitor plates, and the short wire inside a series resonator.
std::set<int> SeriesContacts(const Element& e)
{
    switch (e.sort) {
    case Sort::SeriesL: return {e.x, e.x + 10, e.x + 20, e.x + 30};
    case Sort::SeriesC: return {e.x, e.x + 5};
    case Sort::SeriesLC: return {e.x, e.x + 5, e.x + 6, e.x + 7, e.x + 8, e.x + 9, e.x + 10, e.x + 20, e.x + 30, e.x + 40};
    default: return {};
    }
}

// Column of a capacitor branch from the rail to the return line: ink everywhere but
// between the plates.
void CheckCapacitorBranch(const QImage& image, int x, int plateY)
{
    for (int y = kRail + 1; y < kReturn; ++y) {
        const bool gap = y > plateY && y < plateY + 5;
        QVERIFY2(Ink(image, x, y) == !gap, qPrintable(QString("capacitor branch at (%1,%2)").arg(x).arg(y)));
    }
    for (int plate : {plateY, plateY + 5}) {
        QCOMPARE(probe::InkCount(image, QRect(x - 8, plate, 17, 1)), 17);
        QVERIFY2(!Ink(image, x - 9, plate) && !Ink(image, x + 9, plate), "plates are 16 pixels");
    }
}

// Column of a coil branch: wire down to the coil, the coil touching the column at its arch
// ends only, and the wire on to the return line; the arches bulge to x + 10.
void CheckInductorBranch(const QImage& image, int x)
{
    for (int y = kRail + 1; y < kReturn; ++y) {
        const bool wire = y <= 50 || y >= 80 || y == 60 || y == 70;
        QVERIFY2(Ink(image, x, y) == wire, qPrintable(QString("coil branch at (%1,%2)").arg(x).arg(y)));
    }
    for (int tip : {55, 65, 75})
        QVERIFY2(Ink(image, x + 10, tip), qPrintable(QString("arch tip at (%1,%2)").arg(x + 10).arg(tip)));
    QCOMPARE(probe::InkCount(image, QRect(x + 11, 50, 1, 31)), 0);
}

void CheckSeriesCoil(const QImage& image, int x)
{
    for (int top : {x + 5, x + 15, x + 25})
        QVERIFY2(Ink(image, top, kRail - 10), qPrintable(QString("arch top at (%1,20)").arg(top)));
    QCOMPARE(probe::InkCount(image, QRect(x, kRail - 11, 31, 1)), 0);
}

void CheckSeriesCapacitor(const QImage& image, int x)
{
    for (int plate : {x, x + 5}) {
        QCOMPARE(probe::InkCount(image, QRect(plate, kRail - 8, 1, 17)), 17);
        QVERIFY(!Ink(image, plate, kRail - 9) && !Ink(image, plate, kRail + 9));
    }
}

void CheckElement(const QImage& image, const Element& e)
{
    switch (e.sort) {
    case Sort::SeriesL: CheckSeriesCoil(image, e.x); break;
    case Sort::SeriesC: CheckSeriesCapacitor(image, e.x); break;
    case Sort::ShuntC: CheckCapacitorBranch(image, e.x, 60); break;
    case Sort::ShuntL: CheckInductorBranch(image, e.x); break;
    case Sort::SeriesLC:
        CheckSeriesCapacitor(image, e.x);
        if (!QTest::currentTestFailed())
            CheckSeriesCoil(image, e.x + 10);
        break;
    case Sort::ShuntLC:
        CheckInductorBranch(image, e.x);
        if (!QTest::currentTestFailed())
            CheckCapacitorBranch(image, e.x + 20, 62);
        break;
    }
}

// Where a layout may put ink: its frame, the boxes of its elements, the rail row, the
// break line and its labels.
std::vector<QRect> AllowedInk(const Expected& layout)
{
    std::vector<QRect> allowed = {QRect(0, 0, probe::kWidth, 1), QRect(0, probe::kHeight - 1, probe::kWidth, 1),
                                  QRect(0, 0, 1, probe::kHeight), QRect(probe::kWidth - 1, 0, 1, probe::kHeight),
                                  QRect(7, 27, 6, 6), QRect(7, 97, 6, 6), QRect(237, 27, 6, 6), QRect(237, 97, 6, 6),
                                  QRect(13, kRail, 224, 1), QRect(13, kReturn, 224, 1), QRect(kBreakX, 25, 1, 85),
                                  probe::TextBox(5, 60, QStringLiteral("Rl")),
                                  probe::TextBox(235, 60, QStringLiteral("Rl"))};
    for (int i = 0; i < 5; ++i) {
        const Element& e = layout.elements[i];
        allowed.push_back(probe::TextBox(e.label.x(), e.label.y(), QString::fromLatin1(kLabelTexts[i])));
        switch (e.sort) {
        case Sort::SeriesL: allowed.push_back(QRect(QPoint(e.x, 20), QPoint(e.x + 30, 30))); break;
        case Sort::SeriesC: allowed.push_back(QRect(QPoint(e.x, 22), QPoint(e.x + 5, 38))); break;
        case Sort::ShuntC:
            allowed.push_back(QRect(QPoint(e.x, 30), QPoint(e.x, 100)));
            allowed.push_back(QRect(QPoint(e.x - 8, 60), QPoint(e.x + 8, 65)));
            break;
        case Sort::ShuntL: allowed.push_back(QRect(QPoint(e.x, 30), QPoint(e.x + 10, 100))); break;
        case Sort::SeriesLC:
            allowed.push_back(QRect(QPoint(e.x, 22), QPoint(e.x + 5, 38)));
            allowed.push_back(QRect(QPoint(e.x + 10, 20), QPoint(e.x + 40, 30)));
            break;
        case Sort::ShuntLC:
            allowed.push_back(QRect(QPoint(e.x, 30), QPoint(e.x + 10, 100)));
            allowed.push_back(QRect(QPoint(e.x + 20, 30), QPoint(e.x + 20, 100)));
            allowed.push_back(QRect(QPoint(e.x + 12, 62), QPoint(e.x + 28, 67)));
            break;
        }
    }
    return allowed;
}

QImage Draw(SchematicLayout layout, const QColor& background = probe::kGrey)
{
    return probe::Render(layout, background);
}

void AddLayoutRows()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kLayouts)); ++i)
        QTest::newRow(kLayouts[i].name) << i;
}

} // namespace

class TestSchematicLayouts : public QObject {
    Q_OBJECT
private slots:
    void railRowHoldsExactlyTheWiresAndSeriesElements_data() { AddLayoutRows(); }
    void railRowHoldsExactlyTheWiresAndSeriesElements();
    void elementsStandAtTheirPositions_data() { AddLayoutRows(); }
    void elementsStandAtTheirPositions();
    void returnLineJoinsEveryBranch_data() { AddLayoutRows(); }
    void returnLineJoinsEveryBranch();
    void breakLineIsDashDotAlongX145_data() { AddLayoutRows(); }
    void breakLineIsDashDotAlongX145();
    void labelsStandAtTheirPoints_data() { AddLayoutRows(); }
    void labelsStandAtTheirPoints();
    void nothingIsDrawnOutsideTheExpectedParts_data() { AddLayoutRows(); }
    void nothingIsDrawnOutsideTheExpectedParts();
    void everyLayoutWipesEveryOther();
    void bandPassResonatorsLeaveNoTraceUnderALowPassLayout();
    void chooseLayout_data();
    void chooseLayout();
    void chooseLayoutRejectsOtherTopologiesAndKinds_data();
    void chooseLayoutRejectsOtherTopologiesAndKinds();
};

void TestSchematicLayouts::railRowHoldsExactlyTheWiresAndSeriesElements()
{
    QFETCH(int, index);
    const Expected& layout = kLayouts[index];
    const QImage image = Draw(layout.draw);
    std::set<int> expected;
    for (const Wire& wire : layout.rail)
        for (int x = wire.from; x < wire.to; ++x)
            expected.insert(x);
    for (const Element& e : layout.elements)
        for (int x : SeriesContacts(e))
            expected.insert(x);
    for (int x = 13; x <= 236; ++x)
        QVERIFY2(Ink(image, x, kRail) == (expected.count(x) == 1),
                 qPrintable(QString("rail pixel (%1,30) should be %2").arg(x).arg(expected.count(x) ? "ink" : "blank")));
}

void TestSchematicLayouts::elementsStandAtTheirPositions()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    for (const Element& e : kLayouts[index].elements) {
        CheckElement(image, e);
        if (QTest::currentTestFailed()) {
            qWarning("element at x=%d", e.x);
            return;
        }
    }
}

void TestSchematicLayouts::returnLineJoinsEveryBranch()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    for (int x = 13; x <= 236; ++x)
        QVERIFY2(Ink(image, x, kReturn), qPrintable(QString("return line at x=%1").arg(x)));
    QCOMPARE(probe::InkCount(image, QRect(13, kReturn + 1, 224, 1)), 0);
}

void TestSchematicLayouts::breakLineIsDashDotAlongX145()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    QVERIFY(Ink(image, kBreakX, 25));
    QVERIFY(!Ink(image, kBreakX, 24));
    QVERIFY(!Ink(image, kBreakX, 110));
    QList<int> dashes;
    int gaps = 0;
    int run = 0;
    for (int y = 25; y <= 110; ++y) {
        if (y == kRail || y == kReturn)
            continue;
        if (Ink(image, kBreakX, y)) {
            ++run;
            continue;
        }
        if (run > 0)
            dashes << run;
        else
            ++gaps;
        run = 0;
    }
    QVERIFY2(dashes.size() >= 8, "dashes and dots all the way down");
    QVERIFY2(std::count(dashes.begin(), dashes.end(), 1) >= 4, "dots between the dashes");
    QVERIFY2(*std::max_element(dashes.begin(), dashes.end()) >= 3, "dashes longer than dots");
    QVERIFY2(dashes.size() + gaps < 85, "gaps along the line");
    QVERIFY2(Ink(image, kBreakX, 109) || Ink(image, kBreakX, 108), "reaches the bottom");
}

void TestSchematicLayouts::labelsStandAtTheirPoints()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    for (int i = 0; i < 5; ++i) {
        const QPoint at = kLayouts[index].elements[i].label;
        const QString text = QString::fromLatin1(kLabelTexts[i]);
        const QImage alone = probe::Render([&](Surface& s) {
            s.SetBrushColour(255, 255, 255);
            s.TextOut(at.x(), at.y(), text.toStdString());
        });
        const QRect box = probe::TextBox(at.x(), at.y(), text);
        QVERIFY2(probe::InkCount(image, box) >= 10, qPrintable(text + " is written"));
        QCOMPARE(image.copy(box), alone.copy(box));
    }
}

void TestSchematicLayouts::nothingIsDrawnOutsideTheExpectedParts()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    const std::vector<QRect> allowed = AllowedInk(kLayouts[index]);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (std::any_of(allowed.begin(), allowed.end(), [&](const QRect& r) { return r.contains(x, y); }))
                continue;
            QVERIFY2(probe::IsColour(image, x, y, Qt::white), qPrintable(QString("stray pixel at (%1,%2)").arg(x).arg(y)));
        }
}

void TestSchematicLayouts::everyLayoutWipesEveryOther()
{
    for (const Expected& next : kLayouts) {
        const QImage fresh = Draw(next.draw);
        for (const Expected& before : kLayouts) {
            QImage image = Draw(before.draw, Qt::black);
            probe::DrawOnto(image, next.draw);
            QVERIFY2(image == fresh, qPrintable(QString("%1 over %2").arg(next.name, before.name)));
        }
    }
}

void TestSchematicLayouts::bandPassResonatorsLeaveNoTraceUnderALowPassLayout()
{
    QImage image = Draw(DrawBandPassPiOdd);
    probe::DrawOnto(image, DrawLowPassTOdd);
    // The band-pass shunt resonators at x = 25 and 195 put capacitors at x = 45 and 215
    // with plates at y = 62 and 67; the low-pass layout has nothing there.
    for (int x : {45, 215})
        for (int y : {62, 67})
            QCOMPARE(probe::InkCount(image, QRect(x - 8, y, 17, 1)), 0);
    QCOMPARE(probe::InkCount(image, QRect(25, 31, 11, 69)), 0);
    QCOMPARE(image, Draw(DrawLowPassTOdd));
}

void TestSchematicLayouts::chooseLayout_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("topology");
    QTest::addColumn<bool>("even");
    QTest::addColumn<int>("expected");
    const char* const approximations[2] = {"Butterworth", "Chebyshev"};
    const char* const groups[3] = {"low-pass", "high-pass", "band-pass"};
    for (int kind = 0; kind < 6; ++kind)
        for (int topology = 0; topology < 2; ++topology)
            for (bool even : {false, true}) {
                // Rows of the expected table run T odd, T even, Pi odd, Pi even per group.
                const int expected = 4 * (kind % 3) + 2 * topology + (even ? 1 : 0);
                const QString row = QString("%1 %2 %3 %4")
                                        .arg(approximations[kind / 3], groups[kind % 3], topology == 0 ? "T" : "Pi",
                                             even ? "even" : "odd");
                QTest::newRow(qPrintable(row)) << kind << topology << even << expected;
            }
}

void TestSchematicLayouts::chooseLayout()
{
    QFETCH(int, kind);
    QFETCH(int, topology);
    QFETCH(bool, even);
    QFETCH(int, expected);
    const SchematicLayout chosen = ChooseLayout(kind, topology, even);
    QVERIFY(chosen != nullptr);
    QVERIFY2(chosen == kLayouts[expected].draw,
             qPrintable(QString("expected %1").arg(kLayouts[expected].name)));
}

void TestSchematicLayouts::chooseLayoutRejectsOtherTopologiesAndKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("topology");
    QTest::newRow("no topology selected") << 0 << -1;
    QTest::newRow("no topology, band-pass") << 5 << -1;
    QTest::newRow("topology 2") << 1 << 2;
    QTest::newRow("kind -1") << -1 << 0;
    QTest::newRow("kind 6") << 6 << 1;
}

void TestSchematicLayouts::chooseLayoutRejectsOtherTopologiesAndKinds()
{
    QFETCH(int, kind);
    QFETCH(int, topology);
    QVERIFY(ChooseLayout(kind, topology, false) == nullptr);
    QVERIFY(ChooseLayout(kind, topology, true) == nullptr);
}

QTEST_MAIN(TestSchematicLayouts)
#include "tst_schematic_layouts.moc"
