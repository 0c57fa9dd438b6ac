// The data tool as the modding guide (docs/modding.md) shows it, run in a game folder whose data lies in "data".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/PFile.h"
#include "core/PPack.h"
#include "core/Scramble.h"
#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace {

std::string Loaded(const char* path)
{
    CPFile file(path, false);
    if (file.Load() != 0) return "(not found)";
    return std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
}

TEST(VxpackTest, TheReadmePackExampleWorksAsWritten)
{
    {
        testsupport::WorkingFolder folder;
        folder.Write("data/scripts/list.dat", "main t_system\n");
        folder.Write("mymod/Data/Textures/Sky.txt", "the mod's sky");
        const std::string command = std::string(VX_PACK_BINARY) + " build mymod/Data Data/game5.dat";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        ASSERT_EQ(MountPacks(), 0);
        EXPECT_EQ(Loaded("Data\\textures\\sky.txt"), "the mod's sky");
        EXPECT_EQ(Loaded("Data\\Scripts\\list.dat"), "main t_system\n") << "the game's own data is still found";
    }
    MountPacks();  // outside the folder: no pack stays mounted
}

namespace fs = std::filesystem;

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A pack of the given number of files that all point at its one body of size bytes.
std::vector<uint8_t> SharedBodyPack(int files, uint32_t size)
{
    std::vector<uint8_t> index;
    const auto name = [&index](const std::string& text) {
        AppendU32(index, static_cast<uint32_t>(text.size()));
        index.insert(index.end(), text.begin(), text.end());
    };
    name("data");
    AppendU32(index, 0xFFFFFFFFu);
    AppendU32(index, 0);
    AppendU32(index, static_cast<uint32_t>(files));
    for (int i = 0; i < files; ++i) {
        name("file" + std::to_string(1000 + i));
        AppendU32(index, 0);
        AppendU32(index, size);
        AppendU32(index, 0);
    }
    Scramble(index);
    std::vector<uint8_t> pack;
    AppendU32(pack, kPackMagic);
    AppendU32(pack, static_cast<uint32_t>(index.size()));
    pack.insert(pack.end(), index.begin(), index.end());
    pack.resize(pack.size() + size, 'b');
    return pack;
}

std::string Command(const std::string& arguments, const fs::path& output)
{
    return std::string(VX_PACK_BINARY) + " " + arguments + " > '" + output.string() + "' 2>&1";
}

// Entries that share one body would make a small pack write far more than it holds.
TEST(VxpackTest, ExtractRefusesAPackWhoseFilesAddUpToMoreThanItHolds)
{
    testsupport::TempDir folder;
    const std::vector<uint8_t> pack = SharedBodyPack(200, 64 * 1024);
    std::ofstream(folder / "game7.dat", std::ios::binary).write(reinterpret_cast<const char*>(pack.data()),
                                                               static_cast<std::streamsize>(pack.size()));
    const std::string command =
        Command("extract '" + (folder / "game7.dat").string() + "' '" + (folder / "out").string() + "'", folder / "said.txt");
    EXPECT_NE(std::system(command.c_str()), 0);
    const std::string said = testsupport::ReadBytes(folder / "said.txt");
    EXPECT_NE(said.find("add up to 13107200 bytes, more than the pack's own"), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(folder / "out")) << "nothing is written";
}

// A name may hold any byte but '\\' and '/': printed, it must not reach the terminal raw.
TEST(VxpackTest, ListShowsControlBytesInNamesEscaped)
{
    testsupport::TempDir folder;
    fs::create_directories(folder / "Data");
    std::ofstream(folder / "Data" / "red\x1b[31m\x07.txt") << "x";
    std::ofstream(folder / "Data" / "plain.txt") << "y";
    const std::string build =
        Command("build '" + (folder / "Data").string() + "' '" + (folder / "game1.dat").string() + "'", folder / "built.txt");
    ASSERT_EQ(std::system(build.c_str()), 0) << testsupport::ReadBytes(folder / "built.txt");
    const std::string list = Command("list '" + (folder / "game1.dat").string() + "'", folder / "listed.txt");
    ASSERT_EQ(std::system(list.c_str()), 0);
    const std::string listed = testsupport::ReadBytes(folder / "listed.txt");
    EXPECT_EQ(listed.find('\x1b'), std::string::npos) << listed;
    EXPECT_EQ(listed.find('\x07'), std::string::npos) << listed;
    EXPECT_NE(listed.find("data\\red\\x1b[31m\\x07.txt"), std::string::npos) << listed;
    EXPECT_NE(listed.find("data\\plain.txt"), std::string::npos) << listed;
}

}  // namespace
