#pragma once
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "PixelProbe.h"
#include "UDrawF.h"

// The twelve layouts on one sheet for the documentation: rows T odd, T even, Pi odd,
// Pi even; columns low-pass, high-pass, band-pass; each picture under its name.
namespace sheet {

struct Entry {
    const char* name;
    SchematicLayout draw;
};

constexpr int kColumns = 3;
constexpr int kRows = 4;
constexpr int kMargin = 12;
constexpr int kCaptionGap = 4;
const QColor kBackground(224, 224, 224);

inline const Entry kLayouts[kRows][kColumns] = {
    {{"DrawLowPassTOdd", DrawLowPassTOdd}, {"DrawHighPassTOdd", DrawHighPassTOdd},
     {"DrawBandPassTOdd", DrawBandPassTOdd}},
    {{"DrawLowPassTEven", DrawLowPassTEven}, {"DrawHighPassTEven", DrawHighPassTEven},
     {"DrawBandPassTEven", DrawBandPassTEven}},
    {{"DrawLowPassPiOdd", DrawLowPassPiOdd}, {"DrawHighPassPiOdd", DrawHighPassPiOdd},
     {"DrawBandPassPiOdd", DrawBandPassPiOdd}},
    {{"DrawLowPassPiEven", DrawLowPassPiEven}, {"DrawHighPassPiEven", DrawHighPassPiEven},
     {"DrawBandPassPiEven", DrawBandPassPiEven}},
};

inline int CaptionHeight() { return QFontMetrics(probe::SchematicFont()).height() + kCaptionGap; }

// Top-left corner of a layout's picture on the sheet.
inline QPoint CellOrigin(int row, int column)
{
    return QPoint(kMargin + column * (probe::kWidth + kMargin),
                  kMargin + row * (CaptionHeight() + probe::kHeight + kMargin) + CaptionHeight());
}

inline QImage Draw()
{
    const QPoint farCorner = CellOrigin(kRows - 1, kColumns - 1) + QPoint(probe::kWidth, probe::kHeight);
    QImage image(farCorner.x() + kMargin, farCorner.y() + kMargin, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setFont(probe::SchematicFont());
    const int descent = QFontMetrics(probe::SchematicFont()).descent();
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            const Entry& entry = kLayouts[row][column];
            const QPoint origin = CellOrigin(row, column);
            painter.drawText(origin.x(), origin.y() - kCaptionGap - descent, QString::fromLatin1(entry.name));
            painter.drawImage(origin, probe::Render(entry.draw, kBackground));
        }
    return image;
}

} // namespace sheet
