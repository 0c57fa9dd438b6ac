// The level tool: a level written as text builds a level file whose dump is the same text.
#include <gtest/gtest.h>

#include "LevelText.h"

namespace {

constexpr char kLevel[] =
    "size 100 80.5\n"
    "light ffe0c0 1 0 0 0 0 0.70710677 -0.70710677 0 0 0.70710677 0.70710677 3\n"
    "object player 10 -20 0 0 0 0.38268343 0.9238795\n"
    "object fw_1_gate 0 5 0 0 0 0 1\n"
    "object chk1_flag -30 40 0 0 0 1 0\n";

TEST(LevelToolTest, BuiltLevelDumpsBackToItsText)
{
    SPLevelFile level;
    std::string error;
    ASSERT_TRUE(vxlevel::ParseLevelText(kLevel, level, error)) << error;
    const std::vector<uint8_t> bytes = WriteLevelFile(level);
    SPLevelFile read;
    ASSERT_TRUE(ReadLevelFile(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(vxlevel::FormatLevelText(read), kLevel);
    EXPECT_EQ(read.light.colour, 0xffe0c0u);
    EXPECT_FLOAT_EQ(read.light.matrix[5], 0.70710677f);
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[1].name, "fw_1_gate");
    EXPECT_EQ(read.records[2].rotation.z, 1.0f);
}

TEST(LevelToolTest, CommentsAndBlankLinesAreSkippedAndNoLightMeansNone)
{
    SPLevelFile level;
    std::string error;
    ASSERT_TRUE(vxlevel::ParseLevelText("// a bare level\n\nsize 5 5   // half sizes\n", level, error)) << error;
    EXPECT_EQ(level.lightCount, 0);
    EXPECT_EQ(vxlevel::FormatLevelText(level), "size 5 5\n");
}

TEST(LevelToolTest, RefusesWhatItCannotReadWithTheLine)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "no size line"},
        {"size 5 5\nsize 6 6\n", "line 2: a second size line"},
        {"size 5\n", "line 1: not \"size <half width> <half depth>\""},
        {"size 5 5\nlight fffffff00 1 0 0 0 0 1 0 0 0 0 1 0\n", "line 2: not \"light <RRGGBB> <12 floats>\""},
        {"size 5 5\nobject tree 1 2 3\n", "line 2: not \"object <name> <x> <y> <z> <qx> <qy> <qz> <qw>\""},
        {"size 5 5\nobject tree 1 2 x 0 0 0 1\n", "line 2: not \"object <name> <x> <y> <z> <qx> <qy> <qz> <qw>\""},
        {"size 5 5\nwall 1\n", "line 2: unknown item \"wall\""},
    };
    for (const auto& c : cases) {
        SPLevelFile level;
        std::string error;
        EXPECT_FALSE(vxlevel::ParseLevelText(c.text, level, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(LevelToolTest, RefusesALevelTheGameWouldRefuse)
{
    SPLevelFile level;
    std::string error;
    EXPECT_FALSE(vxlevel::ParseLevelText("size 0 5\n", level, error));
    EXPECT_NE(error.find("half sizes"), std::string::npos) << error;
    EXPECT_FALSE(vxlevel::ParseLevelText("size 1e9 5\n", level, error));
}

}  // namespace
