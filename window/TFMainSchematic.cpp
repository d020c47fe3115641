#include "TFMain.h"

#include <QPainter>

#include "filtermath/Failure.h"
#include "schematic/QtSurface.h"
#include "schematic/UDrawF.h"
#include "ui_TFMain.h"

bool TFMain::IsOrderEven()
{
    return run_.IsOrderEven();
}

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
    painter.setFont(font());
    QtSurface surface(painter, buffer.width(), buffer.height());
    layout(surface);
}

// A repaint shows the current selection but never reports an error: while the pole count
// is not a number the area keeps the last picture.
void TFMain::PB1Paint()
{
    bool orderEven = false;
    try {
        orderEven = IsOrderEven();
    } catch (const Failure&) {
        return;
    }
    Guarded([&] { DrawSelectedLayout(orderEven); });
}
