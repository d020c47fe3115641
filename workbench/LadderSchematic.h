#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "filtermath/LadderAnalysis.h"

// The ladder as built: source, every branch with its part names and values, and the load,
// drawn from the branches themselves so that any order and any branch kind reads the same way.
// Setters store the state and ask for a repaint; only paintEvent draws.
class LadderSchematic : public QWidget {
    Q_OBJECT
public:
    explicit LadderSchematic(QWidget* parent = nullptr);

    // positions[i] is the table position of branches[i], used in the part names (L3, C3).
    // Standard values read as parts are marked: "1.5 µH" rather than "1.50 µH".
    void SetLadder(const Ladder& ladder, const std::vector<int>& positions, bool standardValues = false);
    void Clear();

    // Every name and value shown, in drawing order from source to load: "RS", "50.0 Ω", "L1", ...
    QStringList Labels() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Part {
        QChar symbol; // 'L', 'C' or 'R'; '?' for a branch drawn as a plain box
        QString name;
        QString value;
    };
    struct Branch {
        BranchPlace place;
        BranchKind kind;
        std::vector<Part> parts;
        int width;
    };

    int ContentWidth() const;

    Part source_;
    Part load_;
    std::vector<Branch> branches_;
};
