// SPDX-License-Identifier: Apache-2.0
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/DesignArguments.h"
#include "cli/OutputFiles.h"
#include "corvane/Version.h"

using namespace corvane;

int main(int argc, char** argv)
{
    CLI::App app{"corvane-cli designs one doubly terminated LC ladder filter and prints its elements.", "corvane-cli"};
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
    options.saveDesignFile = design.savePath;
    options.fromFile = design.fromFile;
    options.fileSweepStart = design.base.exactResponse.sweepStart;
    options.fileSweepStop = design.base.exactResponse.sweepStop;
    options.synthesis.panelShown = PanelShown(design.base);
    const std::string clash = OutputClash(options);
    if (!clash.empty()) {
        std::cerr << clash << '\n';
        return kExitUsage;
    }
    const int status = RunDesign(options, std::cout, std::cerr);
    // A run that did not complete leaves no design file behind.
    if (status != kExitCompleted) return status;
    return SaveDesignIfAsked(design, options, std::cerr) ? status : kExitEndedEarly;
}
