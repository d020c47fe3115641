// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QComboBox>
#include <QCoreApplication>
#include <string>

#include "design/NameTable.h"

namespace corvane {

// A drop-down over a name table: each item shows the entry's text and holds its key as item data,
// so what is read back and saved is the key, whatever the items' order or wording.
template <typename Value, std::size_t Count>
void FillChoices(QComboBox* box, const NameTable<Value, Count>& table)
{
    for (const NameEntry<Value>& entry : table)
        box->addItem(QCoreApplication::translate("Names", entry.text), QString::fromLatin1(entry.key));
}

// The chosen entry; the table's first while nothing is chosen.
template <typename Value, std::size_t Count>
const NameEntry<Value>& ChosenEntry(const QComboBox* box, const NameTable<Value, Count>& table)
{
    const NameEntry<Value>* entry = FindKey(table, box->currentData().toString().toStdString());
    return entry ? *entry : table.front();
}

// Selects the item holding key; false, with the selection unchanged, when no item holds it.
inline bool ChooseKey(QComboBox* box, const std::string& key)
{
    const int index = box->findData(QString::fromStdString(key));
    if (index >= 0) box->setCurrentIndex(index);
    return index >= 0;
}

} // namespace corvane
