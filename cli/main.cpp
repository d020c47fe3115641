#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"

int main(int argc, char** argv)
{
    CLI::App app{"Designs one doubly terminated LC ladder filter and prints its elements."};
    CliOptions options;
    AddOptions(app, options);
    try {
        ParseArguments(app, std::vector<std::string>(argv + 1, argv + argc));
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitCompleted : kExitUsage;
    }
    ResolveDefaults(options);
    return RunDesign(options, std::cout, std::cerr);
}
