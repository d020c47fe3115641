// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/OutputFiles.h"
#include "tests/support/TempFolder.h"

using namespace corvane;

// Two outputs that the file writer would put into one file are refused before anything is written,
// whether they meet by name, through "..", through a link, or through a link to a file not yet there.
TEST(OutputFiles, OutputsThatMeetInOneFileAreRefused)
{
    namespace fs = std::filesystem;
    const TempFolder folder;
    const std::string target = folder.Path("tgt.out");
    const std::string other = folder.Path("other.out");
    const std::string dangling = folder.Path("lnk.out");
    const std::string chained = folder.Path("chain.out");
    fs::create_symlink("tgt.out", dangling);
    fs::create_symlink(dangling, chained);
    fs::create_directory(folder.Path("sub"));
    const struct {
        std::string spice, touchstone;
        bool clash;
    } cases[] = {
        {target, target, true},   {target, folder.Path("sub/../tgt.out"), true},
        {target, dangling, true}, {target, chained, true},
        {target, other, false},   {dangling, other, false},
    };
    for (const auto& c : cases) {
        CliOptions options;
        options.network.spiceFile = c.spice;
        options.network.touchstoneFile = c.touchstone;
        EXPECT_EQ(!OutputClash(options).empty(), c.clash) << c.spice << " / " << c.touchstone;
    }
    std::ofstream(target) << "now there";
    CliOptions existing;
    existing.network.spiceFile = target;
    existing.network.touchstoneFile = dangling;
    EXPECT_NE(OutputClash(existing), "");
}
