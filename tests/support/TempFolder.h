// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder in the system's temporary folder, removed with everything in it at the end.
// Every Qt-free test that writes files goes through it; Qt tests use QTemporaryDir.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string Path(const std::string& name) const { return (path_ / name).string(); }
    // The names of the files in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);
