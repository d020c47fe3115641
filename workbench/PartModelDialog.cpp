// SPDX-License-Identifier: Apache-2.0
#include "workbench/PartModelDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/InputRules.h"
#include "analysis/PerPartModels.h"
#include "export/PartFile.h"

namespace corvane {

namespace {

std::string TextOf(const QLineEdit* field)
{
    return field->text().trimmed().toStdString();
}

} // namespace

PartModelDialog::PartModelDialog(const std::string& designator, const PartBuild& build, const std::string& unitText,
                                 double unitScale, QWidget* parent)
    : QDialog(parent), designator_(designator), kind_(KindOfDesignator(designator)), unitScale_(unitScale)
{
    setWindowTitle(tr("Model of %1").arg(QString::fromStdString(designator)));
    PartModelItems items;
    try {
        items = SplitPartModelText(build.model, designator);
    } catch (const InputError&) {
        items.q = build.model; // a text that no longer splits stays where the user sees it
    }
    const QString unit = QString::fromStdString(unitText);
    const bool inductor = kind_ == PartKind::Inductor;
    form_ = new QFormLayout;
    q_ = AddField(tr("&Q:"), tr("Q"), items.q, tr("Empty: the Q of its kind"));
    qAt_ = AddField(tr("Q stated &at (%1):").arg(unit), tr("Q stated at"), items.qAt,
                    tr("Empty: Q is constant; else Q grows with the root of f from this frequency"));
    srf_ = AddField(tr("&SRF (%1):").arg(unit), tr("SRF"), items.srf,
                    tr("Self-resonant frequency; a unit may be written (1.2 GHz)"));
    seriesR_ = AddField(inductor ? tr("DC &resistance (\u03a9):") : tr("ES&R (\u03a9):"),
                        inductor ? tr("DC resistance") : tr("ESR"), items.seriesR, QString());
    if (!inductor) esl_ = AddField(tr("ES&L (H):"), tr("ESL"), items.esl, tr("Series inductance, without an SRF"));
    lead_ = AddField(tr("L&ead (H):"), tr("Lead"), items.lead, tr("Empty: the board's lead inductance"));

    file_ = new QLineEdit(QString::fromStdString(build.file));
    file_->setObjectName(QStringLiteral("File"));
    file_->setAccessibleName(tr("Vendor file"));
    file_->setPlaceholderText(tr("none"));
    file_->setToolTip(tr("A Touchstone file of the part measured in series; it takes the model's place"));
    auto* browse = new QPushButton(tr("&Browse\u2026"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    auto* fileLabel = new QLabel(tr("Vendor &file:"));
    fileLabel->setBuddy(file_);
    form_->addRow(fileLabel, fileRow);
    connect(browse, &QPushButton::clicked, this, &PartModelDialog::ChooseFile);
    connect(file_, &QLineEdit::textChanged, this, &PartModelDialog::FollowFile);

    error_ = new QLabel;
    error_->setObjectName(QStringLiteral("Error"));
    error_->setWordWrap(true);
    error_->setStyleSheet(QStringLiteral("color: #b02020"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* kinds = buttons->addButton(tr("&Kind's Model"), QDialogButtonBox::ResetRole);
    connect(kinds, &QPushButton::clicked, this, &PartModelDialog::UseKindsModel);
    connect(buttons, &QDialogButtonBox::accepted, this, &PartModelDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PartModelDialog::reject);

    auto* note = new QLabel(inductor ? tr("Empty fields follow the inductors' settings.")
                                     : tr("Empty fields follow the capacitors' settings."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form_);
    layout->addWidget(error_);
    layout->addWidget(buttons);
    FollowFile();
}

QLineEdit* PartModelDialog::AddField(const QString& label, const QString& name, const std::string& text,
                                     const QString& tip)
{
    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setObjectName(name);
    field->setAccessibleName(name);
    field->setToolTip(tip);
    field->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    form_->addRow(label, field);
    return field;
}

QLineEdit* PartModelDialog::FieldNamed(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QString PartModelDialog::ModelText() const
{
    PartModelItems items;
    items.q = TextOf(q_);
    items.qAt = TextOf(qAt_);
    items.srf = TextOf(srf_);
    items.seriesR = TextOf(seriesR_);
    if (esl_) items.esl = TextOf(esl_);
    items.lead = TextOf(lead_);
    return QString::fromStdString(JoinPartModelText(items, kind_));
}

PartBuild PartModelDialog::Build() const
{
    return {ModelText().toStdString(), TextOf(file_)};
}

QString PartModelDialog::Error() const
{
    return error_->text();
}

void PartModelDialog::accept()
{
    if (!TextOf(qAt_).empty() && TextOf(q_).empty()) {
        error_->setText(tr("Give the Q that is stated at %1.").arg(qAt_->text().trimmed()));
        return;
    }
    try {
        ReadPartModelText(ModelText().toStdString(),
                          tr("Model of %1").arg(QString::fromStdString(designator_)).toStdString(), kind_, unitScale_);
    } catch (const InputError& error) {
        error_->setText(QString::fromStdString(error.what()));
        return;
    }
    QDialog::accept();
}

void PartModelDialog::ChooseFile()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Vendor S-Parameter File for %1").arg(QString::fromStdString(designator_)), file_->text(),
        tr("Touchstone two-port files (*.s2p *.S2P *.ts);;All files (*)"));
    if (!path.isEmpty()) file_->setText(path);
}

void PartModelDialog::UseKindsModel()
{
    for (QLineEdit* field : {q_, qAt_, srf_, seriesR_, esl_, lead_, file_})
        if (field) field->clear();
    error_->clear();
}

// A vendor's file stands for the whole part: the model's fields wait while one is given.
void PartModelDialog::FollowFile()
{
    const bool model = file_->text().trimmed().isEmpty();
    for (QLineEdit* field : {q_, qAt_, srf_, seriesR_, esl_, lead_})
        if (field) field->setEnabled(model);
}

} // namespace corvane
