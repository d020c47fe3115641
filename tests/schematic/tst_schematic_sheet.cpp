#include <QtTest>

#include "LayoutSheet.h"

// The twelve layouts side by side. With CORVANE_SHEET_PNG set, the sheet is also saved
// to that path for the documentation.
class TestSchematicSheet : public QObject {
    Q_OBJECT
private slots:
    void twelveLayoutsArePairwiseDistinct();
    void layoutsIgnoreTheBrushAndPointLeftBefore();
    void sheetShowsEachLayoutUnderItsCaption();
};

void TestSchematicSheet::twelveLayoutsArePairwiseDistinct()
{
    QList<QImage> pictures;
    QStringList names;
    for (const auto& row : sheet::kLayouts)
        for (const sheet::Entry& entry : row) {
            pictures << probe::Render(entry.draw);
            names << QString::fromLatin1(entry.name);
        }
    for (int i = 0; i < pictures.size(); ++i)
        for (int j = i + 1; j < pictures.size(); ++j)
            QVERIFY2(pictures[i] != pictures[j], qPrintable(names[i] + " looks like " + names[j]));
}

void TestSchematicSheet::layoutsIgnoreTheBrushAndPointLeftBefore()
{
    for (const auto& row : sheet::kLayouts)
        for (const sheet::Entry& entry : row) {
            const QImage clean = probe::Render(entry.draw);
            const QImage afterOthers = probe::Render([&](Surface& s) {
                s.SetBrushColour(255, 0, 0);
                s.MoveTo(200, 5);
                entry.draw(s);
            });
            QVERIFY2(clean == afterOthers, entry.name);
        }
}

void TestSchematicSheet::sheetShowsEachLayoutUnderItsCaption()
{
    const QImage image = sheet::Draw();
    for (int row = 0; row < sheet::kRows; ++row)
        for (int column = 0; column < sheet::kColumns; ++column) {
            const sheet::Entry& entry = sheet::kLayouts[row][column];
            const QPoint origin = sheet::CellOrigin(row, column);
            QCOMPARE(image.copy(QRect(origin, QSize(probe::kWidth, probe::kHeight))), probe::Render(entry.draw, sheet::kBackground));
            const QRect caption(origin.x(), origin.y() - sheet::CaptionHeight(), probe::kWidth, sheet::CaptionHeight());
            QVERIFY2(probe::InkCount(image, caption) > 50, entry.name);
            QVERIFY2(ChooseLayout(column, row / 2, row % 2 == 1) == entry.draw, entry.name);
        }
    const QByteArray path = qgetenv("CORVANE_SHEET_PNG");
    if (!path.isEmpty())
        QVERIFY(image.save(QString::fromLocal8Bit(path)));
}

QTEST_MAIN(TestSchematicSheet)
#include "tst_schematic_sheet.moc"
