// SPDX-License-Identifier: Apache-2.0
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "export/Csv.h"

using namespace corvane;

namespace {

// The fields of one CSV line as RFC 4180 reads them: a field in quotes runs to the closing quote,
// two quotes inside it stand for one.
std::vector<std::string> ReadLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += '"', ++i;
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

TEST(Csv, EveryTextComesBackAsOneField)
{
    const std::vector<std::string> texts = {"",           "plain", "4.7 pF", "k,Hz", "\"x\"", "say \"hi\", then go",
                                            "two\nlines", "cr\r",  ",",      "\"",   "\"\"",  "a\"b,c\"d"};
    std::string line;
    for (size_t i = 0; i < texts.size(); ++i) line += (i == 0 ? "" : ",") + CsvField(texts[i]);
    EXPECT_EQ(ReadLine(line), texts);
}

TEST(Csv, OnlyAFieldThatNeedsQuotesGetsThem)
{
    EXPECT_EQ(CsvField("L1, L3"), "\"L1, L3\"");
    EXPECT_EQ(CsvField("GRM\"21\""), "\"GRM\"\"21\"\"\"");
    EXPECT_EQ(CsvField("100 nH"), "100 nH");
}

} // namespace
