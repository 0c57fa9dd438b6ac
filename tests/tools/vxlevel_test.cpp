// The level tool: a level written as text builds a level file whose dump is the same text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

// Dumps a level and builds the text again: the same file, byte for byte.
void ExpectDumpThenBuildGivesTheSameBytes(const SPLevelFile& level, const std::string& what)
{
    const std::string text = vxlevel::FormatLevelText(level);
    SPLevelFile built;
    std::string error;
    ASSERT_TRUE(vxlevel::ParseLevelText(text, built, error)) << what << ": " << error << "\n" << text;
    EXPECT_EQ(WriteLevelFile(built), WriteLevelFile(level)) << what << "\n" << text;
}

// Names hold whatever bytes a level file may hold: each dumps to text that builds it again.
TEST(LevelToolTest, EveryNameDumpsToTextThatBuildsTheSameLevel)
{
    const std::string names[] = {
        "",          "two words", "a//b",      "//",       "line\nbreak", "tab\there", "\"quoted\"",
        "back\\slash", "a\"b",      "\\x41",     "trail\r",  std::string("nul\0byte", 8),
        "\xff\xfe\x80", "\x7f",      "\xd0\x96",  "plain_name",
    };
    SPLevelFile level;
    level.halfWidth = 50.0f;
    level.halfDepth = 50.0f;
    for (const std::string& name : names) {
        SPLevelRecord record;
        record.name = name;
        record.position = {1.0f, -2.0f, 0.5f};
        record.rotation = {0.0f, 0.0f, 0.0f, 1.0f};
        level.records.push_back(record);
    }
    ExpectDumpThenBuildGivesTheSameBytes(level, "hostile names");
    EXPECT_NE(vxlevel::FormatLevelText(level).find("object plain_name 1"), std::string::npos)
        << "a name that needs no quotes gets none";
}

// Every level file the game reads among the fuzz seeds: the dump builds back to it.
TEST(LevelToolTest, EverySeedLevelDumpsToTextThatBuildsItAgain)
{
    int levels = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VX_FUZZ_SEEDS "/level")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        SPLevelFile level;
        std::string error;
        if (!ReadLevelFile(bytes.data(), bytes.size(), level, error)) continue;
        ++levels;
        ExpectDumpThenBuildGivesTheSameBytes(level, entry.path().filename().string());
    }
    EXPECT_GT(levels, 0);
}

TEST(LevelToolTest, QuotedNamesAreReadWithTheirEscapes)
{
    SPLevelFile level;
    std::string error;
    ASSERT_TRUE(vxlevel::ParseLevelText("size 5 5\nobject \"a b // c\\\"\\\\\\x41\" 0 0 0 0 0 0 1 // comment\n", level,
                                        error))
        << error;
    ASSERT_EQ(level.records.size(), 1u);
    EXPECT_EQ(level.records[0].name, "a b // c\"\\A");
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"size 5 5\nobject \"open 0 0 0 0 0 0 1\n", "line 2: quotes that are not closed"},
        {"size 5 5\nobject \"a\\qb\" 0 0 0 0 0 0 1\n", "line 2: an escape in quotes"},
        {"size 5 5\nobject \"a\\x4\" 0 0 0 0 0 0 1\n", "line 2: an escape in quotes"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(vxlevel::ParseLevelText(c.text, level, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

}  // namespace
