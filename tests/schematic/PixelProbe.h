// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <functional>

#include "schematic/QtSurface.h"

using namespace corvane;

// Drawing onto a QImage through the Qt surface, and reading the pixels back.
namespace probe {

constexpr int kWidth = 249;
constexpr int kHeight = 121;
const QColor kGrey(128, 128, 128);

// The window's font, which the schematic area inherits.
inline QFont SchematicFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

// The box a label occupies when written at (x, y) in the schematic font.
inline QRect TextBox(int x, int y, const QString& text)
{
    QFont font = SchematicFont();
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    return QRect(x, y, metrics.horizontalAdvance(text), metrics.height());
}

inline void DrawOnto(QImage& image, const std::function<void(Surface&)>& draw)
{
    QPainter painter(&image);
    painter.setFont(SchematicFont());
    QtSurface surface(painter, image.width(), image.height());
    draw(surface);
}

inline QImage Render(const std::function<void(Surface&)>& draw, const QColor& background = Qt::white,
                     int width = kWidth, int height = kHeight)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    DrawOnto(image, draw);
    return image;
}

// A dark pixel: what the black pen leaves (white, the grey background and the brush
// colours used in the tests are all lighter).
inline bool Ink(const QImage& image, int x, int y)
{
    if (!image.rect().contains(x, y)) return false;
    return qGray(image.pixel(x, y)) < 64;
}

inline bool IsColour(const QImage& image, int x, int y, const QColor& colour)
{
    return image.pixel(x, y) == colour.rgb();
}

inline int InkCount(const QImage& image, const QRect& box)
{
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) count += Ink(image, x, y) ? 1 : 0;
    return count;
}

// The smallest box holding every dark pixel; empty when there is none.
inline QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Ink(image, x, y)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace probe
