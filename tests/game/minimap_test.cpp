// The minimap: its markers from the marker models, where world points land on the screen
// square, the blinking, the targets it shows and the map quad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Render/ModelFile.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PVertex.h"
#include "Render/model_fixture.h"
#include "core/PGlobalTimer.h"
#include "core/SettingsVariables.h"
#include "game/PLevel.h"
#include "game/PMiniMap.h"
#include "support/ScreenSize.h"
#include "support/WorkingFolder.h"

namespace {

using namespace modeltest;

// An 800 x 600 screen, an object loader over a folder with both marker models (unless a test
// writes others), and a level of 200 x 200.
class MiniMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteModel("minimap_obj.rdf", {Node("markers", {Node("arrow"), Node("checkpoint")})});
        WriteModel("minimap_obj2.rdf", {Node("targets", {Node("checkpoint")})});
    }
    void TearDown() override {
        g_frameDelta = 0.0f;
        m_map = nullptr;
        CollectGarbage();
    }

    void WriteModel(const std::string& name, std::vector<SPMeshNode> nodes) {
        const std::vector<uint8_t> bytes = WriteMeshFile(MeshFile(false, std::move(nodes)));
        m_folder.Write("data/meshes/" + name + ".msh", std::string(bytes.begin(), bytes.end()));
        m_folder.Write("data/meshes/" + name, "mesh = " + name + ".msh\n");
    }
    void Load() {
        m_map = new CPMiniMap;
        m_map->Load("level1", 200.0f, 200.0f);
    }
    static TPtr<CPGameObject> At(float x, float y) {
        TPtr<CPGameObject> object(new CPGameObject("target"));
        object->SetPosition({x, y, 0.0f});
        return object;
    }

    testsupport::ScreenSize m_screenSize{800, 600};
    testsupport::WorkingFolder m_folder;
    CPObjectLoader m_loader;
    TPtr<CPMiniMap> m_map;
};

TEST_F(MiniMapTest, LoadingGivesTheArrowAHiddenCheckPointMarkerAndTenTargetMarkers) {
    Load();
    EXPECT_EQ(m_map->GetClassName(), "CPMiniMap");
    ASSERT_TRUE(m_map->GetArrowMarker() && m_map->GetCheckPointMarker());
    EXPECT_TRUE(m_map->GetArrowMarker()->IsVisible());
    EXPECT_FALSE(m_map->GetCheckPointMarker()->IsVisible());
    ASSERT_TRUE(m_map->GetBuildObject());
    EXPECT_EQ(m_map->GetBuildObject()->GetName(), "build");
    ASSERT_EQ(m_map->GetBuildObject()->GetChildren().size(), 10u);
    for (const TPtr<CPGameObject>& marker : m_map->GetTargetMarkers()) {
        EXPECT_EQ(marker->GetKind(), CPGameObject::kMesh) << "a copy of the marker";
        EXPECT_FALSE(marker->IsVisible());
    }
}

// Models without "arrow" or "checkpoint" (the fallback model has neither): the map works
// without those markers.
TEST_F(MiniMapTest, MarkerModelsWithoutTheirChildrenLeaveThoseMarkersOut) {
    WriteModel("minimap_obj.rdf", {Node("markers", {Node("other")})});
    WriteModel("minimap_obj2.rdf", {Node("targets")});
    Load();
    EXPECT_FALSE(m_map->GetArrowMarker());
    EXPECT_FALSE(m_map->GetCheckPointMarker());
    EXPECT_EQ(m_map->GetTargetMarkers()[0]->GetKind(), CPGameObject::kNothing);
    CPLevel level;
    level.stageTargetObjects[0].push_back(At(10.0f, 0.0f));
    m_map->SetTarget(At(5.0f, 5.0f));
    g_frameDelta = 0.3f;
    m_map->Update({0.0f, 0.0f, 0.0f}, 1.0f);
    m_map->SetTarget(nullptr);
    EXPECT_EQ(m_map->GetTargetCount(), 1);
}

// On 800 x 600 the square spans x 607 to 754 and y 407 to 554; the car is at its centre and a
// point far away lands on its edge in its direction.
TEST_F(MiniMapTest, WorldPointsLandInTheSquareAndFarOnesOnItsEdge) {
    Load();
    m_map->Update({30.0f, 40.0f, 0.0f}, 0.0f);
    struct Case {
        PVector3 point;
        float x, y;
    };
    const Case cases[] = {
        {{30.0f, 40.0f, 5.0f}, 680.5f, 480.5f},
        {{1030.0f, 40.0f, 0.0f}, 607.0f, 407.0f},
        {{30.0f, 1040.0f, 0.0f}, 754.0f, 407.0f},
        {{40.0f, 40.0f, 0.0f}, 680.5f - 12.99308f, 480.5f - 12.99308f},
    };
    for (const Case& c : cases) {
        const PVector3 p = m_map->MapPoint(c.point, {30.0f, 40.0f, 0.0f});
        EXPECT_NEAR(p.x, c.x, 1e-3f) << c.point.x << "," << c.point.y;
        EXPECT_NEAR(p.y, c.y, 1e-3f) << c.point.x << "," << c.point.y;
        EXPECT_EQ(p.z, 0.0f);
    }
}

TEST_F(MiniMapTest, TheCheckPointMarkerBlinksEveryQuarterSecondOnlyWhileThereIsATarget) {
    Load();
    const TPtr<CPGameObject> marker = m_map->GetCheckPointMarker();
    g_frameDelta = 0.125f;
    m_map->Update({}, 0.0f);
    m_map->Update({}, 0.0f);
    EXPECT_FALSE(marker->IsVisible()) << "no target";
    m_map->SetTarget(At(10.0f, 0.0f));
    std::vector<bool> shown;
    for (int i = 0; i < 6; ++i) {
        m_map->Update({}, 0.0f);
        shown.push_back(marker->IsVisible());
    }
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false, true, true, false}));
    m_map->SetTarget(nullptr);
    EXPECT_FALSE(marker->IsVisible());
}

TEST_F(MiniMapTest, TheFirstTenTargetsOfTheStageThenTheCheckPointGetBlinkingMarkers) {
    Load();
    CPLevel level;
    level.stageIndex = 1;
    level.checkPointIndex = 2;
    for (int i = 0; i < 8; ++i) level.stageTargetObjects[1].push_back(At(static_cast<float>(i), 0.0f));
    for (int i = 0; i < 4; ++i) level.checkPointTargetObjects[2].push_back(At(0.0f, static_cast<float>(i)));
    g_frameDelta = 0.25f;
    m_map->Update({}, 0.0f);
    EXPECT_EQ(m_map->GetTargetCount(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(m_map->GetTargetMarkers()[i]->IsVisible()) << i;
    m_map->Update({}, 0.0f);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(m_map->GetTargetMarkers()[i]->IsVisible()) << "blinks at 0.5 s";

    level.stageTargetObjects[1].clear();
    level.checkPointIndex = 25;  // past the lists: no check-point targets
    m_map->Update({}, 0.0f);
    EXPECT_EQ(m_map->GetTargetCount(), 0);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(m_map->GetTargetMarkers()[i]->IsVisible());
}

TEST_F(MiniMapTest, TheMapQuadCoversTheSquareAroundTheCarsPlaceOnTheMap) {
    Load();
    m_map->Update({0.0f, 0.0f, 0.0f}, 0.0f);
    SPVertex vertices[4] = {};
    uint16_t indices[6] = {};
    m_map->WriteGeometry(vertices, indices, 10);
    const float expected[4][2] = {{754.0f, 407.0f}, {607.0f, 407.0f}, {607.0f, 554.0f}, {754.0f, 554.0f}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(vertices[i].position.x, expected[i][0]) << i;
        EXPECT_EQ(vertices[i].position.y, expected[i][1]) << i;
        // The car at the map's centre: the texture window is centred on (0.5, 0.5).
        EXPECT_NEAR((vertices[i].tex0.x - 0.5f) * (vertices[i].tex0.x - 0.5f) +
                        (vertices[i].tex0.y - 0.5f) * (vertices[i].tex0.y - 0.5f),
                    0.08f, 1e-5f)
            << i;
    }
    EXPECT_EQ(std::vector<uint16_t>(indices, indices + 6), (std::vector<uint16_t>{10, 11, 12, 10, 12, 13}));
}

}  // namespace
