// The level file reader is bounded and checks what it reads; record names pick the level's lists.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "game/LevelFile.h"
#include "game/LevelRecordName.h"

namespace {

SPLevelFile SampleLevel()
{
    SPLevelFile level;
    level.halfWidth = 50.0f;
    level.halfDepth = 40.0f;
    level.lightCount = 3;
    level.light.colour = 0xFFFFFF;
    level.light.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
    level.records.push_back({"player", {1, 2, 3}, {0, 0, 0, 1}, {}});
    level.records.push_back({"tree12", {4, 5, 6}, {0, 0, 1, 0}, {}});
    return level;
}

void PutInt(std::vector<uint8_t>& bytes, size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); }

bool Read(const std::vector<uint8_t>& bytes, std::string& error)
{
    SPLevelFile level;
    return ReadLevelFile(bytes.data(), bytes.size(), level, error);
}

TEST(LevelFileTest, ReadsWhatWasWrittenSkippingFurtherLights)
{
    const std::vector<uint8_t> bytes = WriteLevelFile(SampleLevel());
    EXPECT_EQ(bytes.size(), 16u + 4 + 52 + 2 * 28 + 4 + 2 * 44 + 6 + 6);
    SPLevelFile level;
    std::string error;
    ASSERT_TRUE(ReadLevelFile(bytes.data(), bytes.size(), level, error)) << error;
    EXPECT_EQ(level.lightCount, 3);
    EXPECT_EQ(level.halfDepth, 40.0f);
    ASSERT_EQ(level.records.size(), 2u);
    EXPECT_EQ(level.records[1].name, "tree12");
    EXPECT_EQ(level.records[1].position.z, 6.0f);
    EXPECT_EQ(level.records[1].rotation.z, 1.0f);
}

TEST(LevelFileTest, EveryTruncatedPrefixIsRefused)
{
    const std::vector<uint8_t> bytes = WriteLevelFile(SampleLevel());
    for (size_t size = 0; size < bytes.size(); ++size) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        std::string error;
        EXPECT_FALSE(Read(prefix, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}

TEST(LevelFileTest, CountsAndLengthsOutsideTheBytesAreRefused)
{
    const std::vector<uint8_t> good = WriteLevelFile(SampleLevel());
    constexpr size_t kLightCount = 16, kObjectCount = 16 + 4 + 52 + 56, kFirstName = kObjectCount + 4;
    const struct {
        size_t offset;
        int32_t value;
    } cases[] = {
        {kLightCount, -1}, {kLightCount, 1000}, {kLightCount, std::numeric_limits<int32_t>::max()},
        {kObjectCount, -1}, {kObjectCount, 3}, {kObjectCount, std::numeric_limits<int32_t>::max()},
        {kFirstName, -1}, {kFirstName, 1000}, {kFirstName, std::numeric_limits<int32_t>::min()},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes = good;
        PutInt(bytes, c.offset, c.value);
        std::string error;
        EXPECT_FALSE(Read(bytes, error)) << c.offset << " " << c.value;
    }
}

TEST(LevelFileTest, SizesPositionsAndRotationsMustBeNumbersInRange)
{
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const struct {
        const char* what;
        void (*spoil)(SPLevelFile&);
    } cases[] = {
        {"zero width", [](SPLevelFile& l) { l.halfWidth = 0.0f; }},
        {"negative depth", [](SPLevelFile& l) { l.halfDepth = -5.0f; }},
        {"NaN width", [](SPLevelFile& l) { l.halfWidth = kNan; }},
        {"huge depth", [](SPLevelFile& l) { l.halfDepth = 1e30f; }},
        {"just over the cap", [](SPLevelFile& l) { l.halfWidth = kMaxLevelHalfSize * 1.001f; }},
        {"NaN position", [](SPLevelFile& l) { l.records[1].position.x = kNan; }},
        {"infinite player", [](SPLevelFile& l) { l.records[0].position.y = -kInf; }},
        {"NaN rotation", [](SPLevelFile& l) { l.records[1].rotation.w = kNan; }},
    };
    for (const auto& c : cases) {
        SPLevelFile level = SampleLevel();
        c.spoil(level);
        std::string error;
        EXPECT_FALSE(Read(WriteLevelFile(level), error)) << c.what;
    }
    SPLevelFile capped = SampleLevel();
    capped.halfWidth = kMaxLevelHalfSize;
    std::string error;
    EXPECT_TRUE(Read(WriteLevelFile(capped), error)) << error;
}

TEST(LevelRecordNameTest, NamesPickTheirKindModelAndList)
{
    using K = LevelRecordKind;
    using L = LevelList;
    const struct {
        const char* name;
        K kind;
        const char* model;
        L list;
        int32_t listIndex;
    } cases[] = {
        {"player", K::Player, "", L::None, 0},
        {"player2", K::Player, "", L::None, 0},
        {"players", K::Model, "players", L::None, 0},
        {"tree01", K::Model, "tree", L::None, 0},
        {"1234", K::Model, "", L::None, 0},
        {"src_walker", K::SpawnSource, "walker", L::None, 0},
        {"srcXwalker2", K::SpawnSource, "walker", L::None, 0},
        {"chk12_flag", K::CheckPoint, "flag", L::None, 0},
        {"fw_3_gate", K::Model, "gate", L::StageGate, 2},
        {"fw_20_gate", K::Model, "gate", L::StageGate, 19},
        {"sfw_1_tower", K::Model, "tower", L::StageTarget, 0},
        {"cfw_2_glass_wall", K::Model, "glass_wall", L::CheckPointGlass, 1},
        {"csfw_0_wall", K::Model, "wall", L::CheckPointBarrier, 0},
        {"csfw_19_wall", K::Model, "wall", L::CheckPointBarrier, 19},
        {"sfw2_4_tower", K::Model, "tower", L::CheckPointTarget, 4},
        {"fw2_1_door", K::Model, "door", L::CheckPointGate, 0},
        {"glass_pane", K::Model, "glass_pane", L::None, 0},
    };
    for (const auto& c : cases) {
        const SPLevelRecordName record = ClassifyLevelRecord(c.name);
        EXPECT_EQ(record.kind, c.kind) << c.name;
        EXPECT_EQ(record.model, c.model) << c.name;
        EXPECT_EQ(record.list, c.list) << c.name;
        EXPECT_EQ(record.listIndex, c.listIndex) << c.name;
        EXPECT_TRUE(record.error.empty()) << c.name << ": " << record.error;
    }
}

TEST(LevelRecordNameTest, BadPrefixNumbersPutTheObjectInNoList)
{
    const struct {
        const char* name;
        const char* model;
    } cases[] = {
        {"fw_0_gate", "gate"},   {"fw_21_gate", "gate"},     {"sfw_0_tower", "tower"}, {"cfw_21_glass", "glass"},
        {"fw2_0_door", "door"},  {"csfw_20_wall", "wall"},   {"sfw2_20_tower", "tower"}, {"csfw_-1_wall", "wall"},
        {"fw_x_gate", "gate"},   {"fw__gate", "gate"},       {"fw_1e1_gate", "gate"},  {"fw_gate", "fw_gate"},
        {"fw_99999999999_gate", "gate"},
    };
    for (const auto& c : cases) {
        const SPLevelRecordName record = ClassifyLevelRecord(c.name);
        EXPECT_EQ(record.kind, LevelRecordKind::Model) << c.name;
        EXPECT_EQ(record.list, LevelList::None) << c.name;
        EXPECT_EQ(record.model, c.model) << c.name;
        EXPECT_FALSE(record.error.empty()) << c.name;
    }
}

TEST(LevelRecordNameTest, CheckPointNumbers)
{
    const struct {
        const char* name;
        const char* text;
        int32_t number;
        const char* model;
    } cases[] = {
        {"chk12_flag", "12", 12, "flag"}, {"chk-_flag", "-", 0, "flag"}, {"chk-3_flag", "-3", -3, "flag"},
        {"chk_flag", "", 0, "flag"},      {"chk3", "", 0, ""},             {"chk99999999999_f", "99999999999", 2147483647, "f"},
    };
    for (const auto& c : cases) {
        const SPLevelRecordName record = ClassifyLevelRecord(c.name);
        EXPECT_EQ(record.kind, LevelRecordKind::CheckPoint) << c.name;
        EXPECT_EQ(record.numberText, c.text) << c.name;
        EXPECT_EQ(record.checkPointNumber, c.number) << c.name;
        EXPECT_EQ(record.model, c.model) << c.name;
    }
}

}  // namespace
