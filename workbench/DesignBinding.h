// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>

#include "export/DesignFile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QTableWidget;

namespace corvane {

class TChart;
class TFMain;

// The design window's controls by role, found by their names in its form.
class DesignControls {
public:
    explicit DesignControls(TFMain& window);

    QLineEdit* Edit(Field field) const;
    QComboBox* Box(Selector selector) const;
    QCheckBox* LogScaleBox() const { return logScale_; }
    TChart* Chart() const { return chart_; }
    QTableWidget* Grid() const { return grid_; }

    // What the window shows now, as a design file holds it.
    DesignFile Read() const;
    // Sets the drop-downs, then the fields (the model's ripple preset comes before the saved
    // ripple), then the log-axis box. Every change runs the window's own handlers.
    void Apply(const DesignFile& design) const;
    // Calls changed after every change of a field, a drop-down or the log-axis box.
    void WatchEdits(QObject* context, const std::function<void()>& changed) const;

private:
    TFMain& window_;
    QCheckBox* logScale_;
    TChart* chart_;
    QTableWidget* grid_;
};

} // namespace corvane
