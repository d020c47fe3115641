// SPDX-License-Identifier: Apache-2.0
#include "workbench/DesignPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <functional>
#include <stdexcept>

#include "analysis/InputRules.h"
#include "design/Names.h"
#include "filtermath/FrequencyUnits.h"
#include "filtermath/NumberText.h"
#include "run/Ports.h"
#include "run/Rules.h"
#include "design/SelectorItems.h"
#include "synthesis/ChosenZeros.h"
#include "synthesis/CoupledResonator.h"
#include "synthesis/OrderSelection.h"
#include "window/QtText.h"
#include "workbench/FieldText.h"
#include "workbench/NameChoice.h"
#include "synthesis/StopRequirement.h"
#include "window/TFMain.h"

namespace corvane {

using namespace synthesis;

namespace {

} // namespace

DesignPanel::DesignPanel(const TFMain* design, QWidget* parent) : QGroupBox(tr("Design"), parent), main_(design)
{
    BuildChoices();
    BuildFields();
    LayOut();
    Connect();
    SetSettings(DesignPanelSettings{});
    take_->setEnabled(main_ != nullptr);
}

void DesignPanel::BuildChoices()
{
    const auto choice = [](const QString& name) {
        auto* box = new QComboBox;
        box->setObjectName(name);
        return box;
    };
    family_ = choice(QStringLiteral("Family"));
    FillChoices(family_, kFamilyNames);
    type_ = choice(QStringLiteral("Type"));
    FillChoices(type_, kFilterTypeNames);
    form_ = choice(QStringLiteral("Form"));
    FillChoices(form_, kFormNames);
    bandForm_ = choice(QStringLiteral("BandPassForm"));
    FillChoices(bandForm_, kBandPassFormNames);
    bandForm_->setToolTip(tr("A band-pass as the transformed ladder, or as shunt resonators coupled by series "
                             "capacitors (top-C) or series inductors (top-L)"));
    unit_ = choice(QStringLiteral("Unit"));
    for (const FrequencyUnit& unit : kFrequencyUnits)
        unit_->addItem(QString::fromLatin1(unit.name), QString::fromLatin1(unit.name));
    byOrder_ = new QRadioButton(tr("Order:"));
    byRequirement_ = new QRadioButton(tr("Meet at:"));
    byRequirement_->setToolTip(tr("The smallest order with the stopband attenuation at this frequency"));
}

void DesignPanel::BuildFields()
{
    const auto edit = [](const QString& name) {
        auto* field = new QLineEdit;
        field->setAccessibleName(name);
        field->setObjectName(name);
        field->setMaximumWidth(90);
        // What a design file keeps of a typed number.
        field->setMaxLength(kPanelTextMaxLength);
        return field;
    };
    order_ = edit(tr("Order"));
    ripple_ = edit(tr("Ripple"));
    stopAtt_ = edit(tr("Stopband attenuation"));
    stopFreq_ = edit(tr("Stop frequency"));
    passband_ = edit(tr("Passband"));
    fmin_ = edit(tr("Low band edge"));
    fmax_ = edit(tr("High band edge"));
    delayError_ = edit(tr("Phase error"));
    delayError_->setToolTip(tr("The peak phase error of an equiripple delay design, above 0 and at most 2 degrees"));
    resonatorL_ = edit(tr("Resonator L"));
    resonatorL_->setPlaceholderText(tr("auto"));
    resonatorL_->setToolTip(tr("Henries, for example 100n. Top-C: every resonator's inductor; top-L: the "
                               "resonators' impedance level. Empty: the inductance whose reactance at the centre "
                               "equals RS"));
    zeros_ = edit(tr("Zeros"));
    zeros_->setMaximumWidth(160);
    zeros_->setToolTip(tr("Transmission zeros of a Butterworth or Chebyshev low-pass, high-pass or band-pass, "
                          "separated by commas, for example 60, 90"));
    rs_ = edit(tr("RS"));
    rl_ = edit(tr("RL"));
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("Note"));
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    design_ = new QPushButton(tr("&Design"));
    take_ = new QPushButton(tr("Take from main window"));
    take_->setToolTip(tr("Copy the design window's design here and show its ladder again"));
}

void DesignPanel::LayOut()
{
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(tr("Family:"), family_);
    form->addRow(tr("Type:"), type_);
    form->addRow(tr("Form:"), form_);
    form->addRow(tr("Band-pass:"), bandForm_);
    form->addRow(tr("Resonator L (H):"), resonatorL_);
    form->addRow(tr("Unit:"), unit_);
    form->addRow(tr("Passband:"), passband_);
    form->addRow(tr("Band low:"), fmin_);
    form->addRow(tr("Band high:"), fmax_);
    form->addRow(tr("Ripple (dB):"), ripple_);
    form->addRow(tr("Stop att. (dB):"), stopAtt_);
    form->addRow(tr("&Zeros:"), zeros_);
    form->addRow(tr("Phase error (\u00b0):"), delayError_);
    form->addRow(byOrder_, order_);
    form->addRow(byRequirement_, stopFreq_);
    form->addRow(tr("RS (\u03a9):"), rs_);
    form->addRow(tr("RL (\u03a9):"), rl_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(design_);
    layout->addWidget(take_);
    layout->addWidget(note_);
    layout->addStretch(1);
}

void DesignPanel::Connect()
{
    connect(family_, &QComboBox::activated, this, &DesignPanel::ApplyFamilyDefaults);
    for (QComboBox* box : {family_, type_, form_, bandForm_, unit_})
        connect(box, &QComboBox::activated, this, [this] {
            UpdateFields();
            emit Edited();
        });
    for (QRadioButton* button : {byOrder_, byRequirement_})
        connect(button, &QRadioButton::clicked, this, [this] {
            UpdateFields();
            emit Edited();
        });
    for (QLineEdit* field :
         {order_, ripple_, stopAtt_, stopFreq_, passband_, fmin_, fmax_, zeros_, delayError_, resonatorL_, rs_, rl_}) {
        connect(field, &QLineEdit::textEdited, this, &DesignPanel::Edited);
        connect(field, &QLineEdit::returnPressed, this, &DesignPanel::DesignRequested);
    }
    connect(design_, &QPushButton::clicked, this, &DesignPanel::DesignRequested);
    connect(take_, &QPushButton::clicked, this, [this] {
        if (!main_) return;
        TakeFrom(*main_);
        emit TakeRequested();
    });
}

// A family brings its own defaults to the fields it uses that hold no usable value, such as the
// ripple of 0 that a Bessel design leaves behind; values the user typed stay.
void DesignPanel::ApplyFamilyDefaults()
{
    const Family family = ChosenEntry(family_, kFamilyNames).value;
    const DesignPanelSettings defaults;
    const auto usable = [](const std::function<double()>& read) {
        try {
            return read() > 0;
        } catch (const std::exception&) {
            return false;
        }
    };
    if (TraitsOf(family).ripple && !usable([this] { return ReadRipple(TextOf(ripple_), "Ripple"); }))
        ripple_->setText(ToQt(defaults.ripple));
    if (TraitsOf(family).stopbandAttenuation &&
        !usable([this] { return ReadAttenuation(TextOf(stopAtt_), "Stopband attenuation"); }))
        stopAtt_->setText(ToQt(defaults.stopAtt));
}

// Only the fields that the family, type and way of choosing the order use are enabled.
void DesignPanel::UpdateFields()
{
    const Family family = ChosenEntry(family_, kFamilyNames).value;
    const FilterType type = ChosenEntry(type_, kFilterTypeNames).value;
    const bool band = type == FilterType::BandPass || type == FilterType::BandStop;
    const bool picked = byRequirement_->isChecked();
    order_->setEnabled(!picked);
    stopFreq_->setEnabled(picked);
    ripple_->setEnabled(TraitsOf(family).ripple);
    stopAtt_->setEnabled(TraitsOf(family).stopbandAttenuation || picked);
    passband_->setEnabled(!band);
    fmin_->setEnabled(band);
    fmax_->setEnabled(band);
    const bool coupled =
        type == FilterType::BandPass && ChosenEntry(bandForm_, kBandPassFormNames).value != BandPassForm::Ladder;
    // The coupled forms have no traps, and their resonators set their own topology.
    zeros_->setEnabled(TakesChosenZeros(family) && type != FilterType::BandStop && !coupled);
    delayError_->setEnabled(family == Family::EquirippleDelay);
    form_->setEnabled(!coupled);
    bandForm_->setEnabled(type == FilterType::BandPass);
    resonatorL_->setEnabled(coupled);
}

DesignPanelSettings DesignPanel::Settings() const
{
    DesignPanelSettings s;
    s.family = ChosenEntry(family_, kFamilyNames).key;
    s.type = ChosenEntry(type_, kFilterTypeNames).key;
    s.form = ChosenEntry(form_, kFormNames).key;
    s.orderFrom = KeyOf(kOrderFromNames, byRequirement_->isChecked() ? OrderFrom::Requirement : OrderFrom::Order);
    s.order = order_->text().toStdString();
    s.ripple = ripple_->text().toStdString();
    s.stopAtt = stopAtt_->text().toStdString();
    s.stopFreq = stopFreq_->text().toStdString();
    s.passband = passband_->text().toStdString();
    s.fmin = fmin_->text().toStdString();
    s.fmax = fmax_->text().toStdString();
    s.unit = unit_->currentData().toString().toStdString();
    s.rs = rs_->text().toStdString();
    s.rl = rl_->text().toStdString();
    s.zeros = zeros_->text().toStdString();
    s.delayError = delayError_->text().toStdString();
    s.bandPassForm = ChosenEntry(bandForm_, kBandPassFormNames).key;
    s.resonatorL = resonatorL_->text().toStdString();
    return s;
}

void DesignPanel::SetSettings(const DesignPanelSettings& s)
{
    // Keys the design file has already checked; an unknown one keeps the current item.
    ChooseKey(family_, s.family);
    ChooseKey(type_, s.type);
    ChooseKey(form_, s.form);
    ChooseKey(bandForm_, s.bandPassForm);
    ChooseKey(unit_, s.unit);
    const bool byRequirement = s.orderFrom == KeyOf(kOrderFromNames, OrderFrom::Requirement);
    (byRequirement ? byRequirement_ : byOrder_)->setChecked(true);
    const std::pair<QLineEdit*, const std::string*> texts[] = {{order_, &s.order},
                                                               {ripple_, &s.ripple},
                                                               {stopAtt_, &s.stopAtt},
                                                               {stopFreq_, &s.stopFreq},
                                                               {passband_, &s.passband},
                                                               {fmin_, &s.fmin},
                                                               {fmax_, &s.fmax},
                                                               {rs_, &s.rs},
                                                               {rl_, &s.rl},
                                                               {zeros_, &s.zeros},
                                                               {delayError_, &s.delayError},
                                                               {resonatorL_, &s.resonatorL}};
    for (const auto& [field, text] : texts) field->setText(ToQt(*text));
    note_->clear();
    UpdateFields();
}

void DesignPanel::SetNote(const QString& text)
{
    note_->setText(text);
}

QString DesignPanel::Note() const
{
    return note_->text();
}

void DesignPanel::TakeFrom(const TFMain& design)
{
    const FormPort& form = design.Form();
    // Each classic item stands for a value of a name table, whose key the panel's item holds.
    const auto copy = [&form](Selector selector, QComboBox* box, const auto& items, const auto& table) {
        const int index = form.ItemIndex(selector);
        if (index >= 0 && index < static_cast<int>(items.size()))
            ChooseKey(box, KeyOf(table, items[static_cast<size_t>(index)]));
    };
    copy(Selector::Model, family_, kModelItems, kFamilyNames);
    copy(Selector::Type, type_, kTypeItems, kFilterTypeNames);
    copy(Selector::Topology, form_, kTopologyItems, kFormNames);
    ChooseKey(bandForm_, KeyOf(kBandPassFormNames, BandPassForm::Ladder)); // the design window builds ladders
    const int unit = form.ItemIndex(Selector::Scale);
    if (unit >= 0 && unit < static_cast<int>(kFrequencyUnits.size()))
        ChooseKey(unit_, kFrequencyUnits[static_cast<size_t>(unit)].name);
    byOrder_->setChecked(true);
    order_->setText(ToQt(form.FieldText(Field::N)));
    ripple_->setText(ToQt(form.FieldText(Field::Ripple)));
    passband_->setText(ToQt(form.FieldText(Field::PassF)));
    fmin_->setText(ToQt(form.FieldText(Field::Fmin)));
    fmax_->setText(ToQt(form.FieldText(Field::Fmax)));
    rs_->setText(ToQt(form.FieldText(Field::R)));
    rl_->setText(ToQt(form.FieldText(Field::R)));
    zeros_->clear(); // the design window has no transmission zeros
    note_->clear();
    UpdateFields();
}

DesignRequest DesignPanel::ReadRequest(const FrequencyUnit& unit) const
{
    DesignRequest request;
    request.response.family = ChosenEntry(family_, kFamilyNames).value;
    request.type = ChosenEntry(type_, kFilterTypeNames).value;
    request.form = ChosenEntry(form_, kFormNames).value;
    const Family family = request.response.family;
    const bool picked = byRequirement_->isChecked();
    if (TraitsOf(family).ripple) request.response.rippleDb = ReadRipple(TextOf(ripple_), "Ripple");
    if (TraitsOf(family).stopbandAttenuation || picked)
        request.response.stopAttDb = ReadAttenuation(TextOf(stopAtt_), "Stopband attenuation");
    if (!picked) {
        try {
            request.response.N = StrToInt(order_->text().trimmed().toStdString());
        } catch (const Failure& failure) {
            throw std::runtime_error("Order: " + ErrorReportText(failure.what()));
        }
    }
    if (request.type == FilterType::LowPass || request.type == FilterType::HighPass) {
        request.passHz = ReadFrequency(TextOf(passband_), "Passband", unit.scale) * unit.scale;
    } else {
        request.lowHz = ReadFrequency(TextOf(fmin_), "Band low", unit.scale) * unit.scale;
        request.highHz = ReadFrequency(TextOf(fmax_), "Band high", unit.scale) * unit.scale;
        if (!(request.lowHz < request.highHz)) throw std::runtime_error("Band low must be below Band high.");
    }
    if (family == Family::EquirippleDelay)
        request.response.delayErrorDeg = ReadPhaseError(TextOf(delayError_), "Phase error");
    if (zeros_->isEnabled())
        for (double f : ReadFrequencyList(TextOf(zeros_), "Zeros", unit.scale))
            request.zerosHz.push_back(f * unit.scale);
    if (bandForm_->isEnabled()) request.bandForm = ChosenEntry(bandForm_, kBandPassFormNames).value;
    if (resonatorL_->isEnabled() && !resonatorL_->text().trimmed().isEmpty())
        request.resonatorL = ReadInductance(TextOf(resonatorL_), "Resonator L");
    request.RS = ReadResistance(TextOf(rs_), "RS");
    request.RL = ReadResistance(TextOf(rl_), "RL");
    return request;
}

std::string DesignPanel::NoteOf(const synthesis::Design& design, double stopHz, const std::vector<OrderChoice>& others,
                                const FrequencyUnit& unit) const
{
    std::vector<std::string> sentences;
    if (byRequirement_->isChecked()) {
        std::string note = "Order " + std::to_string(design.request.response.N) + " reaches " +
                           ShortNumberText(-TransducerGainDb(design, stopHz), 4) + " dB at " +
                           ShortNumberText(stopHz / unit.scale, 4) + " " + unit.name + ". Other families:";
        for (const OrderChoice& c : others)
            note += std::string(" ") + TextOf(kFamilyNames, c.family) + " " +
                    (c.N > 0 ? std::to_string(c.N) : std::string("over 15")) + (&c == &others.back() ? "." : ",");
        sentences.push_back(note);
    }
    if (!design.request.zerosHz.empty()) {
        std::string zeros = "Transmission zeros at";
        for (double hz : ZeroFrequenciesHz(design))
            zeros += (zeros.back() == 't' ? " " : ", ") + ShortNumberText(hz / unit.scale, 4);
        sentences.push_back(zeros + " " + unit.name + ".");
    }
    if (design.request.bandForm != BandPassForm::Ladder)
        sentences.push_back(CoupledFitText(design.fit, design.request.bandForm) + ".");
    const std::string form = ModifiedFormNote(design.request.response);
    if (!form.empty()) sentences.push_back(form);
    std::string note;
    for (const std::string& sentence : sentences) note += (note.empty() ? "" : " ") + sentence;
    return note;
}

PanelDesign DesignPanel::Design() const
{
    PanelDesign out;
    const FrequencyUnit* chosenUnit = UnitOfName(Settings().unit);
    const FrequencyUnit& unit = chosenUnit ? *chosenUnit : kFrequencyUnits.front();
    out.unitScale = unit.scale;
    out.unitText = unit.name;
    DesignRequest request = ReadRequest(unit);
    double stopHz = 0.0;
    std::vector<OrderChoice> others;
    if (byRequirement_->isChecked()) {
        stopHz = ReadFrequency(TextOf(stopFreq_), "Stop frequency", unit.scale) * unit.scale;
        others = PickOrderForStop(request, stopHz);
    }
    out.design = Synthesise(request);
    out.title = ChartTitle(TextOf(kFamilyNames, request.response.family), TextOf(kFilterTypeNames, request.type));
    out.formText = request.bandForm != BandPassForm::Ladder ? TextOf(kBandPassFormNames, request.bandForm)
                                                            : TextOf(kFormNames, request.form);
    out.note = NoteOf(out.design, stopHz, others, unit);
    return out;
}

} // namespace corvane
