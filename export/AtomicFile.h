// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace corvane {

// Writes content to the file at path, the one routine for every file the program writes.
// - "-" is standard output, and so is any name of the file open as standard output.
// - A symbolic link is followed, so that its target gets the content and the link stays.
// - A regular file is written to a temporary file in the same folder and renamed over the
//   old one, so that readers see either the old file or the whole new one; an existing
//   file keeps its mode and owner.
// - Anything else that exists (a FIFO, a device) is opened and written as it is.
// - An existing file that the user may not write is refused, and so is one whose mode
//   lets no one write, even for the superuser.
// Every failure throws ExportError "Cannot write file '<path>': <reason>" and leaves the old
// file whole, with no temporary file behind. The one exception is a file owned by someone
// else, where the owner can only be kept by writing that file in place.
void WriteFileAtomically(const std::string& path, const std::string& content);

} // namespace corvane
