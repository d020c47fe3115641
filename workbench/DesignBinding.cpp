// SPDX-License-Identifier: Apache-2.0
#include "workbench/DesignBinding.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>

#include "chart/TChart.h"
#include "window/TComboBox.h"
#include "window/TFMain.h"

namespace corvane {

namespace {

constexpr std::array<const char*, kFieldCount> kFieldNames = {"leN",    "leRipple", "lePassF",  "leFmin",
                                                              "leFmax", "leR",      "leFStart", "leStop"};
constexpr std::array<const char*, kSelectorCount> kSelectorNames = {"CBType", "CBModel", "CBType1", "cbScale"};

template <typename T>
T* Named(const TFMain& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT(child);
    return child;
}

} // namespace

DesignControls::DesignControls(TFMain& window)
    : window_(window),
      logScale_(Named<QCheckBox>(window, "CheckBox1")),
      chart_(Named<TChart>(window, "chGain")),
      grid_(Named<QTableWidget>(window, "SG1"))
{
}

QLineEdit* DesignControls::Edit(Field field) const
{
    return Named<QLineEdit>(window_, kFieldNames[static_cast<size_t>(field)]);
}

QComboBox* DesignControls::Box(Selector selector) const
{
    return Named<QComboBox>(window_, kSelectorNames[static_cast<size_t>(selector)]);
}

DesignFile DesignControls::Read() const
{
    DesignFile design;
    for (size_t f = 0; f < kFieldNames.size(); ++f)
        design.fields[f] = Edit(static_cast<Field>(f))->text().toStdString();
    for (size_t s = 0; s < kSelectorNames.size(); ++s) {
        const QComboBox* box = Box(static_cast<Selector>(s));
        design.selectors[s] = box->currentIndex();
        design.selectorTexts[s] = box->currentIndex() < 0 ? box->currentText().toStdString() : std::string();
    }
    design.logarithmic = logScale_->isChecked();
    return design;
}

void DesignControls::Apply(const DesignFile& design) const
{
    for (size_t s = 0; s < kSelectorNames.size(); ++s) {
        QComboBox* box = Box(static_cast<Selector>(s));
        if (design.selectors[s] >= 0)
            box->setCurrentIndex(design.selectors[s]);
        else
            box->setEditText(QString::fromStdString(design.selectorTexts[s]));
    }
    for (size_t f = 0; f < kFieldNames.size(); ++f)
        Edit(static_cast<Field>(f))->setText(QString::fromStdString(design.fields[f]));
    logScale_->setChecked(design.logarithmic);
}

void DesignControls::WatchEdits(QObject* context, const std::function<void()>& changed) const
{
    for (size_t f = 0; f < kFieldNames.size(); ++f)
        QObject::connect(Edit(static_cast<Field>(f)), &QLineEdit::textChanged, context, changed);
    for (size_t s = 0; s < kSelectorNames.size(); ++s)
        QObject::connect(static_cast<TComboBox*>(Box(static_cast<Selector>(s))), &TComboBox::Changed, context, changed);
    QObject::connect(logScale_, &QCheckBox::toggled, context, changed);
}

} // namespace corvane
