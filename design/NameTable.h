// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane {

// One choice of a list the user picks from. The key is how design files and the command line
// spell it: files outlive the program, so a key never changes once written. The text is what a
// drop-down shows and may be reworded. A widget holds the key as its item data, never relying on
// its item order, so reordering or rewording items cannot change what a saved file means.
template <typename Value>
struct NameEntry {
    Value value;
    const char* key;
    const char* text;
};

template <typename Value, std::size_t Count>
using NameTable = std::array<NameEntry<Value>, Count>;

// The table alone decides Value, so that a value converts to it (an ESeries to an optional one).
template <typename Value>
struct TableValue {
    using type = Value;
};

// The entry spelt key; nullptr for any other text, so that each reader names its own field.
template <typename Value, std::size_t Count>
const NameEntry<Value>* FindKey(const NameTable<Value, Count>& table, const std::string& key)
{
    for (const NameEntry<Value>& entry : table)
        if (key == entry.key) return &entry;
    return nullptr;
}

// The entry of a value. A value without one is a fault in its table, not in the input.
template <typename Value, std::size_t Count>
constexpr const NameEntry<Value>& EntryOf(const NameTable<Value, Count>& table,
                                          const typename TableValue<Value>::type& value)
{
    for (const NameEntry<Value>& entry : table)
        if (entry.value == value) return entry;
    throw std::logic_error("a value is missing from its name table");
}

template <typename Value, std::size_t Count>
constexpr const char* KeyOf(const NameTable<Value, Count>& table, const typename TableValue<Value>::type& value)
{
    return EntryOf(table, value).key;
}

template <typename Value, std::size_t Count>
constexpr const char* TextOf(const NameTable<Value, Count>& table, const typename TableValue<Value>::type& value)
{
    return EntryOf(table, value).text;
}

// The keys in table order: the command line's choices.
template <typename Value, std::size_t Count>
std::vector<std::string> KeysOf(const NameTable<Value, Count>& table)
{
    std::vector<std::string> keys;
    for (const NameEntry<Value>& entry : table) keys.emplace_back(entry.key);
    return keys;
}

// "a, b or c", for a message that lists what a field accepts.
std::string ListOfKeys(const std::vector<std::string>& keys);

} // namespace corvane
