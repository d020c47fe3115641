// SPDX-License-Identifier: Apache-2.0
#include "window/TFMain.h"

#include <exception>

#include <QPainter>

#include "schematic/QtSurface.h"
#include "schematic/UDrawF.h"
#include "ui_TFMain.h"

namespace corvane {

bool TFMain::IsOrderEven()
{
    return run_.IsOrderEven();
}

// The order is converted before anything is drawn: a text that is no number raises its
// error here and the area keeps the picture it had.
void TFMain::DrawSchematic()
{
    const bool orderEven = IsOrderEven();
    DrawSelectedLayout(orderEven);
    ui->PB1->update();
}

// Draws the layout of the current selection into the area's buffer; with no topology
// selected there is no layout and the buffer keeps its picture.
void TFMain::DrawSelectedLayout(bool orderEven)
{
    const SchematicLayout layout = ChooseLayout(run_.State().FilterKind, ui->CBType1->currentIndex(), orderEven);
    if (!layout) return;
    QImage& buffer = ui->PB1->Buffer();
    QPainter painter(&buffer);
    painter.setFont(ui->PB1->font());
    QtSurface surface(painter, buffer.width(), buffer.height());
    layout(surface);
}

// A repaint redraws the current selection but reports nothing: while the order text is
// not a number, the area shows the last picture that was drawn, unchanged. It runs inside
// the area's paint event, where a message box must not open.
void TFMain::PB1Paint()
{
    bool orderEven = false;
    try {
        orderEven = IsOrderEven();
    } catch (const std::exception&) {
        return;
    }
    DrawSelectedLayout(orderEven);
}

} // namespace corvane
