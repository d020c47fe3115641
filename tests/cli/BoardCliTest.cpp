// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

namespace {

using Args = std::vector<std::string>;

// Both routes to a design, the classic run and the synthesis, hand the ladder as built to the
// board's files: the parts rounded to E12 carry the same designators in the JSON, the BOM, the
// subcircuit and the schematic.
TEST(BoardCli, FilesOfTheLadderAsBuiltFromBothRoutes)
{
    for (const Args& design :
         {Args{"--model", "Chebyshev", "--poles", "5"}, Args{"--model", "Elliptic", "--poles", "5"}}) {
        TempFolder folder;
        Args args = design;
        args.insert(args.end(), {"--series", "E12", "--json", "--bom", folder.Path("bom.csv"), "--kicad",
                                 folder.Path("ladder.kicad_sch"), "--spice-subckt", folder.Path("ladder.sub")});
        const CliOutcome run = RunCli(args);
        ASSERT_EQ(run.status, 0) << design[1];
        const std::string bom = ReadFile(folder.Path("bom.csv"));
        const std::string sheet = ReadFile(folder.Path("ladder.kicad_sch"));
        const std::string sub = ReadFile(folder.Path("ladder.sub"));
        const nlohmann::json json = nlohmann::json::parse(run.out);
        std::vector<std::string> names;
        if (json.contains("RoundedParts"))
            for (const auto& item : json["RoundedParts"].items()) names.push_back(item.key());
        else
            for (const auto& e : json["RoundedElements"])
                names.push_back("L" + std::to_string(e["Position"].get<int>()));
        ASSERT_FALSE(names.empty());
        for (const std::string& name : names) {
            EXPECT_NE(bom.find(name), std::string::npos) << name;
            EXPECT_NE(sheet.find("(reference \"" + name + "\")"), std::string::npos) << name;
            EXPECT_NE(sub.find("\n" + name + " "), std::string::npos) << name;
        }
    }
}

TEST(BoardCli, BoardFilesClashingWithAnotherOutputAreRefused)
{
    TempFolder folder;
    const CliOutcome run = RunCli({"--bom", folder.Path("x"), "--kicad", folder.Path("x")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(folder.Names().empty());
}

} // namespace
