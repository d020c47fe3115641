// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QGroupBox>
#include <map>
#include <optional>
#include <string>

#include "analysis/NetworkResponse.h"
#include "export/DesignFile.h"
#include "filtermath/ESeries.h"
#include "filtermath/LadderAnalysis.h"
#include "rules/BuildSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

class ShownDesign;

// How one part is built, as the user gives it: its own model (analysis/PerPartModels.h; empty
// for its kind's) and a vendor's measured file (empty for none), which takes the model's place.
struct PartBuild {
    std::string model;
    std::string file;
};

// The ladder as built (standard series, part Q, the kinds' part models, board strays, load) and the
// exact analysis's sweep. Start and stop left empty follow the shown design's band; their grey
// placeholders say where.
class BuiltSettings : public QGroupBox {
    Q_OBJECT
public:
    explicit BuiltSettings(QWidget* parent = nullptr);

    // Everything but the design panel's part of the settings.
    ExactResponseSettings Settings() const;
    void SetSettings(const ExactResponseSettings& settings);
    // The unit and the automatic sweep of the design now shown.
    void ShowDesign(const ShownDesign& design);
    // The fields as typed, the part stress's aside (rules/BuildSettings.h reads them).
    BuildTexts Texts() const;
    bool Logarithmic() const;
    // A vendor's file for a part (designator), or none for an empty path: kept in the design file
    // and read with every analysis. Emits Edited and ApplyRequested.
    void SetPartFile(const std::string& designator, const std::string& path);
    const std::map<std::string, std::string>& PartFiles() const { return partFiles_; }
    // A part's own model and file at once; the same signals as SetPartFile.
    void SetPartBuild(const std::string& designator, const PartBuild& build);
    PartBuild PartBuildOf(const std::string& designator) const;
    QString SeriesText() const;

signals:
    // A field typed or a choice made: the settings differ from the file's.
    void Edited();
    // A choice made, Apply, or Enter in a field: analyse again.
    void ApplyRequested();

private:
    void Build();
    QLineEdit* Field(const QString& name, const QString& text);
    bool LoadIsTyped() const;
    void BuildModelFields();

    QComboBox* series_;
    QLineEdit* inductorQ_;
    QLineEdit* capacitorQ_;
    QComboBox* load_;
    QLineEdit* loadValue_;
    QLabel* startLabel_;
    QLabel* stopLabel_;
    QLineEdit* start_;
    QLineEdit* stop_;
    QLineEdit* points_;
    QCheckBox* logarithmic_;
    QLineEdit* limits_;
    // The file's points and limits, kept while the field's text cannot be read.
    int filePoints_ = ExactResponseSettings{}.points;
    PartLimits fileLimits_;
    QLineEdit* srfL_;
    QLineEdit* srfC_;
    QLineEdit* rdcL_;
    QLineEdit* esrC_;
    QLineEdit* eslC_;
    QLineEdit* nodeC_;
    QLineEdit* leadL_;
    QCheckBox* absorbStrays_;
    QPushButton* apply_;
    std::map<std::string, std::string> partFiles_;
    std::map<std::string, std::string> ownModels_;
};

} // namespace corvane
