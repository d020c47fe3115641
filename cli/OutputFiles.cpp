// SPDX-License-Identifier: Apache-2.0
#include "cli/OutputFiles.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace corvane {

namespace {

const char* const kStandardOutput = "-";

// Where a path will be written: through every link to its final target, which the file writer
// follows even where the target does not exist yet (a dangling link).
std::filesystem::path WrittenPath(const std::string& path, std::error_code& error)
{
    namespace fs = std::filesystem;
    fs::path p = fs::absolute(path, error);
    // As many links as the system itself follows before it gives up on a loop.
    for (int hops = 0; hops < 40 && !error; ++hops) {
        std::error_code status;
        if (!fs::is_symlink(fs::symlink_status(p, status))) break;
        const fs::path target = fs::read_symlink(p, error);
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return error ? fs::path() : fs::weakly_canonical(p, error);
}

// Two paths name one file when they are the same text, resolve to the same place (through
// links and "..", for files not there yet as well), or are one existing file.
bool SameFile(const std::string& a, const std::string& b)
{
    if (a == b) return true;
    if (a == kStandardOutput || b == kStandardOutput) return false;
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    const fs::path ca = WrittenPath(a, error);
    if (error) return false;
    const fs::path cb = WrittenPath(b, error);
    return !error && ca == cb;
}

std::vector<std::pair<const char*, std::string>> Files(const CliOptions& options)
{
    std::vector<std::pair<const char*, std::string>> files;
    if (!options.network.spiceFile.empty()) files.emplace_back("--spice", options.network.spiceFile);
    if (!options.network.touchstoneFile.empty()) files.emplace_back("--touchstone", options.network.touchstoneFile);
    if (!options.saveDesignFile.empty()) files.emplace_back("--save-design", options.saveDesignFile);
    if (!options.board.subcircuitFile.empty()) files.emplace_back("--spice-subckt", options.board.subcircuitFile);
    if (!options.board.bomFile.empty()) files.emplace_back("--bom", options.board.bomFile);
    if (!options.board.kicadFile.empty()) files.emplace_back("--kicad", options.board.kicadFile);
    return files;
}

} // namespace

std::string OutputClash(const CliOptions& options)
{
    const auto files = Files(options);
    for (size_t i = 0; i < files.size(); ++i)
        for (size_t j = i + 1; j < files.size(); ++j)
            if (SameFile(files[i].second, files[j].second))
                return std::string(files[i].first) + " and " + files[j].first + " name the same file '" +
                       files[i].second + "'; give each output a file of its own.";
    if (options.json)
        for (const auto& [option, path] : files)
            if (path == kStandardOutput)
                return std::string("--json and ") + option +
                       " - both write to standard output; give the file a name or leave out --json.";
    return {};
}

bool FileTakesStandardOutput(const CliOptions& options)
{
    for (const auto& file : Files(options))
        if (file.second == kStandardOutput) return true;
    return false;
}

} // namespace corvane
