// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/InputRules.h"
#include "cli/ClassicFieldChecks.h"
#include "tests/cli/CliHarness.h"

using namespace corvane;

namespace {

std::string Refusal(const std::vector<std::string>& args)
{
    try {
        CheckClassicFields(ParseOptions(args));
    } catch (const InputError& refusal) {
        return refusal.what();
    }
    return {};
}

} // namespace

// Numbers the classic run answers with "Enter the inputs.", a division by zero or a backward sweep
// are named by their option; what the run takes passes.
TEST(ClassicFieldChecks, RefusalsNameTheOption)
{
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"--passband", "0"}, "--passband"},
        {{"--poles", "0"}, "--poles"},
        {{"--poles", "-3"}, "--poles"},
        {{"--poles", "100"}, "--poles"},
        {{"--rl", "0"}, "--rl"},
        {{"--type", "BPF", "--fmin", "0", "--fmax", "12"}, "--fmin"},
        {{"--type", "BPF", "--fmin", "12", "--fmax", "8"}, "--fmin"},
        {{"--model", "Chebyshev", "--ripple", "0"}, "--ripple"},
        {{"--start", "50", "--stop", "10", "--network"}, "--start"},
        {{"--start", "50", "--stop", "10"}, nullptr},
        {{"--poles", "7"}, nullptr},
        {{"--type", "BPF", "--fmin", "8", "--fmax", "12"}, nullptr},
        {{"--model", "Chebyshev", "--ripple", "0.1"}, nullptr},
        {{"--start", "0", "--stop", "20"}, nullptr},
    };
    for (const auto& [args, option] : cases) {
        const std::string refusal = Refusal(args);
        if (!option)
            EXPECT_EQ(refusal, "") << args[0] << ' ' << args[1];
        else
            EXPECT_EQ(refusal.rfind(std::string(option) + " must be ", 0), 0u) << args[0] << ": " << refusal;
    }
}

// A refused sweep ends the run with an error status and analyses nothing.
TEST(ClassicFieldChecks, TheRunEndsWithAnError)
{
    const CliOutcome backwards = RunCli({"--start", "50", "--stop", "10", "--network"});
    EXPECT_NE(backwards.status, 0);
    EXPECT_EQ(backwards.out, "");
    ASSERT_EQ(backwards.errLines.size(), 1u);
    EXPECT_EQ(backwards.errLines[0], "--start must be less than --stop.");
}
