// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "design/Names.h"
#include "export/DesignFile.h"
#include "filtermath/FrequencyUnits.h"

using namespace corvane;

namespace {

// Every entry of a name table is written into a design file by its key and read back as the
// same entry: keys are unique, the writer spells them and the reader accepts each of them.
template <typename Value, size_t Count>
void ExpectEveryEntryRoundTrips(const NameTable<Value, Count>& table,
                                const std::function<std::string&(DesignFile&)>& member)
{
    for (const NameEntry<Value>& entry : table) {
        SCOPED_TRACE(entry.key);
        DesignFile design;
        design.exactResponse.panel.emplace();
        member(design) = entry.key;
        DesignFile back = ParseDesignFile(DesignFileText(design));
        ASSERT_TRUE(back.exactResponse.panel.has_value());
        EXPECT_EQ(FindKey(table, member(back)), &entry);
    }
}

TEST(DesignFileNames, EveryEntryOfEveryTableRoundTrips)
{
    ExpectEveryEntryRoundTrips(kSeriesNames, [](DesignFile& d) -> std::string& { return d.exactResponse.series; });
    ExpectEveryEntryRoundTrips(kLoadNames, [](DesignFile& d) -> std::string& { return d.exactResponse.load; });
    ExpectEveryEntryRoundTrips(kFamilyNames,
                               [](DesignFile& d) -> std::string& { return d.exactResponse.panel->family; });
    ExpectEveryEntryRoundTrips(kFilterTypeNames,
                               [](DesignFile& d) -> std::string& { return d.exactResponse.panel->type; });
    ExpectEveryEntryRoundTrips(kFormNames, [](DesignFile& d) -> std::string& { return d.exactResponse.panel->form; });
    ExpectEveryEntryRoundTrips(kOrderFromNames,
                               [](DesignFile& d) -> std::string& { return d.exactResponse.panel->orderFrom; });
    for (const FrequencyUnit& unit : kFrequencyUnits) {
        DesignFile design;
        design.exactResponse.panel.emplace().unit = unit.name;
        const DesignFile back = ParseDesignFile(DesignFileText(design));
        ASSERT_TRUE(back.exactResponse.panel.has_value());
        EXPECT_EQ(UnitOfName(back.exactResponse.panel->unit), &unit);
    }
}

// What a widget shows may be reworded; what a file holds may not. A text that is no key, such as
// a drop-down's text where it differs from its key, is refused rather than taken for an entry.
TEST(DesignFileNames, ATextIsNoKey)
{
    const std::string text = DesignFileText([] {
        DesignFile design;
        design.exactResponse.panel.emplace();
        return design;
    }());
    struct Case {
        std::string from;
        std::string to;
    };
    const Case cases[] = {{"\"series\": \"none\"", "\"series\": \"None\""},
                          {"\"load\": \"prototype\"", "\"load\": \"As the prototype needs\""},
                          {"\"form\": \"T\"", "\"form\": \"T - Type\""},
                          {"\"family\": \"Elliptic\"", "\"family\": \"elliptic\""},
                          {"\"series\": \"none\"", "\"series\": 0"}};
    for (const Case& c : cases) {
        std::string edited = text;
        const size_t at = edited.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        edited.replace(at, c.from.size(), c.to);
        EXPECT_THROW(ParseDesignFile(edited), DesignFileError) << c.to;
    }
}

} // namespace
