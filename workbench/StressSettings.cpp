// SPDX-License-Identifier: Apache-2.0
#include "workbench/StressSettings.h"

#include <QFormLayout>
#include <QLineEdit>

#include "analysis/InputRules.h"
#include "rules/BuildSettings.h"
#include "workbench/FieldText.h"

namespace corvane {

StressSettings::StressSettings(QWidget* parent) : QGroupBox(tr("Part stress at power"), parent)
{
    power_ = Field(QString::fromUtf8(kWorkbenchNames.power), tr("none"),
                   tr("Power the source makes available, in dBm (40), or in watts with the unit (10 W, 500 mW); "
                      "empty: no stress"));
    vswr_ = Field(QString::fromUtf8(kWorkbenchNames.vswr), QString(),
                  tr("1: a matched load; above 1 the load's phase is turned through a full circle and the worst "
                     "case kept"));
    capacitorRating_ = Field(QString::fromUtf8(kWorkbenchNames.ratingC), tr("none"),
                             tr("Peak volts a capacitor may take; a part above it is marked. Empty: no check"));
    inductorRating_ = Field(QString::fromUtf8(kWorkbenchNames.ratingL), tr("none"),
                            tr("Peak amperes an inductor may carry; a part above it is marked. Empty: no check"));
    auto* form = new QFormLayout(this);
    form->addRow(tr("Po&wer (dBm or W):"), power_);
    form->addRow(tr("Load VSWR:"), vswr_);
    form->addRow(tr("C rating (V peak):"), capacitorRating_);
    form->addRow(tr("L rating (A peak):"), inductorRating_);
    SetSettings(StressFileSettings{});
}

QLineEdit* StressSettings::Field(const QString& name, const QString& placeholder, const QString& tip)
{
    auto* field = new QLineEdit;
    field->setAccessibleName(name);
    field->setObjectName(name);
    field->setPlaceholderText(placeholder);
    field->setToolTip(tip);
    field->setMaxLength(kPanelTextMaxLength);
    connect(field, &QLineEdit::textEdited, this, &StressSettings::Edited);
    connect(field, &QLineEdit::returnPressed, this, &StressSettings::ApplyRequested);
    return field;
}

StressFileSettings StressSettings::Texts() const
{
    return {TextOf(power_), TextOf(vswr_), TextOf(capacitorRating_), TextOf(inductorRating_)};
}

std::optional<StressFileSettings> StressSettings::Settings() const
{
    const StressFileSettings s = Texts();
    if (s == StressFileSettings{}) return std::nullopt;
    return s;
}

void StressSettings::SetSettings(const StressFileSettings& s)
{
    power_->setText(QString::fromStdString(s.power));
    vswr_->setText(QString::fromStdString(s.vswr));
    capacitorRating_->setText(QString::fromStdString(s.capacitorRating));
    inductorRating_->setText(QString::fromStdString(s.inductorRating));
}

} // namespace corvane
