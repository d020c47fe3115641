// SPDX-License-Identifier: Apache-2.0
#include "tests/cli/CliHarness.h"

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

// A temporary file that the child writes and the parent reads afterwards; no pipe can fill up.
class TempFile {
public:
    TempFile()
    {
        char pattern[] = "/tmp/corvane-cli-test-XXXXXX";
        fd_ = mkstemp(pattern);
        if (fd_ < 0) throw std::runtime_error("mkstemp failed");
        path_ = pattern;
    }
    ~TempFile()
    {
        close(fd_);
        unlink(path_.c_str());
    }
    int fd() const { return fd_; }
    std::string Read() const
    {
        std::ifstream in(path_);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    int fd_;
    std::string path_;
};

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
    TempFile out;
    TempFile err;
    std::vector<char*> argv{const_cast<char*>(CORVANE_CLI_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out.fd(), STDOUT_FILENO);
        dup2(err.fd(), STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliOutcome outcome;
    outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    outcome.out = out.Read();
    outcome.errLines = Lines(err.Read());
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
