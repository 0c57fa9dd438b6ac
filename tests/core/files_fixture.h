#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/PPack.h"
#include "platform/PathResolver.h"

// Runs a test inside a fresh temporary working folder, so the game's relative paths ("Data\...")
// land there; the folder, the cached listings and the mounted packs are gone afterwards.
class TempWorkingFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "vxfilesXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        std::filesystem::current_path(m_folder);
        platform::InvalidateListings();
        MountPacks();
    }

    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove_all(m_folder);
        platform::InvalidateListings();
        MountPacks();
    }

    // Writes a file below the working folder (path with '/'), creating its folders.
    static void WriteDiskFile(const std::string& path, const std::string& content)
    {
        const std::filesystem::path file(path);
        if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        platform::InvalidateListings();
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

    std::filesystem::path m_folder;

private:
    std::filesystem::path m_previous;
};
