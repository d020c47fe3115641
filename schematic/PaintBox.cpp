// SPDX-License-Identifier: Apache-2.0
#include "schematic/PaintBox.h"

#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

namespace corvane {

namespace {

constexpr int kDefaultWidth = 249;
constexpr int kDefaultHeight = 121;

} // namespace

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent)
{
    resize(kDefaultWidth, kDefaultHeight);
    buffer_ = QImage(size(), QImage::Format_RGB32);
    buffer_.fill(palette().color(QPalette::Button));
}

QImage& TPaintBox::Buffer()
{
    return buffer_;
}

void TPaintBox::paintEvent(QPaintEvent*)
{
    emit Painting();
    QPainter painter(this);
    painter.drawImage(0, 0, buffer_);
}

// The picture keeps its pixels where the new size still holds them; new parts show the
// button face until the next drawing.
void TPaintBox::resizeEvent(QResizeEvent* event)
{
    if (event->size() == buffer_.size()) return;
    QImage grown(event->size(), QImage::Format_RGB32);
    grown.fill(palette().color(QPalette::Button));
    QPainter painter(&grown);
    painter.drawImage(0, 0, buffer_);
    painter.end();
    buffer_ = grown;
}

} // namespace corvane
