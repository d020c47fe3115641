// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "design/LadderModel.h"

namespace corvane {

// The ladder as built: source, every branch with its part names and values, and the load,
// drawn from the branches themselves, so that any order and any arm (single parts, resonators,
// trap arms) reads the same way. Each arm is a tree of parts in series and in parallel, laid
// out along its wire: horizontally in the line, vertically across it. Setters store the state
// and lay it out; only paintEvent draws.
class LadderSchematic : public QWidget {
    Q_OBJECT
public:
    explicit LadderSchematic(QWidget* parent = nullptr);

    // Each part is named by its designator (L3, C3, L103). Standard values read as parts are
    // marked: "1.5 µH" rather than "1.50 µH".
    void SetLadder(const LadderModel& ladder, bool standardValues = false);
    void Clear();

    // Every name and value shown, from source to load: "RS", "50.0 Ω", "L1", "796 nH", ...
    QStringList Labels() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Parts in series or in parallel; a leaf is one part. Sizes are measured along the wire
    // and across it: 'before' above a horizontal wire or left of a vertical one, 'after' below
    // or right of it. Labels go above a horizontal part and right of a vertical one.
    struct Arm {
        enum class Shape { Part, Series, Parallel } shape = Shape::Part;
        QChar symbol; // 'L', 'C', 'R', or '?' for a kind drawn as a plain box
        QString name;
        QString value;
        std::vector<Arm> children;
        double along = 0, before = 0, after = 0;
    };

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Branch {
        bool series;
        Arm arm;
        double width;
    };

    void Measure(Arm& arm, bool vertical) const;
    void LayOut();

    QString sourceValue_, loadValue_;
    Arm source_, load_;
    std::vector<Branch> branches_;
    double topRail_ = 0, bottomRail_ = 0, width_ = 0;
};

} // namespace corvane
