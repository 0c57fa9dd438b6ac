// The score tool on a table whose names hold control bytes: listed, they reach no terminal raw.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/TempDir.h"
#include "support/WorkingFolder.h"

namespace {

TEST(VxscoresTest, ListShowsControlBytesInNamesEscaped)
{
    testsupport::TempDir folder;
    {
        std::ofstream table(folder / "table.txt", std::ios::binary);
        table << "\x1b[2Jwiped;900\n" << "bell\x07;800\n";
        for (int line = 2; line < 12; ++line) table << "player" << line << ";" << 700 - line << "\n";
    }
    const std::string tool = VX_SCORES_BINARY;
    const std::string build = tool + " build '" + (folder / "table.txt").string() + "' '" +
                              (folder / "scores.dat").string() + "'";
    ASSERT_EQ(std::system(build.c_str()), 0) << build;
    const std::string list =
        tool + " list '" + (folder / "scores.dat").string() + "' > '" + (folder / "listed.txt").string() + "'";
    ASSERT_EQ(std::system(list.c_str()), 0) << list;
    const std::string listed = testsupport::ReadBytes(folder / "listed.txt");
    EXPECT_EQ(listed.find('\x1b'), std::string::npos) << listed;
    EXPECT_EQ(listed.find('\x07'), std::string::npos) << listed;
    EXPECT_EQ(listed.rfind("\\x1b[2Jwiped;900\nbell\\x07;800\nplayer2;698\n", 0), 0u) << listed;
}

}  // namespace
