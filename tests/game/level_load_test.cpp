// Loading a level: the sample level's objects land in their lists, names choose the lists, a
// damaged file is refused as a whole, bad lights fall back to the default, and missing models
// leave out only what they would have made.
#include <cmath>
#include <limits>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRenderObject.h"
#include "game/PLevelBranch.h"
#include "game/PPlayerCar.h"
#include "level_fixture.h"
#include "physics/PPhysicData.h"
#include "support/WorkingFolder.h"

namespace {

size_t ParkedCount(const CPLevel& level)
{
    size_t count = 0;
    for (const CPLevel::ObjectList& cell : level.parkedCells) count += cell.size();
    return count;
}

size_t TreeObjectCount(const CPLevelBranch& node)
{
    if (node.IsLeaf()) return node.GetObjects().size();
    return TreeObjectCount(*node.GetFirst()) + TreeObjectCount(*node.GetSecond());
}

// A level with nothing of a file in it, as after a failed load.
void ExpectNothingBuilt(const CPLevel& level, const CPPhysics& physics)
{
    EXPECT_FALSE(level.playerCar);
    EXPECT_FALSE(level.tree);
    EXPECT_FALSE(level.camera);
    EXPECT_TRUE(level.checkPoints.empty());
    EXPECT_TRUE(level.parkedCells.empty());
    EXPECT_EQ(level.width, 10.0f);
    EXPECT_EQ(physics.GetSimulator(), nullptr);
    ASSERT_TRUE(GetAITask());
    EXPECT_EQ(GetAITask()->GetGridRows(), 5);
    EXPECT_EQ(GetAITask()->GetGridColumns(), 5);
}

TEST_F(LevelTest, TheSampleLevelLoadsItsObjectsIntoTheirPlaces)
{
    ASSERT_TRUE(m_level->Load("level1"));
    const CPLevel& level = *m_level;
    EXPECT_EQ(level.width, 120.0f);
    EXPECT_EQ(level.cellsX, 12);
    EXPECT_EQ(level.cellsY, 12);
    EXPECT_EQ(level.stageGateObjects[0].size(), 1u);
    EXPECT_EQ(level.stageTargetObjects[0].size(), 1u);
    ASSERT_EQ(level.checkPoints.size(), 2u);
    EXPECT_EQ(level.checkPoints.front().numberText, "1");
    EXPECT_EQ(level.checkPoints.back().number, 2);
    EXPECT_FALSE(level.checkPoints.front().object->IsVisible());
    EXPECT_EQ(level.nextCheckPoint, level.checkPoints.begin());
    ASSERT_EQ(level.spawnSources.count("walker"), 1u);
    EXPECT_EQ(level.spawnSources.at("walker").y, 55.0f);
    EXPECT_EQ(ParkedCount(level), 2u) << "the two crates";
    ASSERT_TRUE(level.tree);
    // Eleven static objects (three boxes, two towers, the gate, three walls, the glass wall and
    // the barrier of check point 1), four fog corners, 8 edge pieces on each of the four sides,
    // 12 x 12 tiles.
    EXPECT_EQ(TreeObjectCount(*level.tree), 11u + 4u + 4u * 8u + 144u);
    ASSERT_TRUE(level.levelObject);
    ASSERT_TRUE(level.GetPlayerCar());
    const PVector3& car = level.playerCar->GetPosition();
    EXPECT_EQ(car.x, 0.0f);
    EXPECT_EQ(car.y, -30.0f);
    EXPECT_EQ(car.z, 2.5f);
    EXPECT_NE(m_physics->GetSimulator(), nullptr);
    EXPECT_TRUE(m_physics->IsTracked(level.playerCar.Get()));
    EXPECT_TRUE(level.playerCar->GetCar());
    EXPECT_EQ(level.GetPlayerCar()->currentWeapon, -1) << "no game data: no weapon";
    EXPECT_EQ(CameraZoom, -3.0f);
    EXPECT_FLOAT_EQ(level.light.direction.x, 0.3f);
    EXPECT_FLOAT_EQ(level.light.direction.z, -1.0f);
}

TEST_F(LevelTest, RecordNamesChooseTheirListsAndBadPrefixesNone)
{
    WriteLevel("names", Level(50.0f, 50.0f,
                              {Record("fw_3_box", 0, 0), Record("csfw_0_box", 5, 0), Record("csfw_2_box", 10, 0),
                               Record("sfw2_4_box", 15, 0), Record("cfw_1_box", 20, 0), Record("fw2_20_crate", 25, 0),
                               Record("fw_0_box", 30, 0), Record("csfw_20_box", 35, 0), Record("sfw_x_box", 40, 0),
                               Record("player2", -20, 10), Record("tree01", 0, 20)}));
    ASSERT_TRUE(m_level->Load("names"));
    const CPLevel& level = *m_level;
    ASSERT_EQ(level.stageGateObjects[2].size(), 1u);
    ASSERT_EQ(level.checkPointBarrierObjects[0].size(), 1u);
    EXPECT_TRUE(level.checkPointBarrierObjects[0].front()->IsVisible()) << "csfw_0 is shown at load";
    EXPECT_TRUE(level.checkPointBarrierObjects[0].front()->HasCollision());
    ASSERT_EQ(level.checkPointBarrierObjects[2].size(), 1u);
    EXPECT_FALSE(level.checkPointBarrierObjects[2].front()->IsVisible());
    EXPECT_FALSE(level.checkPointBarrierObjects[2].front()->HasCollision());
    ASSERT_EQ(level.checkPointTargetObjects[4].size(), 1u);
    EXPECT_EQ(level.checkPointTargetObjects[4].front()->GetCheckPoint(), 4);
    ASSERT_EQ(level.checkPointGlassObjects[0].size(), 1u);
    EXPECT_FALSE(level.checkPointGlassObjects[0].front()->HasCollision());
    ASSERT_EQ(level.checkPointGateObjects[19].size(), 1u);
    const CPGameObject& gate = *level.checkPointGateObjects[19].front();
    ASSERT_TRUE(gate.GetPhysicData());
    EXPECT_EQ(gate.GetPhysicData()->animatedCollisionClass, 3);
    size_t listed = 0;
    for (const auto* lists : {&level.stageGateObjects, &level.stageTargetObjects, &level.checkPointGlassObjects,
                              &level.checkPointBarrierObjects, &level.checkPointTargetObjects,
                              &level.checkPointGateObjects}) {
        for (const CPLevel::ObjectList& list : *lists) listed += list.size();
    }
    EXPECT_EQ(listed, 6u) << "fw_0, csfw_20 and sfw_x are in no list";
    ASSERT_TRUE(level.playerCar);
    EXPECT_EQ(level.playerCar->GetPosition().x, -20.0f);
}

TEST_F(LevelTest, EveryTruncatedSampleFileIsRefusedLeavingNothing)
{
    const std::string bytes = testsupport::ReadBytes(m_folder.Path() / "data" / "levels" / "level1.lvl");
    ASSERT_GT(bytes.size(), 100u);
    for (size_t size = 0; size < bytes.size(); ++size) {
        WriteBytes("cut", std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
        CPLevel& level = NewLevel();
        EXPECT_FALSE(level.Load("cut")) << size;
        ExpectNothingBuilt(level, *m_physics);
        if (HasFailure()) return;
    }
}

TEST_F(LevelTest, BadSizesAndPositionsAreRefused)
{
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        SPLevelFile level;
    } cases[] = {
        {"zero width", Level(0.0f, 10.0f)},
        {"NaN depth", Level(10.0f, kNan)},
        {"huge width", Level(1e20f, 10.0f)},
        {"NaN position", Level(10.0f, 10.0f, {Record("box", kNan, 0)})},
        {"huge player", Level(10.0f, 10.0f, {{"player", {0, 0, 0}, {kNan, 0, 0, 1}, {}}})},
    };
    for (const auto& c : cases) {
        WriteLevel("bad", c.level);
        CPLevel& level = NewLevel();
        EXPECT_FALSE(level.Load("bad")) << c.what;
        ExpectNothingBuilt(level, *m_physics);
    }
    WriteLevel("far", Level(10.0f, 10.0f, {Record("crate", 1e30f, -1e30f), Record("crate", -15.0f, 0.0f)}));
    CPLevel& level = NewLevel();
    EXPECT_TRUE(level.Load("far")) << "far objects are not parked, nothing breaks";
    EXPECT_EQ(ParkedCount(level), 1u) << "up to a cell beyond the low edge is the first cell";
}

TEST_F(LevelTest, LightsThatCannotCastAShadowGiveTheDefaultLight)
{
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        int32_t count;
        std::array<float, 12> matrix;
    } cases[] = {
        {"no light", 0, {}},
        {"zero direction", 1, {}},
        {"level direction", 1, {1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
        {"NaN direction", 1, {1, 0, kNan, 0, 0, 1, 0, 0, 0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        SPLevelFile file = Level(10.0f, 10.0f);
        file.lightCount = c.count;
        file.light.colour = 0x102030;
        file.light.matrix = c.matrix;
        WriteLevel("lit", file);
        CPLevel& level = NewLevel();
        ASSERT_TRUE(level.Load("lit")) << c.what;
        EXPECT_EQ(level.light.direction.z, -1.0f) << c.what;
        EXPECT_EQ(level.light.diffuse.r, 1.0f) << c.what;
        const PVector4 shadow = Vec4Transform({3.0f, 4.0f, 5.0f, 1.0f}, g_shadowProjection);
        EXPECT_NE(shadow.w, 0.0f) << c.what;
        EXPECT_NEAR(shadow.x / shadow.w, 3.0f, 1e-5f) << c.what;
    }
}

TEST_F(LevelTest, WithoutTheCarModelTheLevelLoadsWithoutACar)
{
    std::filesystem::remove(m_folder.Path() / "data" / "meshes" / "jeep.rdf");
    for (const char* model : {"fog.rdf", "fogu.rdf", "level1.rdf"}) {
        std::filesystem::remove(m_folder.Path() / "data" / "meshes" / model);
    }
    std::filesystem::remove(m_folder.Path() / "data" / "meshes" / "wrong.rdf");
    platform::InvalidateListings();
    ASSERT_TRUE(m_level->Load("level1"));
    EXPECT_FALSE(m_level->playerCar);
    EXPECT_FALSE(m_level->levelObject);
    ASSERT_TRUE(m_level->tree);
    EXPECT_EQ(TreeObjectCount(*m_level->tree), 11u + 144u) << "no fog border";
    EXPECT_EQ(GetAITask()->GetGridRows(), 60);
}

TEST_F(LevelTest, ATileEqualsAFreshLoadOfTheTile)
{
    ASSERT_TRUE(m_level->Load("level1"));
    const TPtr<CPGameObject> fresh = m_loader.LoadObject("land.rdf", 20);
    ASSERT_TRUE(fresh);
    fresh->SetPosition({5.0f - 60.0f, 5.0f - 60.0f, 0.0f});
    fresh->UpdateTransform();
    const CPGameObject* tile = nullptr;
    for (const TPtr<CPGameObject>& object : m_level->tree->GetObjects()) {
        if (object->GetName() == fresh->GetName() && object->GetPosition().x == -55.0f &&
            object->GetPosition().y == -55.0f) {
            tile = object.Get();
        }
    }
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->GetKind(), fresh->GetKind());
    auto* mine = tile->GetAttachment().Get<CPRenderObject>();
    auto* theirs = fresh->GetAttachment().Get<CPRenderObject>();
    ASSERT_TRUE(mine && theirs);
    ASSERT_EQ(mine->GetVertices().size(), theirs->GetVertices().size());
    EXPECT_EQ(mine->GetIndices(), theirs->GetIndices());
    for (size_t i = 0; i < mine->GetVertices().size(); ++i) {
        EXPECT_EQ(mine->GetVertices()[i].position, theirs->GetVertices()[i].position);
        const PVector2 uv = mine->GetVertices()[i].tex0;
        EXPECT_GE(uv.x, 0.0f);
        EXPECT_LE(uv.x, 10.0f / 120.0f + 1e-6f) << "the corner tile's share of the terrain";
    }
    EXPECT_EQ(tile->GetWorld().m[3][0], fresh->GetWorld().m[3][0]);
}

}  // namespace
