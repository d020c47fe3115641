#pragma once
#include <string>

// Writes content to a temporary file in the target's folder and renames it over the target,
// so that readers see either the old file or the whole new one. On failure the temporary file
// is removed and ExportError "Cannot write file '<path>': <reason>" is thrown.
void WriteFileAtomically(const std::string& path, const std::string& content);
