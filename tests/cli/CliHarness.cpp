// SPDX-License-Identifier: Apache-2.0
#include "tests/cli/CliHarness.h"
#include "tests/support/TempFolder.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

CliOutcome RunCli(const std::vector<std::string>& args)
{
    // Files rather than pipes: the child can write any amount without blocking on the parent.
    TempFolder folder;
    const std::string outPath = folder.Path("out");
    const std::string errPath = folder.Path("err");
    std::vector<char*> argv{const_cast<char*>(CORVANE_CLI_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0) _exit(126);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliOutcome outcome;
    outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    outcome.out = ReadFile(outPath);
    outcome.errLines = Lines(ReadFile(errPath));
    return outcome;
}

CliOptions ParseOptions(std::vector<std::string> args)
{
    CLI::App app;
    CliOptions options;
    AddOptions(app, options);
    ParseArguments(app, args);
    ResolveDefaults(options);
    return options;
}
