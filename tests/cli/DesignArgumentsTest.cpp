// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "cli/DesignArguments.h"
#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

namespace {

// A design file in a fresh temporary folder, removed at the end.
class DesignOnDisk {
public:
    explicit DesignOnDisk(const DesignFile& design, const char* name = "design.corvane") : path_(folder_.Path(name))
    {
        WriteDesignFile(path_, design);
    }
    const std::string& Path() const { return path_; }

private:
    TempFolder folder_;
    std::string path_;
};

DesignFile BandPass()
{
    DesignFile d;
    d.selectors = {2, 1, 1, 1};
    d.fields = {"5", "0.2", "10", "88", "108", "75", "1", "201"};
    d.logarithmic = true;
    d.exactResponse.series = "E12";
    return d;
}

TEST(DesignArguments, FileSetsTheOptionsAndTheCommandLineOverridesIt)
{
    const DesignOnDisk file(BandPass());
    const CliOptions fromFile = ParseOptions(ExpandDesignArguments({"--design", file.Path()}).args);
    EXPECT_EQ(DesignOfOptions(fromFile, BandPass()), BandPass());

    const DesignArguments both = ExpandDesignArguments({"--design=" + file.Path(), "--poles", "7", "--unit=MHz"});
    const CliOptions overridden = ParseOptions(both.args);
    EXPECT_EQ(overridden.texts.N, "7");
    EXPECT_EQ(overridden.unit, "MHz");
    EXPECT_EQ(overridden.texts.Fmax, "108");
    EXPECT_EQ(both.base, BandPass());
}

TEST(DesignArguments, SaveTakesItsFileAndBadUseIsRefused)
{
    const DesignArguments save = ExpandDesignArguments({"--poles", "4", "--save-design", "out.corvane", "--json"});
    EXPECT_EQ(save.savePath, "out.corvane");
    EXPECT_EQ(save.args, (std::vector<std::string>{"--poles", "4", "--json"}));
    EXPECT_THROW(ExpandDesignArguments({"--design"}), std::invalid_argument);
    EXPECT_THROW(ExpandDesignArguments({"--design", "/nonexistent/x.corvane"}), DesignFileError);
    DesignFile typed;
    typed.selectors[3] = -1;
    typed.selectorTexts[3] = "THz";
    const DesignOnDisk file(typed, "typed.corvane");
    try {
        ExpandDesignArguments({"--design", file.Path()});
        FAIL() << "accepted";
    } catch (const DesignFileError& error) {
        EXPECT_NE(std::string(error.what()).find(file.Path()), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("\"THz\" is no item"), std::string::npos);
    }
}

TEST(DesignArguments, TheProgramSavesWhatTheWindowOpens)
{
    const DesignOnDisk in(BandPass(), "in.corvane");
    const TempFolder folder;
    const std::string out = folder.Path("out.corvane");
    const CliOutcome viaFile = RunCli({"--design", in.Path(), "--save-design", out, "--json"});
    EXPECT_EQ(ReadDesignFile(out), BandPass());
    std::remove(out.c_str());
    // The same run as the file's options typed out.
    const CliOutcome typed = RunCli({"--type", "BPF",     "--model", "Chebyshev", "--topology", "Pi",     "--unit",
                                     "kHz",    "--poles", "5",       "--ripple",  "0.2",        "--fmin", "88",
                                     "--fmax", "108",     "--rl",    "75",        "--stop",     "201",    "--json"});
    EXPECT_EQ(viaFile.status, typed.status);
    EXPECT_EQ(viaFile.out, typed.out);
    EXPECT_EQ(viaFile.errLines, typed.errLines);
    // A design the window could not hold is not saved.
    const CliOutcome tooLong = RunCli({"--poles", "123", "--save-design", out});
    EXPECT_NE(tooLong.status, 0);
    const CliOutcome otherFamily = RunCli({"--model", "Bessel", "--save-design", out});
    EXPECT_NE(otherFamily.status, 0);
    ASSERT_FALSE(otherFamily.errLines.empty());
    EXPECT_EQ(otherFamily.errLines[0],
              "Cannot save design file '" + out + "': the window has no item \"Bessel\" among its approximations.");
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
