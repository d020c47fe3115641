// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include <iterator>
#include <set>
#include <vector>

#include "tests/schematic/PixelProbe.h"
#include "schematic/UDrawF.h"

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
    {"DrawLowPassTOdd",
     DrawLowPassTOdd,
     {{Sort::SeriesL, 40, {45, 3}},
      {Sort::ShuntC, 80, {90, 45}},
      {Sort::SeriesL, 90, {95, 3}},
      {Sort::ShuntC, 160, {170, 45}},
      {Sort::SeriesL, 170, {175, 3}}},
     {{13, 40}, {70, 90}, {120, 170}, {200, 237}}},
    {"DrawLowPassTEven",
     DrawLowPassTEven,
     {{Sort::SeriesL, 40, {45, 3}},
      {Sort::ShuntC, 80, {90, 45}},
      {Sort::SeriesL, 90, {95, 3}},
      {Sort::SeriesL, 150, {155, 3}},
      {Sort::ShuntC, 190, {200, 45}}},
     {{13, 40}, {70, 90}, {120, 150}, {180, 237}}},
    {"DrawLowPassPiOdd",
     DrawLowPassPiOdd,
     {{Sort::ShuntC, 40, {50, 45}},
      {Sort::SeriesL, 50, {55, 3}},
      {Sort::ShuntC, 90, {100, 45}},
      {Sort::SeriesL, 150, {155, 3}},
      {Sort::ShuntC, 190, {200, 45}}},
     {{13, 50}, {80, 150}, {180, 237}}},
    {"DrawLowPassPiEven",
     DrawLowPassPiEven,
     {{Sort::ShuntC, 40, {50, 45}},
      {Sort::SeriesL, 50, {55, 3}},
      {Sort::ShuntC, 90, {100, 45}},
      {Sort::ShuntC, 160, {170, 45}},
      {Sort::SeriesL, 170, {175, 3}}},
     {{13, 50}, {80, 170}, {200, 237}}},
    {"DrawHighPassTOdd",
     DrawHighPassTOdd,
     {{Sort::SeriesC, 40, {30, 3}},
      {Sort::ShuntL, 80, {95, 45}},
      {Sort::SeriesC, 115, {105, 3}},
      {Sort::ShuntL, 180, {195, 45}},
      {Sort::SeriesC, 200, {195, 3}}},
     {{13, 40}, {45, 115}, {120, 200}, {205, 237}}},
    {"DrawHighPassTEven",
     DrawHighPassTEven,
     {{Sort::SeriesC, 40, {30, 3}},
      {Sort::ShuntL, 80, {95, 45}},
      {Sort::SeriesC, 115, {105, 3}},
      {Sort::SeriesC, 170, {160, 3}},
      {Sort::ShuntL, 190, {205, 45}}},
     {{13, 40}, {45, 115}, {120, 170}, {175, 237}}},
    {"DrawHighPassPiOdd",
     DrawHighPassPiOdd,
     {{Sort::ShuntL, 40, {55, 45}},
      {Sort::SeriesC, 70, {60, 3}},
      {Sort::ShuntL, 100, {115, 45}},
      {Sort::SeriesC, 170, {160, 3}},
      {Sort::ShuntL, 190, {205, 45}}},
     {{13, 70}, {75, 170}, {175, 237}}},
    {"DrawHighPassPiEven",
     DrawHighPassPiEven,
     {{Sort::ShuntL, 40, {55, 45}},
      {Sort::SeriesC, 70, {60, 3}},
      {Sort::ShuntL, 100, {115, 45}},
      {Sort::ShuntL, 180, {195, 45}},
      {Sort::SeriesC, 200, {195, 3}}},
     {{13, 70}, {75, 200}, {205, 237}}},
    {"DrawBandPassTOdd",
     DrawBandPassTOdd,
     {{Sort::SeriesLC, 20, {30, 3}},
      {Sort::ShuntLC, 67, {95, 45}},
      {Sort::SeriesLC, 95, {105, 3}},
      {Sort::ShuntLC, 162, {195, 45}},
      {Sort::SeriesLC, 190, {200, 3}}},
     {{13, 20}, {60, 95}, {135, 190}, {230, 237}}},
    {"DrawBandPassTEven",
     DrawBandPassTEven,
     {{Sort::SeriesLC, 20, {30, 3}},
      {Sort::ShuntLC, 67, {95, 45}},
      {Sort::SeriesLC, 95, {105, 3}},
      {Sort::SeriesLC, 150, {160, 3}},
      {Sort::ShuntLC, 195, {220, 45}}},
     {{13, 20}, {60, 95}, {135, 150}, {190, 237}}},
    {"DrawBandPassPiOdd",
     DrawBandPassPiOdd,
     {{Sort::ShuntLC, 25, {50, 45}},
      {Sort::SeriesLC, 50, {60, 3}},
      {Sort::ShuntLC, 95, {120, 45}},
      {Sort::SeriesLC, 150, {160, 3}},
      {Sort::ShuntLC, 195, {220, 45}}},
     {{13, 50}, {90, 150}, {190, 237}}},
    {"DrawBandPassPiEven",
     DrawBandPassPiEven,
     {{Sort::ShuntLC, 25, {50, 45}},
      {Sort::SeriesLC, 50, {60, 3}},
      {Sort::ShuntLC, 95, {120, 45}},
      {Sort::ShuntLC, 162, {190, 45}},
      {Sort::SeriesLC, 190, {200, 3}}},
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
    case Sort::SeriesLC:
        return {e.x, e.x + 5, e.x + 6, e.x + 7, e.x + 8, e.x + 9, e.x + 10, e.x + 20, e.x + 30, e.x + 40};
    default: return {};
    }
}

void Segment(Surface& s, int x1, int y1, int x2, int y2)
{
    s.MoveTo(x1, y1);
    s.LineTo(x2, y2);
}

// The building blocks with their wires, drawn from the primitives.
void DrawBlock(Surface& s, const Element& e)
{
    const int x = e.x;
    switch (e.sort) {
    case Sort::SeriesL: DrawSeriesInductor(x, kRail, s); break;
    case Sort::SeriesC: DrawSeriesCapacitor(x, kRail, s); break;
    case Sort::ShuntC:
        DrawShuntCapacitor(x, 60, s);
        Segment(s, x, kRail, x, 60);
        Segment(s, x, 65, x, kReturn);
        break;
    case Sort::ShuntL:
        DrawShuntInductor(x, 50, s);
        Segment(s, x, kRail, x, 50);
        Segment(s, x, 80, x, kReturn);
        break;
    case Sort::SeriesLC:
        DrawSeriesCapacitor(x, kRail, s);
        Segment(s, x + 5, kRail, x + 10, kRail);
        DrawSeriesInductor(x + 10, kRail, s);
        break;
    case Sort::ShuntLC:
        DrawBlock(s, {Sort::ShuntL, x, e.label});
        DrawShuntCapacitor(x + 20, 62, s);
        Segment(s, x + 20, kRail, x + 20, 62);
        Segment(s, x + 20, 67, x + 20, kReturn);
        break;
    }
}

// The whole picture a layout should draw, put together here from the primitives.
void DrawReference(Surface& s, const Expected& layout)
{
    DrawSchematicFrame(s);
    for (const Element& e : layout.elements) DrawBlock(s, e);
    for (const Wire& w : layout.rail) Segment(s, w.from, kRail, w.to, kRail);
    s.SetPenStyle(PenStyle::DashDot);
    Segment(s, kBreakX, 25, kBreakX, 110);
    s.SetPenStyle(PenStyle::Solid);
    for (int i = 0; i < 5; ++i) s.TextOut(layout.elements[i].label.x(), layout.elements[i].label.y(), kLabelTexts[i]);
}

QImage Draw(SchematicLayout layout, const QColor& background = probe::kGrey)
{
    return probe::Render(layout, background);
}

void AddLayoutRows()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kLayouts)); ++i) QTest::newRow(kLayouts[i].name) << i;
}

} // namespace

class TestSchematicLayouts : public QObject {
    Q_OBJECT
private slots:
    void railRowHoldsExactlyTheWiresAndSeriesElements_data() { AddLayoutRows(); }
    void railRowHoldsExactlyTheWiresAndSeriesElements();
    void matchesItsBlocksDrawnFromThePrimitives_data() { AddLayoutRows(); }
    void matchesItsBlocksDrawnFromThePrimitives();
    void breakLineIsDashDotAlongX145_data() { AddLayoutRows(); }
    void breakLineIsDashDotAlongX145();
    void everyLayoutWipesEveryOther();
    void bandPassResonatorsLeaveNoTraceUnderALowPassLayout();
    void twelveDistinctPicturesOnOneSheet();
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
        for (int x = wire.from; x < wire.to; ++x) expected.insert(x);
    for (const Element& e : layout.elements)
        for (int x : SeriesContacts(e)) expected.insert(x);
    for (int x = 13; x <= 236; ++x)
        QVERIFY2(
            Ink(image, x, kRail) == (expected.count(x) == 1),
            qPrintable(QString("rail pixel (%1,30) should be %2").arg(x).arg(expected.count(x) ? "ink" : "blank")));
}

// Pixel for pixel: the frame, each block with its wires, the rail, the break line and the
// five labels, and nothing else.
void TestSchematicLayouts::matchesItsBlocksDrawnFromThePrimitives()
{
    QFETCH(int, index);
    const Expected& layout = kLayouts[index];
    const QImage image = Draw(layout.draw);
    QCOMPARE(image, probe::Render([&](Surface& s) { DrawReference(s, layout); }, probe::kGrey));
    for (int i = 0; i < 5; ++i) {
        const QPoint at = layout.elements[i].label;
        const QRect box = probe::TextBox(at.x(), at.y(), QString::fromLatin1(kLabelTexts[i]));
        QVERIFY2(probe::InkCount(image, box) >= 10, kLabelTexts[i]);
    }
}

void TestSchematicLayouts::breakLineIsDashDotAlongX145()
{
    QFETCH(int, index);
    const QImage image = Draw(kLayouts[index].draw);
    QString column;
    for (int y = 25; y < 110; ++y) column += Ink(image, kBreakX, y) ? QLatin1Char('#') : QLatin1Char('.');
    QVERIFY2(column.startsWith(QLatin1String("###")), qPrintable(column));
    QVERIFY2(column.contains(QLatin1String(".#.")), qPrintable("dots between the dashes: " + column));
    QVERIFY2(column.count(QLatin1Char('.')) >= 20, qPrintable("gaps along the line: " + column));
    QVERIFY2(column.right(9).contains(QLatin1String("##")), qPrintable("reaches the bottom: " + column));
    QVERIFY(!Ink(image, kBreakX, 24) && !Ink(image, kBreakX, 111));
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
    // The shunt resonators at x = 25 and 195 had capacitors at x = 45 and 215 with
    // plates at y = 62 and 67; the low-pass layout has nothing there.
    for (int x : {45, 215}) QCOMPARE(probe::InkCount(image, QRect(x - 8, 62, 17, 6)), 0);
    QCOMPARE(probe::InkCount(image, QRect(25, 31, 11, 69)), 0);
}

// The sheet for the documentation: columns low-pass, high-pass, band-pass; rows T odd,
// T even, Pi odd, Pi even, each picture under its name. With CORVANE_SHEET_PNG set it is
// saved to that path.
void TestSchematicLayouts::twelveDistinctPicturesOnOneSheet()
{
    constexpr int kGap = 12;
    constexpr int kCaption = 16;
    const QSize cell(probe::kWidth + kGap, kCaption + probe::kHeight + kGap);
    QImage sheet(kGap + 3 * cell.width(), kGap + 4 * cell.height(), QImage::Format_RGB32);
    sheet.fill(QColor(224, 224, 224));
    QPainter painter(&sheet);
    painter.setFont(probe::SchematicFont());
    QList<QImage> pictures;
    for (int i = 0; i < int(std::size(kLayouts)); ++i) {
        const QPoint corner(kGap + (i / 4) * cell.width(), kGap + (i % 4) * cell.height());
        pictures << Draw(kLayouts[i].draw);
        painter.drawText(QRect(corner, QSize(probe::kWidth, kCaption)), Qt::AlignLeft, kLayouts[i].name);
        painter.drawImage(corner + QPoint(0, kCaption), pictures.last());
        for (int j = 0; j < i; ++j)
            QVERIFY2(pictures[j] != pictures[i],
                     qPrintable(QString("%1 looks like %2").arg(kLayouts[i].name, kLayouts[j].name)));
    }
    painter.end();
    const QByteArray path = qgetenv("CORVANE_SHEET_PNG");
    if (!path.isEmpty()) QVERIFY(sheet.save(QString::fromLocal8Bit(path)));
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
    QVERIFY2(chosen == kLayouts[expected].draw, qPrintable(QString("expected %1").arg(kLayouts[expected].name)));
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
#include "SchematicLayoutsTest.moc"
