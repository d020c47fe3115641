// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "cli/CliOptions.h"

using namespace corvane;

// corvane-cli run as a user runs it: its exit status, standard output and the lines of
// standard error.
struct CliOutcome {
    int status = -1;
    std::string out;
    std::vector<std::string> errLines;
};

CliOutcome RunCli(const std::vector<std::string>& args);

// The options as corvane-cli would parse them from these arguments, defaults resolved.
CliOptions ParseOptions(std::vector<std::string> args);
