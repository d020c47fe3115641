// SPDX-License-Identifier: Apache-2.0
#include "app/InfoOptions.h"

#include <cstring>

#include "corvane/Version.h"

namespace corvane {

std::optional<int> AnswerInfoOptions(int argc, const char* const* argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break; // what follows is a file name, even "--help"
        if (std::strcmp(argv[i], "--version") == 0) {
            out << "corvane " << kCorvaneVersion << "\nLicence: " << kCorvaneLicence << '\n';
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            out << "Usage: corvane [--version] [--help] [Qt options] [FILE]\n"
                   "Opens the Corvane design window, with the design FILE (.corvane) when one is given.\n"
                   "  -h, --help   print this help and exit\n"
                   "  --version    print the version and the licence and exit\n"
                   "See corvane(1) and corvane-cli(1).\n";
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace corvane
