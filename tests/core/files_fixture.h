#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/PPack.h"
#include "platform/PathResolver.h"
#include "support/TempDir.h"

// Runs a test inside a fresh temporary working folder, so the game's relative paths ("Data\...")
// land there; the folder, the cached listings and the mounted packs are gone afterwards.
class TempWorkingFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.Path());
        MountPacks();
    }

    void TearDown() override
    {
        std::filesystem::remove_all("Data");
        MountPacks();
        std::filesystem::current_path(m_previous);
        platform::InvalidateListings();
    }

    // Writes a file below the working folder (path with '/'), creating its folders.
    static void WriteDiskFile(const std::string& path, const std::string& content)
    {
        const std::filesystem::path file(path);
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }

    static void WriteDiskFile(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        WriteDiskFile(path, std::string(bytes.begin(), bytes.end()));
    }

    static std::string ReadDiskFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    testsupport::TempDir m_folder;
    std::filesystem::path m_previous;
};
