// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QWidget>

#include "analysis/Tolerance.h"

namespace corvane {

// Bars of the worst-margin distribution: red below zero (trials that miss the mask), green at
// and above.
class MarginHistogramView : public QWidget {
    Q_OBJECT
public:
    explicit MarginHistogramView(QWidget* parent = nullptr);
    void SetHistogram(const MarginHistogram& histogram, bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MarginHistogram histogram_;
    bool shown_ = false;
};

} // namespace corvane
