// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QImage>
#include <QWidget>

namespace corvane {

// The schematic area: keeps its picture in a buffer, so that a repaint shows the last
// picture drawn. Before each repaint it emits Painting(), where the owner may redraw
// the buffer.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);
    QImage& Buffer();

signals:
    void Painting();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage buffer_;
};

} // namespace corvane
