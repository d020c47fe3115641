// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "export/DesignFile.h"

namespace CLI {
class App;
}

namespace corvane {

// "--design FILE" and "--save-design FILE": the command line reads and writes the window's
// design files.
struct DesignArguments {
    // The arguments with "--design FILE" replaced by the options the file sets, except those
    // the command line gives itself, which override the file; "--save-design FILE" taken out.
    std::vector<std::string> args;
    std::string savePath; // empty without --save-design
    // The file read (the defaults without --design): what the options cannot say, such as the
    // log-axis box and the exact-response settings, is saved again from here.
    DesignFile base;
    std::set<std::string> fromFile; // the options that the file set
};

// The file's design is the design panel's, shown in the exact response window.
bool PanelShown(const DesignFile& design);

// Throws DesignFileError for a file that cannot be read or holds a drop-down text that is no
// item, std::invalid_argument for a missing file name.
DesignArguments ExpandDesignArguments(const std::vector<std::string>& args);

// Lists the two options in --help; the expansion above does their work.
void AddDesignFileOptions(CLI::App& app);

// The design the options describe, on top of base: a synthesised design (or one whose file shows
// the design panel's) as the design panel's, a classic one in the design window's fields, and
// the analysis options as the exact response window's settings. DesignFileError when a classic
// option value is none of the window's items.
DesignFile DesignOfOptions(const CliOptions& options, const DesignFile& base);

// Writes the --save-design file when asked; a failure is written to err and gives false.
bool SaveDesignIfAsked(const DesignArguments& design, const CliOptions& options, std::ostream& err);

} // namespace corvane
