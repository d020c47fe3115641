// SPDX-License-Identifier: Apache-2.0
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/DesignArguments.h"
#include "corvane/Version.h"

int main(int argc, char** argv)
{
    CLI::App app{"Designs one doubly terminated LC ladder filter and prints its elements."};
    app.set_version_flag("--version", std::string("corvane-cli ") + kCorvaneVersion + "\nLicence: " + kCorvaneLicence,
                         "Print the version and the licence and exit");
    CliOptions options;
    AddOptions(app, options);
    AddDesignFileOptions(app);
    DesignArguments design;
    try {
        design = ExpandDesignArguments(std::vector<std::string>(argv + 1, argv + argc));
        ParseArguments(app, design.args);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitCompleted : kExitUsage;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return kExitUsage;
    }
    ResolveDefaults(options);
    if (!SaveDesignIfAsked(design, options, std::cerr)) return kExitEndedEarly;
    return RunDesign(options, std::cout, std::cerr);
}
