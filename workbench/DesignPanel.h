// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QGroupBox>
#include <QString>
#include <string>
#include <vector>

#include "analysis/NetworkResponse.h"
#include "export/DesignFile.h"
#include "filtermath/ESeries.h"
#include "filtermath/FrequencyUnits.h"
#include "filtermath/LadderAnalysis.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/Synthesis.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace corvane {

class TFMain;

// A ladder designed by the panel, with the texts the window shows about it.
struct PanelDesign {
    synthesis::Design design;
    double unitScale = 1e6; // hertz per unit of the panel's frequencies
    std::string unitText; // "MHz"
    std::string title; // family, two blanks, type
    std::string formText; // "T - Type" or "Pi - Type"
    // The order picked and what it reaches, with every family's order; the zeros; a coupled
    // form's accuracy.
    std::string note;
};

// The workbench's design panel: any family, type and pair of terminations,
// with the order typed or picked from a stopband requirement.
class DesignPanel : public QGroupBox {
    Q_OBJECT
public:
    // With a design window "Take from main window" copies its fields; without one it is disabled.
    explicit DesignPanel(const TFMain* design = nullptr, QWidget* parent = nullptr);

    // The settings on screen; shown is false (the window knows what it shows).
    DesignPanelSettings Settings() const;
    void SetSettings(const DesignPanelSettings& settings);

    // Synthesises the design on screen. A bad field throws std::runtime_error naming the field;
    // a request the synthesis refuses throws its Failure.
    PanelDesign Design() const;
    // The line under the fields: the last design's order note, or nothing.
    void SetNote(const QString& text);
    QString Note() const;

    // Copies the design window's fields into the panel.
    void TakeFrom(const TFMain& design);

    QPushButton* DesignButton() const { return design_; }
    QPushButton* TakeButton() const { return take_; }

signals:
    void DesignRequested();
    void TakeRequested();
    // A field or choice changed by the user.
    void Edited();

private:
    void BuildChoices();
    void BuildFields();
    void LayOut();
    void Connect();
    void UpdateFields();
    void ApplyFamilyDefaults();
    // The request on screen, with the unit its frequencies are typed in; throws as Design() does.
    synthesis::DesignRequest ReadRequest(const FrequencyUnit& unit) const;
    std::string NoteOf(const synthesis::Design& design, double stopHz,
                       const std::vector<synthesis::OrderChoice>& others, const FrequencyUnit& unit) const;

    const TFMain* main_;
    QComboBox* family_;
    QComboBox* type_;
    QComboBox* form_;
    QComboBox* bandForm_;
    QRadioButton* byOrder_;
    QRadioButton* byRequirement_;
    QLineEdit* order_;
    QLineEdit* ripple_;
    QLineEdit* stopAtt_;
    QLineEdit* stopFreq_;
    QLineEdit* passband_;
    QLineEdit* fmin_;
    QLineEdit* fmax_;
    QComboBox* unit_;
    QLineEdit* zeros_;
    QLineEdit* delayError_;
    QLineEdit* resonatorL_;
    QLineEdit* rs_;
    QLineEdit* rl_;
    QLabel* note_;
    QPushButton* design_;
    QPushButton* take_;
};

} // namespace corvane
