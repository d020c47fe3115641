// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QProxyStyle>

namespace corvane {

// The window's look over the platform style: group boxes carry their title on the top
// frame line, so that the controls placed just below it stay clear of the frame, and a
// check box keeps a narrow gap between its indicator and its caption.
class WindowStyle : public QProxyStyle {
    Q_OBJECT
public:
    WindowStyle();
    // One instance for the application's lifetime.
    static WindowStyle* Shared();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
};

} // namespace corvane
