#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/PathResolver.h"

namespace {

namespace fs = std::filesystem;

// A folder tree in a temporary folder; paths are given relative to it.
class PathResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vxpathXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        for (const char* file : {"Data/Levels/Map.lvl", "Data/saves/slot.sav", "dup/ABC.txt", "dup/abc.TXT",
                                 "dup/Abc.txt", "mixed/Name/inner.txt", "mixed/name.txt"}) {
            MakeFile(file);
        }
        fs::create_directories(m_root / "Data/folder.txt");
        platform::InvalidateListings();
    }

    void TearDown() override
    {
        fs::remove_all(m_root);
        platform::InvalidateListings();
    }

    void MakeFile(const std::string& relative)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative) << relative;
    }

    // The game path with the temporary folder in front.
    std::string GamePath(const std::string& relative) const { return m_root.string() + "\\" + relative; }
    std::string DiskPath(const std::string& relative) const { return (m_root / relative).string(); }

    fs::path m_root;
};

struct ReadCase {
    const char* request;
    const char* expected;  // relative disk path, or null when nothing is found
};

TEST_F(PathResolverTest, ReadingCaseTable)
{
    const ReadCase cases[] = {
        {"Data\\Levels\\Map.lvl", "Data/Levels/Map.lvl"},
        {"data\\levels\\map.lvl", "Data/Levels/Map.lvl"},
        {"DATA/LEVELS/MAP.LVL", "Data/Levels/Map.lvl"},
        {"data//levels\\\\map.lvl", "Data/Levels/Map.lvl"},
        {"Data\\SAVES\\Slot.Sav", "Data/saves/slot.sav"},
        {"dup\\abc.TXT", "dup/abc.TXT"},   // the exact name wins
        {"dup\\Abc.txt", "dup/Abc.txt"},
        {"dup\\abc.txt", "dup/ABC.txt"},   // else the byte-wise smallest match
        {"DUP\\ABC.TXT", "dup/ABC.txt"},
        {"mixed\\NAME", nullptr},          // only a folder and a file of other kinds match
        {"mixed\\name\\inner.txt", "mixed/Name/inner.txt"},
        {"MIXED\\NAME.TXT", "mixed/name.txt"},
        {"Data\\folder.txt", nullptr},     // a folder is not a file
        {"Data\\Levels", nullptr},
        {"Data\\Levels\\missing.lvl", nullptr},
        {"Nowhere\\Map.lvl", nullptr},
        {"Data\\Levels\\..\\saves\\.\\slot.sav", "Data/saves/slot.sav"},
    };
    for (const ReadCase& c : cases) {
        std::string resolved = "untouched";
        const bool found = platform::ResolveFile(GamePath(c.request), resolved);
        if (c.expected) {
            EXPECT_TRUE(found) << c.request;
            EXPECT_EQ(fs::path(resolved), fs::path(DiskPath(c.expected))) << c.request;
        } else {
            EXPECT_FALSE(found) << c.request << " gave " << resolved;
        }
    }
}

TEST_F(PathResolverTest, FoldersResolveWithoutRegardToCase)
{
    std::string resolved;
    ASSERT_TRUE(platform::ResolveDirectory(GamePath("DATA\\levels"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("Data/Levels")));
    EXPECT_FALSE(platform::ResolveDirectory(GamePath("Data\\Levels\\Map.lvl"), resolved));
    EXPECT_FALSE(platform::ResolveDirectory(GamePath("Data\\Nothing"), resolved));
}

TEST_F(PathResolverTest, RelativePathsStartAtTheWorkingFolder)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_root);
    std::string resolved;
    const bool found = platform::ResolveFile("data\\levels\\map.lvl", resolved);
    fs::current_path(previous);
    ASSERT_TRUE(found);
    EXPECT_EQ(resolved, "Data/Levels/Map.lvl");
}

// A game path never leaves the game's folder (the working folder), however many ".." it holds.
TEST_F(PathResolverTest, DotDotNeverClimbsOutOfTheGamesFolder)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_root / "Data");
    std::string resolved;
    const bool inside = platform::ResolveFile("Levels\\..\\saves\\slot.sav", resolved);
    const std::string insidePath = resolved;
    bool anyOutside = false;
    for (const char* path : {"..\\dup\\abc.txt", "Levels\\..\\..\\dup\\ABC.txt", "../Data/Levels/Map.lvl",
                             "..\\..\\..\\..\\..\\..\\..\\..\\etc\\passwd"}) {
        anyOutside |= platform::ResolveFile(path, resolved);
        anyOutside |= platform::ResolveDirectory(path, resolved);
        anyOutside |= platform::ResolveForWriting(path, resolved);
        anyOutside |= !platform::ListGameFolder(path).empty();
    }
    const bool folderItself = platform::ResolveDirectory("Levels\\..", resolved);
    fs::current_path(previous);
    EXPECT_TRUE(inside);
    EXPECT_EQ(insidePath, "saves/slot.sav");
    EXPECT_FALSE(anyOutside);
    EXPECT_TRUE(folderItself);
    EXPECT_EQ(resolved, ".");
}

// With both "data" and "Data" present, a path is found in whichever of them holds it, and
// listings show both.
TEST_F(PathResolverTest, CaseVariantFoldersAreAllSearched)
{
    MakeFile("data/sounds/bang.wav");
    MakeFile("data/game5.dat");
    MakeFile("DATA/Levels/Other.lvl");
    std::string resolved;
    ASSERT_TRUE(platform::ResolveFile(GamePath("Data\\Sounds\\bang.wav"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("data/sounds/bang.wav")));
    ASSERT_TRUE(platform::ResolveFile(GamePath("data\\levels\\other.lvl"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("DATA/Levels/Other.lvl")));
    ASSERT_TRUE(platform::ResolveFile(GamePath("data\\levels\\map.lvl"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("Data/Levels/Map.lvl")));
    ASSERT_TRUE(platform::ResolveDirectory(GamePath("DATA\\SOUNDS"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("data/sounds")));

    ASSERT_TRUE(platform::ResolveForWriting(GamePath("Data\\game5.dat"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("data/game5.dat"))) << "the existing file is replaced";

    std::vector<std::string> names;
    for (const platform::DirectoryEntry& entry : platform::ListGameFolder(GamePath("Data"))) names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Levels", "folder.txt", "game5.dat", "saves", "sounds"}));
}

TEST_F(PathResolverTest, WritingReusesExistingNamesWhateverTheirCase)
{
    std::string resolved;
    ASSERT_TRUE(platform::ResolveForWriting(GamePath("DATA\\LEVELS\\MAP.LVL"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("Data/Levels/Map.lvl")));

    ASSERT_TRUE(platform::ResolveForWriting(GamePath("data\\SAVES\\save1.sav"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("Data/saves/save1.sav")));
    EXPECT_FALSE(fs::exists(m_root / "data")) << "no second Data folder";
}

TEST_F(PathResolverTest, WritingCreatesMissingFoldersAsWritten)
{
    std::string resolved;
    ASSERT_TRUE(platform::ResolveForWriting(GamePath("Data\\Saves2\\Deep\\save1.sav"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("Data/Saves2/Deep/save1.sav")));
    EXPECT_TRUE(fs::is_directory(m_root / "Data/Saves2/Deep"));

    // Files made since are seen by the case-insensitive lookup.
    std::ofstream(resolved) << "x";
    std::string found;
    ASSERT_TRUE(platform::ResolveForWriting(GamePath("data\\saves2\\deep\\SAVE1.SAV"), found));
    EXPECT_EQ(found, resolved);
}

TEST_F(PathResolverTest, WritingRefusesFolderTargetsAndFileFolders)
{
    std::string resolved;
    EXPECT_FALSE(platform::ResolveForWriting(GamePath("Data\\folder.txt"), resolved));
    EXPECT_FALSE(platform::ResolveForWriting(GamePath("DATA\\FOLDER.TXT"), resolved));
    EXPECT_FALSE(platform::ResolveForWriting(GamePath("Data\\Levels\\Map.lvl\\inner.txt"), resolved));
    EXPECT_FALSE(platform::ResolveForWriting(GamePath("Data\\.."), resolved));
}

TEST_F(PathResolverTest, ListingsFollowChangesMadeByOthers)
{
    std::string resolved;
    EXPECT_FALSE(platform::ResolveFile(GamePath("dup\\LATER.txt"), resolved));
    MakeFile("dup/Later.txt");
    ASSERT_TRUE(platform::ResolveFile(GamePath("dup\\LATER.txt"), resolved));
    EXPECT_EQ(fs::path(resolved), fs::path(DiskPath("dup/Later.txt")));

    const fs::path folder = m_root / "FreshFolder";
    fs::create_directory(folder);
    std::ofstream(folder / "f.txt") << "x";
    EXPECT_TRUE(platform::ResolveFile(GamePath("freshfolder\\F.TXT"), resolved));

    fs::remove(m_root / "dup/Later.txt");
    EXPECT_FALSE(platform::ResolveFile(GamePath("dup\\LATER.txt"), resolved));
}

TEST_F(PathResolverTest, SettledListingsAreReadAgainWhenTheFolderChanges)
{
    const fs::path folder = m_root / "dup";
    fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
    std::string resolved;
    EXPECT_FALSE(platform::ResolveFile(GamePath("DUP\\new.txt"), resolved));
    EXPECT_TRUE(platform::ResolveFile(GamePath("DUP\\abc.txt"), resolved));
    MakeFile("dup/NEW.txt");
    EXPECT_TRUE(platform::ResolveFile(GamePath("DUP\\new.txt"), resolved));
}

TEST_F(PathResolverTest, ListingHoldsFoldersAndFilesSortedByName)
{
    const auto entries = platform::ListDirectory(DiskPath("dup"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "ABC.txt");
    EXPECT_EQ(entries[1].name, "Abc.txt");
    EXPECT_EQ(entries[2].name, "abc.TXT");

    const auto data = platform::ListDirectory(DiskPath("Data"));
    ASSERT_EQ(data.size(), 3u);
    EXPECT_EQ(data[0].name, "Levels");
    EXPECT_TRUE(data[0].isDirectory);
    EXPECT_EQ(data[1].name, "folder.txt");
    EXPECT_TRUE(data[1].isDirectory);
}

}  // namespace
