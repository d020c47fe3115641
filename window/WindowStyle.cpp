// SPDX-License-Identifier: Apache-2.0
#include "window/WindowStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

namespace corvane {

namespace {

constexpr int kCheckBoxLabelSpacing = 3;
constexpr int kTitleIndent = 6;
constexpr int kTitlePadding = 2;
constexpr int kFrameInset = 2;

} // namespace

namespace {

QStyle* PlatformStyle()
{
    if (QStyle* style = QStyleFactory::create(QApplication::style()->name())) return style;
    return QStyleFactory::create(QStringLiteral("Fusion"));
}

} // namespace

WindowStyle::WindowStyle() : QProxyStyle(PlatformStyle()) {}

WindowStyle* WindowStyle::Shared()
{
    static WindowStyle* shared = [] {
        auto* style = new WindowStyle;
        // Lives as long as the application, so that no widget outlives its style.
        style->setParent(qApp);
        return style;
    }();
    return shared;
}

int WindowStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == PM_CheckBoxLabelSpacing) return kCheckBoxLabelSpacing;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QRect WindowStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                                  const QWidget* widget) const
{
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) return QProxyStyle::subControlRect(control, option, part, widget);
    const QFontMetrics metrics = option->fontMetrics;
    const QRect whole = option->rect;
    const QRect frame = whole.adjusted(0, metrics.height() / 2, 0, 0);
    switch (part) {
    case SC_GroupBoxFrame: return frame;
    case SC_GroupBoxLabel:
        return {whole.left() + kTitleIndent, whole.top(), metrics.horizontalAdvance(group->text) + 2 * kTitlePadding,
                metrics.height()};
    case SC_GroupBoxContents: return whole.adjusted(kFrameInset, metrics.height(), -kFrameInset, -kFrameInset);
    default: return {};
    }
}

void WindowStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                     const QWidget* widget) const
{
    const auto* group = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !group) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
    painter->save();
    painter->setPen(group->palette.color(QPalette::Mid));
    painter->drawRect(frame.adjusted(0, 0, -1, -1));
    painter->setPen(group->palette.color(QPalette::Light));
    painter->drawRect(frame.adjusted(1, 1, -2, -2));
    // The title interrupts the frame line.
    painter->fillRect(title, group->palette.color(QPalette::Window));
    drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, group->palette, group->state & State_Enabled,
                 group->text, QPalette::WindowText);
    painter->restore();
}

} // namespace corvane
