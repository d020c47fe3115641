// SPDX-License-Identifier: Apache-2.0
#include "workbench/MarginHistogramView.h"

#include <QPainter>
#include <algorithm>

namespace corvane {

MarginHistogramView::MarginHistogramView(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(240, 120);
}

void MarginHistogramView::SetHistogram(const MarginHistogram& histogram, bool shown)
{
    histogram_ = histogram;
    shown_ = shown;
    update();
}

void MarginHistogramView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const int line = fontMetrics().height();
    const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -(line + 8));
    painter.setPen(palette().text().color());
    if (!shown_ || histogram_.counts.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, tr("Worst margin: no mask"));
        return;
    }
    const int most = *std::max_element(histogram_.counts.begin(), histogram_.counts.end());
    const int bins = static_cast<int>(histogram_.counts.size());
    const double barWidth = area.width() / bins;
    for (int b = 0; b < bins; ++b) {
        const double height = most > 0 ? area.height() * histogram_.counts[b] / most : 0.0;
        // A bin's colour is that of its upper edge: a bin holding any failing trial shows red.
        const double lower = histogram_.lowDb + b * histogram_.binDb;
        const bool fails = bins == 1 ? histogram_.lowDb < 0.0 : lower < 0.0;
        painter.fillRect(
            QRectF(area.left() + b * barWidth, area.bottom() - height, std::max(barWidth - 1, 1.0), height),
            fails ? QColor(214, 69, 65) : QColor(76, 161, 90));
    }
    const double high = histogram_.lowDb + bins * histogram_.binDb;
    const QRectF labels(area.left(), area.bottom() + 4, area.width(), line);
    painter.drawText(labels, Qt::AlignLeft, QString::number(histogram_.lowDb, 'f', 2) + tr(" dB"));
    painter.drawText(labels, Qt::AlignHCenter, tr("worst margin"));
    painter.drawText(labels, Qt::AlignRight, QString::number(high, 'f', 2) + tr(" dB"));
}

} // namespace corvane
