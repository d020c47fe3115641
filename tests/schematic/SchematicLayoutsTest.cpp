// SPDX-License-Identifier: Apache-2.0
#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

#include "filtermath/SelectFilter.h"
#include "schematic/UDrawF.h"
#include "tests/schematic/PixelProbe.h"

using namespace corvane;

using probe::Ink;

namespace {

constexpr int kRail = 30;
constexpr int kReturn = 100;
constexpr int kRailFrom = 13; // the wires from the terminal circles
constexpr int kRailTo = 237;
constexpr int kBreakX = 145;

// One picture per response group (the kinds 0 to 2 are the Butterworth low-, high- and band-pass),
// form and order parity.
struct Layout {
    QString name;
    int kind;
    int topology; // 0 T, 1 Pi
    bool even;
    SchematicLayout draw;
};

std::vector<Layout> AllLayouts()
{
    std::vector<Layout> layouts;
    const char* const groups[3] = {"low-pass", "high-pass", "band-pass"};
    for (int kind = 0; kind < 3; ++kind)
        for (int topology = 0; topology < 2; ++topology)
            for (bool even : {false, true})
                layouts.push_back(
                    {QString("%1 %2 %3").arg(groups[kind], topology == 0 ? "T" : "Pi", even ? "even" : "odd"), kind,
                     topology, even, ChooseLayout(kind, topology, even)});
    return layouts;
}

QImage Draw(SchematicLayout layout, const QColor& background = probe::kGrey)
{
    return probe::Render(layout, background);
}

struct Label {
    int x;
    int y;
    std::string text;
};

// Only the texts, with where they are written.
class LabelRecorder : public Surface {
public:
    std::vector<Label> labels;
    int Width() const override { return probe::kWidth; }
    int Height() const override { return probe::kHeight; }
    void SetBrushColour(int, int, int) override {}
    void SetPenStyle(PenStyle) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Polyline(const SurfacePoint*, int) override {}
    void TextOut(int x, int y, const std::string& text) override
    {
        if (text.rfind("(G", 0) == 0) labels.push_back({x, y, text});
    }
};

enum class Place { Series, Shunt };

// An element as read back from the pixels: where it sits and which parts it shows.
struct Seen {
    Place place;
    int x; // from the left end of the element
    int to; // to its right end
    bool inductor = false;
    bool capacitor = false;
    bool reachesReturn = true;
};

bool InkColumn(const QImage& image, int x, int fromY, int toY)
{
    for (int y = fromY; y <= toY; ++y)
        if (!Ink(image, x, y)) return false;
    return true;
}

bool InkRow(const QImage& image, int y, int fromX, int toX)
{
    for (int x = fromX; x <= toX; ++x)
        if (!Ink(image, x, y)) return false;
    return true;
}

// A series element breaks the rail; breaks closer than a rail piece belong to one element (the
// gaps between coil arches, the plates, the wire inside a series resonator). A capacitor shows
// a plate across the rail, an inductor arches that rise higher than a plate reaches.
std::vector<Seen> SeriesElements(const QImage& image)
{
    std::vector<std::pair<int, int>> breaks;
    for (int x = kRailFrom; x < kRailTo; ++x) {
        if (Ink(image, x, kRail)) continue;
        if (!breaks.empty() && x - breaks.back().second < 12)
            breaks.back().second = x;
        else
            breaks.push_back({x, x});
    }
    std::vector<Seen> seen;
    for (const auto& [from, to] : breaks) {
        Seen e{Place::Series, from, to};
        for (int x = from - 1; x <= to + 1; ++x) {
            e.capacitor = e.capacitor || InkColumn(image, x, kRail - 7, kRail + 7);
            for (int y = kRail - 11; y <= kRail - 9; ++y) e.inductor = e.inductor || Ink(image, x, y);
        }
        seen.push_back(e);
    }
    return seen;
}

// A shunt element hangs from the rail on a wire (two wires for a resonator, within 25 pixels).
// A capacitor shows a plate across its wire, an inductor arches that bulge to one side only.
std::vector<Seen> ShuntElements(const QImage& image)
{
    std::vector<std::vector<int>> groups;
    for (int x = kRailFrom + 1; x < kRailTo; ++x) {
        if (x == kBreakX || !InkColumn(image, x, kRail + 1, kRail + 14)) continue;
        if (!groups.empty() && x - groups.back().back() < 25)
            groups.back().push_back(x);
        else
            groups.push_back({x});
    }
    std::vector<Seen> seen;
    for (const std::vector<int>& wires : groups) {
        Seen e{Place::Shunt, wires.front(), wires.back()};
        for (int x : wires) {
            for (int y = kRail + 5; y < kReturn - 5; ++y) {
                e.capacitor = e.capacitor || InkRow(image, y, x - 7, x + 7);
                e.inductor = e.inductor || (Ink(image, x + 5, y) && !Ink(image, x - 5, y));
            }
            e.reachesReturn = e.reachesReturn && InkColumn(image, x, kReturn - 8, kReturn - 1);
        }
        seen.push_back(e);
    }
    return seen;
}

std::vector<Seen> ElementsLeftToRight(const QImage& image)
{
    std::vector<Seen> all = SeriesElements(image);
    for (const Seen& e : ShuntElements(image)) all.push_back(e);
    std::sort(all.begin(), all.end(), [](const Seen& a, const Seen& b) { return a.x < b.x; });
    return all;
}

// The ladder positions drawn: the first three and the last two of n.
int PositionOf(int drawn, bool even)
{
    const int n = even ? 10 : 11;
    return drawn < 3 ? drawn + 1 : n - 4 + drawn;
}

// The T form starts with a series element, the Pi form with a shunt one, and they alternate.
Place PlaceOfPosition(int position, int topology)
{
    return ((position % 2 == 1) == (topology == 0)) ? Place::Series : Place::Shunt;
}

void AddLayoutRows()
{
    QTest::addColumn<int>("index");
    const std::vector<Layout> layouts = AllLayouts();
    for (int i = 0; i < int(layouts.size()); ++i) QTest::newRow(qPrintable(layouts[size_t(i)].name)) << i;
}

} // namespace

class TestSchematicLayouts : public QObject {
    Q_OBJECT
private slots:
    void elementsFollowTheFormAndTheResponse_data() { AddLayoutRows(); }
    void elementsFollowTheFormAndTheResponse();
    void labelsNameThePositionsInOrder_data() { AddLayoutRows(); }
    void labelsNameThePositionsInOrder();
    void breakLineIsDashDotAlongX145_data() { AddLayoutRows(); }
    void breakLineIsDashDotAlongX145();
    void everyLayoutWipesEveryOther();
    void bandPassResonatorsLeaveNoTraceUnderALowPassLayout();
    void twelveDistinctPicturesOnOneSheet();
    void bothApproximationsShareTheirGroupsPictures();
    void chooseLayoutRejectsOtherTopologiesAndKinds_data();
    void chooseLayoutRejectsOtherTopologiesAndKinds();
};

// Read back from the pixels: five elements whose series and shunt order follows the form, each
// made of the parts its response needs (low-pass: series L, shunt C; high-pass the dual;
// band-pass a resonator in every position), each shunt branch wired down to the return rail,
// and the rail wired to both terminals.
void TestSchematicLayouts::elementsFollowTheFormAndTheResponse()
{
    QFETCH(int, index);
    const Layout layout = AllLayouts()[size_t(index)];
    QVERIFY(layout.draw != nullptr);
    const QImage image = Draw(layout.draw);
    const std::vector<Seen> seen = ElementsLeftToRight(image);
    QCOMPARE(int(seen.size()), 5);
    for (int i = 0; i < 5; ++i) {
        const Seen& e = seen[size_t(i)];
        const QString where = QString("element %1 at x = %2").arg(i + 1).arg(e.x);
        QVERIFY2(e.place == PlaceOfPosition(PositionOf(i, layout.even), layout.topology), qPrintable(where));
        const bool series = e.place == Place::Series;
        const bool wantL = IsBandPassKind(layout.kind) || (IsLowPassKind(layout.kind) == series);
        const bool wantC = IsBandPassKind(layout.kind) || (IsLowPassKind(layout.kind) != series);
        QVERIFY2(e.inductor == wantL, qPrintable(where + (wantL ? " lacks its coil" : " has a coil")));
        QVERIFY2(e.capacitor == wantC, qPrintable(where + (wantC ? " lacks its plates" : " has plates")));
        QVERIFY2(e.reachesReturn, qPrintable(where + " is not wired to the return rail"));
    }
    QVERIFY(Ink(image, kRailFrom, kRail) && Ink(image, kRailTo - 1, kRail));
}

// G1, G2, G3, Gn-1, Gn name the elements from left to right: above the rail for a series
// element and beside the branch for a shunt one, each within reach of its element.
void TestSchematicLayouts::labelsNameThePositionsInOrder()
{
    QFETCH(int, index);
    const Layout layout = AllLayouts()[size_t(index)];
    LabelRecorder recorder;
    layout.draw(recorder);
    const std::vector<Seen> seen = ElementsLeftToRight(Draw(layout.draw));
    const char* const texts[5] = {"(G1)", "(G2)", "(G3)", "(Gn-1)", "(Gn)"};
    QCOMPARE(int(recorder.labels.size()), 5);
    QCOMPARE(int(seen.size()), 5);
    for (int i = 0; i < 5; ++i) {
        const Label& label = recorder.labels[size_t(i)];
        QCOMPARE(QString::fromStdString(label.text), QString(texts[i]));
        QCOMPARE(label.y < kRail, seen[size_t(i)].place == Place::Series);
        const Seen& element = seen[size_t(i)];
        QVERIFY2(label.x >= element.x - 30 && label.x <= element.to + 30, texts[i]);
        const QRect box = probe::TextBox(label.x, label.y, QString::fromStdString(label.text));
        QVERIFY2(probe::InkCount(Draw(layout.draw), box) >= 10, texts[i]);
    }
}

void TestSchematicLayouts::breakLineIsDashDotAlongX145()
{
    QFETCH(int, index);
    const QImage image = Draw(AllLayouts()[size_t(index)].draw);
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
    const std::vector<Layout> layouts = AllLayouts();
    for (const Layout& next : layouts) {
        const QImage fresh = Draw(next.draw);
        for (const Layout& before : layouts) {
            QImage image = Draw(before.draw, Qt::black);
            probe::DrawOnto(image, next.draw);
            QVERIFY2(image == fresh, qPrintable(QString("%1 over %2").arg(next.name, before.name)));
        }
    }
}

void TestSchematicLayouts::bandPassResonatorsLeaveNoTraceUnderALowPassLayout()
{
    QImage image = Draw(ChooseLayout(2, 1, false));
    probe::DrawOnto(image, ChooseLayout(0, 0, false));
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
    const std::vector<Layout> layouts = AllLayouts();
    for (int i = 0; i < int(layouts.size()); ++i) {
        const QPoint corner(kGap + (i / 4) * cell.width(), kGap + (i % 4) * cell.height());
        pictures << Draw(layouts[size_t(i)].draw);
        painter.drawText(QRect(corner, QSize(probe::kWidth, kCaption)), Qt::AlignLeft, layouts[size_t(i)].name);
        painter.drawImage(corner + QPoint(0, kCaption), pictures.last());
        for (int j = 0; j < i; ++j)
            QVERIFY2(pictures[j] != pictures[i],
                     qPrintable(QString("%1 looks like %2").arg(layouts[size_t(i)].name, layouts[size_t(j)].name)));
    }
    painter.end();
    const QByteArray path = qgetenv("CORVANE_SHEET_PNG");
    if (!path.isEmpty()) QVERIFY(sheet.save(QString::fromLocal8Bit(path)));
}

// The approximation does not change the picture: a Chebyshev kind draws its Butterworth
// counterpart's layout.
void TestSchematicLayouts::bothApproximationsShareTheirGroupsPictures()
{
    for (int kind = 3; kind < 6; ++kind)
        for (int topology = 0; topology < 2; ++topology)
            for (bool even : {false, true}) {
                int butterworth = 0;
                while (IsLowPassKind(butterworth) != IsLowPassKind(kind) ||
                       IsHighPassKind(butterworth) != IsHighPassKind(kind))
                    ++butterworth;
                QVERIFY(ChooseLayout(kind, topology, even) == ChooseLayout(butterworth, topology, even));
            }
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
