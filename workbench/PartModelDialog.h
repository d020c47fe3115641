// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QDialog>
#include <string>

#include "design/LadderModel.h"
#include "workbench/BuiltSettings.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace corvane {

// "Model of L2": the part's own Q (constant, or growing with the root of f from where it is
// stated), self-resonance, loss resistance, ESL (a capacitor's) and lead, or a vendor's file.
// Empty fields follow the part's kind. OK is taken only when every field reads; the reason shows
// in the dialog, which stays open.
class PartModelDialog : public QDialog {
    Q_OBJECT
public:
    // unitText and unitScale: the design's frequency unit, in which a bare frequency is read.
    PartModelDialog(const std::string& designator, const PartBuild& build, const std::string& unitText,
                    double unitScale, QWidget* parent = nullptr);

    PartBuild Build() const;
    // The fields' text; for tests and the caller.
    QString ModelText() const;
    QString Error() const;
    QLineEdit* FieldNamed(const QString& name) const;

public slots:
    void accept() override;

private:
    QLineEdit* AddField(const QString& label, const QString& name, const std::string& text, const QString& tip);
    void ChooseFile();
    void UseKindsModel();
    void FollowFile();

    std::string designator_;
    PartKind kind_;
    double unitScale_;
    QFormLayout* form_;
    QLineEdit* q_;
    QLineEdit* qAt_;
    QLineEdit* srf_;
    QLineEdit* seriesR_;
    QLineEdit* esl_ = nullptr;
    QLineEdit* lead_;
    QLineEdit* file_;
    QLabel* error_;
};

} // namespace corvane
