// SPDX-License-Identifier: Apache-2.0
#include "workbench/ToleranceForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <cmath>

#include "analysis/InputRules.h"
#include "analysis/MaskText.h"
#include "design/Names.h"
#include "workbench/FieldText.h"
#include "workbench/NameChoice.h"

namespace corvane {

namespace {

const char* const kCurveKeys[] = {"S21", "S11"};

// An empty mask field leaves that part of the mask out.
std::optional<double> OptionalAttenuation(const QLineEdit* edit)
{
    if (edit->text().trimmed().isEmpty()) return std::nullopt;
    return ReadAttenuation(TextOf(edit), NameOf(edit));
}

int KeyIndex(const char* const (&keys)[2], const std::string& key)
{
    return key == keys[1] ? 1 : 0;
}

} // namespace

ToleranceForm::ToleranceForm(QWidget* parent) : QGroupBox(tr("Trials and mask"), parent)
{
    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const struct {
        const char* label;
        const char* name;
    } inputs[] = {{"&Trials:", "Trials"},
                  {"L tolerance (%):", "L tolerance"},
                  {"C tolerance (%):", "C tolerance"},
                  {"Seed:", "Seed"},
                  {"Max passband loss (dB):", "Max passband loss"},
                  {"Stop frequency:", "Stop frequency"},
                  {"Stop attenuation (dB):", "Stop attenuation"},
                  {"Mask bands:", "Mask bands"}};
    for (const auto& input : inputs) {
        auto* edit = new QLineEdit;
        edit->setAccessibleName(tr(input.name));
        edit->setObjectName(QString::fromLatin1(input.name));
        const bool bands = std::string(input.name) == "Mask bands";
        edit->setMaxLength(bands ? kMaskTextMaxLength : kPanelTextMaxLength);
        edit->setMaximumWidth(bands ? 260 : 110);
        connect(edit, &QLineEdit::textEdited, this, &ToleranceForm::Edited);
        connect(edit, &QLineEdit::returnPressed, this, &ToleranceForm::RunRequested);
        edits_.push_back(edit);
        form->addRow(tr(input.label), edit);
    }
    distribution_ = new QComboBox;
    FillChoices(distribution_, kDistributionNames);
    form->insertRow(3, tr("Distribution:"), distribution_);
    curve_ = new QComboBox;
    curve_->addItems({tr("|S21|"), tr("|S11|")});
    form->addRow(tr("Envelope of:"), curve_);
    for (QComboBox* box : {distribution_, curve_}) connect(box, &QComboBox::activated, this, &ToleranceForm::Edited);
    SetSettings(ToleranceFileSettings{});
}

ToleranceFileSettings ToleranceForm::Settings() const
{
    ToleranceFileSettings s;
    std::string* texts[] = {&s.trials,      &s.inductorTol, &s.capacitorTol, &s.seed,
                            &s.maxPassLoss, &s.stopFreq,    &s.stopAtt,      &s.mask};
    for (size_t i = 0; i < edits_.size(); ++i) *texts[i] = edits_[i]->text().toStdString();
    s.distribution = ChosenEntry(distribution_, kDistributionNames).key;
    s.curve = kCurveKeys[curve_->currentIndex() == 1 ? 1 : 0];
    return s;
}

void ToleranceForm::SetSettings(const ToleranceFileSettings& s)
{
    const std::string* texts[] = {&s.trials,      &s.inductorTol, &s.capacitorTol, &s.seed,
                                  &s.maxPassLoss, &s.stopFreq,    &s.stopAtt,      &s.mask};
    for (size_t i = 0; i < edits_.size(); ++i) edits_[i]->setText(QString::fromStdString(*texts[i]));
    ChooseKey(distribution_, s.distribution);
    curve_->setCurrentIndex(KeyIndex(kCurveKeys, s.curve));
}

void ToleranceForm::SetUnit(const QString& unit)
{
    Edit(Input::StopFreq)->setPlaceholderText(unit);
    Edit(Input::Mask)->setPlaceholderText(tr("pass 0 30 0.5; stop 60 300 40 (%1)").arg(unit));
}

ToleranceSettings ToleranceForm::ReadSettings() const
{
    ToleranceSettings settings;
    settings.trials = ReadTrials(TextOf(Edit(Input::Trials)), NameOf(Edit(Input::Trials)));
    settings.distribution = ChosenEntry(distribution_, kDistributionNames).value;
    const auto percent = [&](Input input) {
        return ReadTolerancePercent(TextOf(Edit(input)), NameOf(Edit(input)), settings.distribution);
    };
    settings.inductorPercent = percent(Input::InductorTol);
    settings.capacitorPercent = percent(Input::CapacitorTol);
    settings.seed = ReadSeed(TextOf(Edit(Input::Seed)), NameOf(Edit(Input::Seed)));
    return settings;
}

MaskRequest ToleranceForm::ReadMask(double unitScale) const
{
    MaskRequest mask;
    mask.maxPassLossDb = OptionalAttenuation(Edit(Input::MaxPassLoss));
    const QLineEdit* stop = Edit(Input::StopFreq);
    if (!stop->text().trimmed().isEmpty()) mask.stopFreq = ReadFrequency(TextOf(stop), NameOf(stop), unitScale);
    mask.stopAttDb = OptionalAttenuation(Edit(Input::StopAtt));
    if (mask.stopFreq.has_value() != mask.stopAttDb.has_value())
        throw InputError("The stopband needs both a stop frequency and a stop attenuation.");
    const QLineEdit* bands = Edit(Input::Mask);
    mask.bands = ReadMaskText(bands->text().toStdString(), NameOf(bands), unitScale);
    return mask;
}

} // namespace corvane
