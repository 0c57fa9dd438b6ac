// The data tool as the README shows it, run in a game folder whose data lies in "data".
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/PFile.h"
#include "core/PPack.h"
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

}  // namespace
