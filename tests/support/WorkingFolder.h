#pragma once
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace testsupport {

// A fresh temporary folder that is the working folder while the object lives.
class WorkingFolder {
public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& Path() const { return folder_.Path(); }
    // Writes a file (folders included) and makes the path resolver see it.
    void Write(const std::string& relative, const std::string& bytes) const;

private:
    testsupport::TempDir folder_;
    std::filesystem::path previous_;
};

// Copies a built game folder (the sample data) into another folder, leaving out the settings
// file that a run of the game by hand writes there, so every copy starts from the defaults.
void CopyGameFolder(const std::filesystem::path& from, const std::filesystem::path& to);

// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

}  // namespace testsupport
