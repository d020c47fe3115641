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
#include "filtermath/FrequencyUnits.h"
#include "filtermath/NumberText.h"
#include "run/Ports.h"
#include "run/Rules.h"
#include "run/SelectorItems.h"
#include "synthesis/OrderSelection.h"
#include "synthesis/StopRequirement.h"
#include "window/TFMain.h"

using namespace synthesis;

namespace {

// In the order of Family, as the drop-down lists them.
const char* const kFamilyTexts[] = {"Butterworth", "Chebyshev", "Bessel", "Legendre", "Elliptic", "Inverse Chebyshev"};
constexpr int kFamilyCount = static_cast<int>(std::size(kFamilyTexts));
const char* const kTypeNames[] = {"LPF", "HPF", "BPF", "BSF"};
const char* const kFormNames[] = {"T", "Pi"};

QString ToQt(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string Short(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

std::string TextOf(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

int IndexOfName(const QComboBox* box, const std::string& name)
{
    return box->findData(ToQt(name));
}

} // namespace

DesignPanel::DesignPanel(const TFMain* design, QWidget* parent) : QGroupBox(tr("Design"), parent), main_(design)
{
    Build();
    SetSettings(DesignPanelSettings{});
    take_->setEnabled(main_ != nullptr);
}

void DesignPanel::Build()
{
    family_ = new QComboBox;
    for (int i = 0; i < kFamilyCount; ++i)
        family_->addItem(tr(kFamilyTexts[i]), QString::fromLatin1(FamilyName(static_cast<Family>(i))));
    type_ = new QComboBox;
    for (const char* name : kTypeNames) type_->addItem(QString::fromLatin1(name), QString::fromLatin1(name));
    form_ = new QComboBox;
    for (size_t i = 0; i < kTopologyItems.size(); ++i)
        form_->addItem(QString::fromLatin1(kTopologyItems[i]), QString::fromLatin1(kFormNames[i]));
    family_->setObjectName(QStringLiteral("Family"));
    type_->setObjectName(QStringLiteral("Type"));
    form_->setObjectName(QStringLiteral("Form"));
    unit_ = new QComboBox;
    unit_->setObjectName(QStringLiteral("Unit"));
    for (const FrequencyUnit& unit : kFrequencyUnits)
        unit_->addItem(QString::fromLatin1(unit.name), QString::fromLatin1(unit.name));

    byOrder_ = new QRadioButton(tr("Order:"));
    byRequirement_ = new QRadioButton(tr("Meet at:"));
    byRequirement_->setToolTip(tr("The smallest order with the stopband attenuation at this frequency"));
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
    rs_ = edit(tr("RS"));
    rl_ = edit(tr("RL"));

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(tr("Family:"), family_);
    form->addRow(tr("Type:"), type_);
    form->addRow(tr("Form:"), form_);
    form->addRow(tr("Unit:"), unit_);
    form->addRow(tr("Passband:"), passband_);
    form->addRow(tr("Band low:"), fmin_);
    form->addRow(tr("Band high:"), fmax_);
    form->addRow(tr("Ripple (dB):"), ripple_);
    form->addRow(tr("Stop att. (dB):"), stopAtt_);
    form->addRow(byOrder_, order_);
    form->addRow(byRequirement_, stopFreq_);
    form->addRow(tr("RS (\u03a9):"), rs_);
    form->addRow(tr("RL (\u03a9):"), rl_);

    note_ = new QLabel;
    note_->setWordWrap(true);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    design_ = new QPushButton(tr("&Design"));
    take_ = new QPushButton(tr("Take from main window"));
    take_->setToolTip(tr("Copy the design window's design here and show its ladder again"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(design_);
    layout->addWidget(take_);
    layout->addWidget(note_);
    layout->addStretch(1);

    connect(family_, &QComboBox::activated, this, &DesignPanel::ApplyFamilyDefaults);
    for (QComboBox* box : {family_, type_, form_, unit_})
        connect(box, &QComboBox::activated, this, [this] {
            UpdateFields();
            emit Edited();
        });
    for (QRadioButton* button : {byOrder_, byRequirement_})
        connect(button, &QRadioButton::clicked, this, [this] {
            UpdateFields();
            emit Edited();
        });
    for (QLineEdit* field : {order_, ripple_, stopAtt_, stopFreq_, passband_, fmin_, fmax_, rs_, rl_}) {
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
    Family family = Family::Butterworth;
    FamilyFromName(family_->currentData().toString().toStdString(), family);
    const DesignPanelSettings defaults;
    const auto usable = [](const std::function<double()>& read) {
        try {
            return read() > 0;
        } catch (const std::exception&) {
            return false;
        }
    };
    if (UsesRipple(family) && !usable([this] { return ReadRipple(TextOf(ripple_), "Ripple"); }))
        ripple_->setText(ToQt(defaults.ripple));
    if (HasFiniteZeros(family) && !usable([this] { return ReadAttenuation(TextOf(stopAtt_), "Stopband attenuation"); }))
        stopAtt_->setText(ToQt(defaults.stopAtt));
}

// Only the fields that the family, type and way of choosing the order use are enabled.
void DesignPanel::UpdateFields()
{
    Family family = Family::Butterworth;
    FamilyFromName(family_->currentData().toString().toStdString(), family);
    const bool band = type_->currentIndex() >= 2;
    const bool picked = byRequirement_->isChecked();
    order_->setEnabled(!picked);
    stopFreq_->setEnabled(picked);
    ripple_->setEnabled(UsesRipple(family));
    stopAtt_->setEnabled(HasFiniteZeros(family) || picked);
    passband_->setEnabled(!band);
    fmin_->setEnabled(band);
    fmax_->setEnabled(band);
}

DesignPanelSettings DesignPanel::Settings() const
{
    DesignPanelSettings s;
    s.family = family_->currentData().toString().toStdString();
    s.type = type_->currentData().toString().toStdString();
    s.form = form_->currentData().toString().toStdString();
    s.orderFrom = byRequirement_->isChecked() ? "requirement" : "order";
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
    return s;
}

void DesignPanel::SetSettings(const DesignPanelSettings& s)
{
    // Names the design file has already checked; an unknown one keeps the current item.
    const auto choose = [](QComboBox* box, const std::string& name) {
        const int index = IndexOfName(box, name);
        if (index >= 0) box->setCurrentIndex(index);
    };
    choose(family_, s.family);
    choose(type_, s.type);
    choose(form_, s.form);
    choose(unit_, s.unit);
    (s.orderFrom == "requirement" ? byRequirement_ : byOrder_)->setChecked(true);
    const std::pair<QLineEdit*, const std::string*> texts[] = {{order_, &s.order},
                                                               {ripple_, &s.ripple},
                                                               {stopAtt_, &s.stopAtt},
                                                               {stopFreq_, &s.stopFreq},
                                                               {passband_, &s.passband},
                                                               {fmin_, &s.fmin},
                                                               {fmax_, &s.fmax},
                                                               {rs_, &s.rs},
                                                               {rl_, &s.rl}};
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
    // The classic selectors list a prefix of the panel's items in the same order.
    const auto copy = [&form](Selector selector, QComboBox* box) {
        const int index = form.ItemIndex(selector);
        if (index >= 0 && index < box->count()) box->setCurrentIndex(index);
    };
    copy(Selector::Model, family_);
    copy(Selector::Type, type_);
    copy(Selector::Topology, form_);
    copy(Selector::Scale, unit_);
    byOrder_->setChecked(true);
    order_->setText(ToQt(form.FieldText(Field::N)));
    ripple_->setText(ToQt(form.FieldText(Field::Ripple)));
    passband_->setText(ToQt(form.FieldText(Field::PassF)));
    fmin_->setText(ToQt(form.FieldText(Field::Fmin)));
    fmax_->setText(ToQt(form.FieldText(Field::Fmax)));
    rs_->setText(ToQt(form.FieldText(Field::R)));
    rl_->setText(ToQt(form.FieldText(Field::R)));
    note_->clear();
    UpdateFields();
}

PanelDesign DesignPanel::Design() const
{
    PanelDesign out;
    DesignRequest request;
    const DesignPanelSettings s = Settings();
    if (!FamilyFromName(s.family, request.response.family)) throw std::runtime_error("Family: no such family.");
    if (!FilterTypeFromName(s.type, request.type)) throw std::runtime_error("Type: no such type.");
    const Family family = request.response.family;
    request.form = s.form == "Pi" ? LadderTopology::Pi : LadderTopology::T;
    const FrequencyUnit& unit = kFrequencyUnits[static_cast<size_t>(std::max(0, unit_->currentIndex()))];
    out.unitScale = unit.scale;
    out.unitText = unit.name;

    const bool picked = s.orderFrom == "requirement";
    if (UsesRipple(family)) request.response.rippleDb = ReadRipple(TextOf(ripple_), "Ripple");
    if (HasFiniteZeros(family) || picked)
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
    request.RS = ReadResistance(TextOf(rs_), "RS");
    request.RL = ReadResistance(TextOf(rl_), "RL");

    double stopHz = 0.0;
    std::vector<OrderChoice> others;
    if (picked) {
        stopHz = ReadFrequency(TextOf(stopFreq_), "Stop frequency", unit.scale) * unit.scale;
        others = PickOrderForStop(request, stopHz);
    }
    out.design = Synthesise(request);
    out.title = ChartTitle(kFamilyTexts[static_cast<int>(family)], s.type);
    out.formText = kTopologyItems[request.form == LadderTopology::Pi ? 1 : 0];
    if (picked) {
        std::string note = "Order " + std::to_string(out.design.request.response.N) + " reaches " +
                           Short(-TransducerGainDb(out.design, stopHz)) + " dB at " + Short(stopHz / unit.scale) + " " +
                           unit.name + ". Other families:";
        for (const OrderChoice& c : others)
            note += std::string(" ") + kFamilyTexts[static_cast<int>(c.family)] + " " +
                    (c.N > 0 ? std::to_string(c.N) : std::string("over 15")) + (&c == &others.back() ? "." : ",");
        out.note = note;
    }
    const std::string form = ModifiedFormNote(out.design.request.response);
    if (!form.empty()) out.note += (out.note.empty() ? "" : " ") + form;
    return out;
}
