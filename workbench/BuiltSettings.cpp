// SPDX-License-Identifier: Apache-2.0
#include "workbench/BuiltSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <cmath>

#include "analysis/InputRules.h"
#include "rules/BuildSettings.h"
#include "design/Names.h"
#include "export/PartFile.h"
#include "filtermath/EngineeringText.h"
#include "workbench/FieldText.h"
#include "workbench/NameChoice.h"
#include "workbench/ShownDesign.h"

namespace corvane {

namespace {

QString Short(double value)
{
    return QString::number(value, 'g', 4);
}

} // namespace

BuiltSettings::BuiltSettings(QWidget* parent) : QGroupBox(tr("Ladder as built"), parent)
{
    Build();
    SetSettings(ExactResponseSettings{});
}

namespace {

// The limits as an engineer reads them ("1 pF, 5 nH, 2 k\u03a9") where that text reads back to the
// same values, else as plain numbers, so that opening and saving a file changes nothing.
QString LimitsText(const PartLimits& limits)
{
    const std::string engineering = EngineeringText(limits.minCapacitance, "F", true) + ", " +
                                    EngineeringText(limits.minInductance, "H", true) + ", " +
                                    EngineeringText(limits.maxInductorReactance, "\u03a9", true);
    try {
        if (ReadPartLimits(engineering, "") == limits) return QString::fromStdString(engineering);
    } catch (const InputError&) {
        // the plain numbers below always read
    }
    return QString::fromStdString(PartLimitsText(limits));
}

} // namespace

QLineEdit* BuiltSettings::Field(const QString& name, const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setAccessibleName(name);
    field->setObjectName(name);
    field->setMaxLength(kPanelTextMaxLength);
    connect(field, &QLineEdit::textEdited, this, &BuiltSettings::Edited);
    connect(field, &QLineEdit::returnPressed, this, &BuiltSettings::ApplyRequested);
    return field;
}

void BuiltSettings::Build()
{
    series_ = new QComboBox;
    FillChoices(series_, kSeriesNames);
    series_->setObjectName(QStringLiteral("Series"));
    inductorQ_ = Field(QString::fromUtf8(kWorkbenchNames.inductorQ), QStringLiteral("0"));
    capacitorQ_ = Field(QString::fromUtf8(kWorkbenchNames.capacitorQ), QStringLiteral("0"));
    for (QLineEdit* q : {inductorQ_, capacitorQ_})
        q->setToolTip(tr("0 is an ideal part; 80 @ 100 MHz is Q 80 at 100 MHz, growing with the root of f"));
    load_ = new QComboBox;
    load_->setObjectName(QStringLiteral("Load"));
    FillChoices(load_, kLoadNames);
    loadValue_ = Field(QString::fromUtf8(kWorkbenchNames.load), QStringLiteral("50"));
    loadValue_->setObjectName(QStringLiteral("loadValue"));
    start_ = Field(QString::fromUtf8(kWorkbenchNames.sweepStart), QString());
    stop_ = Field(QString::fromUtf8(kWorkbenchNames.sweepStop), QString());
    points_ = Field(QString::fromUtf8(kWorkbenchNames.points), QStringLiteral("1001"));
    limits_ = Field(QString::fromUtf8(kWorkbenchNames.partLimits), LimitsText(PartLimits{}));
    limits_->setToolTip(tr("A part is flagged below the least capacitance or inductance, or above the greatest "
                           "inductor reactance at the highest passband frequency"));
    logarithmic_ = new QCheckBox(tr("Lo&garithmic sweep"));
    apply_ = new QPushButton(tr("&Apply"));
    startLabel_ = new QLabel;
    stopLabel_ = new QLabel;
    startLabel_->setBuddy(start_);
    stopLabel_->setBuddy(stop_);

    auto* form = new QFormLayout(this);
    form->addRow(tr("&Standard series:"), series_);
    form->addRow(tr("Q of &inductors:"), inductorQ_);
    form->addRow(tr("Q of &capacitors:"), capacitorQ_);
    BuildModelFields();
    form->addRow(tr("SRF of inductors:"), srfL_);
    form->addRow(tr("SRF of capacitors:"), srfC_);
    form->addRow(tr("DC resistance of inductors (\u03a9):"), rdcL_);
    form->addRow(tr("ESR of capacitors (\u03a9):"), esrC_);
    form->addRow(tr("ESL of capacitors (H):"), eslC_);
    form->addRow(tr("Stray C at each node:"), nodeC_);
    form->addRow(tr("Lead L of each part:"), leadL_);
    form->addRow(absorbStrays_);
    form->addRow(tr("&Load:"), load_);
    form->addRow(tr("Load (\u03a9):"), loadValue_);
    form->addRow(startLabel_, start_);
    form->addRow(stopLabel_, stop_);
    form->addRow(tr("P&oints:"), points_);
    form->addRow(logarithmic_);
    form->addRow(tr("Part li&mits (C, L, X):"), limits_);
    form->addRow(apply_);

    const auto chosen = [this] {
        loadValue_->setEnabled(LoadIsTyped());
        emit Edited();
        emit ApplyRequested();
    };
    // Programmatic choices count as the user's too; SetSettings blocks them.
    connect(series_, &QComboBox::currentIndexChanged, this, chosen);
    connect(load_, &QComboBox::currentIndexChanged, this, chosen);
    connect(logarithmic_, &QCheckBox::toggled, this, chosen);
    connect(absorbStrays_, &QCheckBox::toggled, this, chosen);
    connect(apply_, &QPushButton::clicked, this, &BuiltSettings::ApplyRequested);
}

void BuiltSettings::BuildModelFields()
{
    srfL_ = Field(QString::fromUtf8(kWorkbenchNames.srfL), QStringLiteral("0"));
    srfC_ = Field(QString::fromUtf8(kWorkbenchNames.srfC), QStringLiteral("0"));
    for (QLineEdit* srf : {srfL_, srfC_})
        srf->setToolTip(tr("Self-resonant frequency in the design's unit (or with its unit: 1.2 GHz); 0: none"));
    rdcL_ = Field(QString::fromUtf8(kWorkbenchNames.rdcL), QStringLiteral("0"));
    esrC_ = Field(QString::fromUtf8(kWorkbenchNames.esrC), QStringLiteral("0"));
    eslC_ = Field(QString::fromUtf8(kWorkbenchNames.eslC), QStringLiteral("0"));
    eslC_->setToolTip(tr("Series inductance of every capacitor, in henries (0.4n), in place of its SRF"));
    nodeC_ = Field(QString::fromUtf8(kWorkbenchNames.nodeC), QStringLiteral("0"));
    nodeC_->setToolTip(tr("Pads and traces from every node to ground, in farads (1.5p); a node of its own as n3 4p "
                          "(1.5p, n3 4p), n1 at the source, out at the load"));
    leadL_ = Field(QString::fromUtf8(kWorkbenchNames.leadL), QStringLiteral("0"));
    leadL_->setToolTip(tr("Leads and pads in series with every part, in henries (0.5n)"));
    absorbStrays_ = new QCheckBox(tr("A&bsorb strays into shunt capacitors"));
}

namespace {

void SetOrErase(std::map<std::string, std::string>& texts, const std::string& designator, const std::string& text)
{
    if (text.empty())
        texts.erase(designator);
    else
        texts[designator] = text;
}

std::string TextAt(const std::map<std::string, std::string>& texts, const std::string& designator)
{
    const auto found = texts.find(designator);
    return found == texts.end() ? std::string() : found->second;
}

} // namespace

void BuiltSettings::SetPartFile(const std::string& designator, const std::string& path)
{
    SetOrErase(partFiles_, designator, path);
    emit Edited();
    emit ApplyRequested();
}

void BuiltSettings::SetPartBuild(const std::string& designator, const PartBuild& build)
{
    SetOrErase(ownModels_, designator, build.model);
    SetOrErase(partFiles_, designator, build.file);
    emit Edited();
    emit ApplyRequested();
}

PartBuild BuiltSettings::PartBuildOf(const std::string& designator) const
{
    return {TextAt(ownModels_, designator), TextAt(partFiles_, designator)};
}

BuildTexts BuiltSettings::Texts() const
{
    BuildTexts t;
    t.series = ChosenEntry(series_, kSeriesNames).key;
    t.inductorQ = TextOf(inductorQ_);
    t.capacitorQ = TextOf(capacitorQ_);
    t.models = {TextOf(srfL_),
                TextOf(srfC_),
                TextOf(rdcL_),
                TextOf(esrC_),
                TextOf(nodeC_),
                TextOf(leadL_),
                absorbStrays_->isChecked(),
                partFiles_,
                ownModels_,
                TextOf(eslC_)};
    t.load = ChosenEntry(load_, kLoadNames).key;
    t.loadValue = TextOf(loadValue_);
    t.sweepStart = TextOf(start_);
    t.sweepStop = TextOf(stop_);
    t.points = TextOf(points_);
    t.logarithmic = logarithmic_->isChecked();
    t.partLimits = TextOf(limits_);
    return t;
}

ExactResponseSettings BuiltSettings::Settings() const
{
    // Points or limits that do not read keep the file's; the status line says why.
    ExactResponseSettings s;
    s.points = filePoints_;
    s.partLimits = fileLimits_;
    KeepBuildTexts(Texts(), s);
    return s;
}

void BuiltSettings::SetSettings(const ExactResponseSettings& file)
{
    const BuildTexts t = BuildTextsOfFile(file);
    const QSignalBlocker blockSeries(series_), blockLoad(load_), blockLog(logarithmic_), blockAbsorb(absorbStrays_);
    // Keys the design file has already checked; an unknown one keeps the current item.
    ChooseKey(series_, t.series);
    ChooseKey(load_, t.load);
    loadValue_->setEnabled(LoadIsTyped());
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {inductorQ_, &t.inductorQ}, {capacitorQ_, &t.capacitorQ}, {loadValue_, &t.loadValue}, {start_, &t.sweepStart},
        {stop_, &t.sweepStop},      {points_, &t.points},         {srfL_, &t.models.srfL},    {srfC_, &t.models.srfC},
        {rdcL_, &t.models.rdcL},    {esrC_, &t.models.esrC},      {nodeC_, &t.models.nodeC},  {leadL_, &t.models.leadL},
        {eslC_, &t.models.eslC}};
    for (const auto& [field, text] : texts) field->setText(QString::fromStdString(*text));
    logarithmic_->setChecked(t.logarithmic);
    filePoints_ = file.points;
    fileLimits_ = file.partLimits;
    limits_->setText(LimitsText(file.partLimits));
    absorbStrays_->setChecked(t.models.absorbStrays);
    partFiles_ = t.models.partFiles;
    ownModels_ = t.models.ownModels;
}

void BuiltSettings::ShowDesign(const ShownDesign& design)
{
    const QString unit = QString::fromStdString(design.UnitText());
    startLabel_->setText(unit.isEmpty() ? tr("S&tart:") : tr("S&tart (%1):").arg(unit));
    stopLabel_->setText(unit.isEmpty() ? tr("Sto&p:") : tr("Sto&p (%1):").arg(unit));
    if (design.Empty()) return;
    const auto [low, high] = SweepAroundBand(design.Edges(), design.UnitScale(), Logarithmic());
    start_->setPlaceholderText(tr("auto: %1").arg(Short(low)));
    stop_->setPlaceholderText(tr("auto: %1").arg(Short(high)));
}

bool BuiltSettings::Logarithmic() const
{
    return logarithmic_->isChecked();
}

QString BuiltSettings::SeriesText() const
{
    return ChosenEntry(series_, kSeriesNames).value ? series_->currentText() : QString();
}

bool BuiltSettings::LoadIsTyped() const
{
    return ChosenEntry(load_, kLoadNames).value == LoadChoice::Value;
}

} // namespace corvane
