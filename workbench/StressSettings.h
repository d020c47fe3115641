// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QGroupBox>
#include <optional>

#include "analysis/PartStress.h"
#include "export/DesignFile.h"

class QLineEdit;

namespace corvane {

// The drive and the ratings the parts' stress is worked out for.
struct StressRequest {
    StressDrive drive;
    StressRatings ratings;
};

// The power available from the source (dBm, or watts written with W), the load's VSWR and the
// ratings of the kinds: a capacitor's peak voltage, an inductor's peak current. An empty power
// asks for no stress; an empty rating checks nothing.
class StressSettings : public QGroupBox {
    Q_OBJECT
public:
    explicit StressSettings(QWidget* parent = nullptr);

    // The fields as typed.
    StressFileSettings Texts() const;
    // Absent while every field holds its default, so that a file without stress keeps its form.
    std::optional<StressFileSettings> Settings() const;
    void SetSettings(const StressFileSettings& settings);

signals:
    // A field typed: the settings differ from the file's.
    void Edited();
    // Enter in a field: analyse again.
    void ApplyRequested();

private:
    QLineEdit* Field(const QString& name, const QString& placeholder, const QString& tip);

    QLineEdit* power_;
    QLineEdit* vswr_;
    QLineEdit* capacitorRating_;
    QLineEdit* inductorRating_;
};

} // namespace corvane
