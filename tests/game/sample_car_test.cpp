// The sample car as the object loader builds it from the built data is a car the physics world
// can drive: its springs carry it over the sample land, and it drives front first. The player's
// car is drawn as high as its collision boxes reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "Render/ModelFile.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRenderObject.h"
#include "core/PGlobalTimer.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsSimulator.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

// The sample land's top.
constexpr float kGround = -1.0f;
// The sensor lines end 2.3 below the car's centre.
constexpr float kSensorReach = 2.3f;
constexpr float kWheelRadius = 0.35f;

class SampleCarTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_folder.Path() / "data");
        fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "meshes", m_folder.Path() / "data" / "meshes",
                 fs::copy_options::recursive);
        platform::InvalidateListings();
        g_frameDelta = 0.0f;
        m_physics = new CPPhysics;
        const TPtr<CPGameObject> land = m_loader.LoadObject("sample_ground.rdf", 20);
        ASSERT_TRUE(land);
        land->UpdateTransform();
        m_physics->AddTerrainObject(TPtr<CPRenderObject>(land->GetAttachment().Get<CPRenderObject>()));
        m_physics->Init();
        m_car = m_loader.LoadObject("car.rdf", 20);
        ASSERT_TRUE(m_car && m_car->GetPhysicData());
        m_car->SetPosition({0.0f, 8.0f, kGround + kSensorReach});
        m_car->GetPhysicData()->AddToWorld();
        m_physics->TrackObject(m_car);
        m_physics->CreateCar(m_car);
        ASSERT_TRUE(Body());
    }
    void TearDown() override {
        if (m_physics) m_physics->Stop();
        m_car = nullptr;
        m_physics = nullptr;
        CollectGarbage();
    }

    PhysicsRigidBody* Body() const { return m_car->GetPhysicData()->rigidBody; }
    void Run(float seconds) {
        for (int step = 0; step < static_cast<int>(seconds * 150.0f); ++step) {
            m_physics->GetSimulator()->Simulate(CPPhysics::kStepLength, 1, nullptr);
        }
        m_physics->SyncObjects();
    }
    // Where the wheel is in the world, from the car's centre.
    PVector3 WheelOffset(const char* name) const {
        const PVector3 local = m_car->GetChild(name)->GetPosition();
        return Vec3TransformNormal(local, m_car->GetWorld());
    }

    testsupport::WorkingFolder m_folder;
    CPObjectLoader m_loader;
    TPtr<CPPhysics> m_physics;
    TPtr<CPGameObject> m_car;
};

TEST_F(SampleCarTest, ItRestsOnItsSpringsAndDrivesFrontFirst) {
    Run(1.5f);
    const float weightSag = Body()->GetMass() * 25.8f / (4 * 500.0f);
    EXPECT_NEAR(m_car->GetPosition().z, kGround + kSensorReach - weightSag, 0.02f) << "held by its springs";
    EXPECT_GT(weightSag, 0.05f);
    EXPECT_LT(weightSag, 0.5f) << "a mass its springs carry";
    EXPECT_GT(m_car->GetWorld().m[2][2], 0.99f) << "upright";
    for (const char* wheel : {"fr", "lf", "rr", "lr"}) {
        const float bottom = m_car->GetPosition().z + WheelOffset(wheel).z - kWheelRadius;
        EXPECT_NEAR(bottom, kGround, 0.02f) << wheel << " stands on the ground, neither in it nor above it";
    }

    m_physics->SetCarControl(m_car, 1.0f, 0.0f);
    Run(1.5f);
    const PhysicsVector v = Body()->GetVelocity();
    const PVector3 heading{v.x, v.y, 0.0f};
    EXPECT_GT(Vec3Length(heading), 5.0f) << "under way";
    for (const char* front : {"fr", "lf"}) {
        EXPECT_GT(Vec3Dot(WheelOffset(front), heading), 0.0f) << front << " leads";
    }
    for (const char* rear : {"rr", "lr"}) {
        EXPECT_LT(Vec3Dot(WheelOffset(rear), heading), 0.0f) << rear << " trails";
    }
    EXPECT_LT(std::fabs(v.x), 0.1f * std::fabs(v.y)) << "straight on, along its length";
}

// Enemies strike and shoot the player's car up to the top of its highest collision box (the
// cabin's): the drawn car, its body and the cabin's roll cage, must reach that high, or blows
// land in the air above it.
TEST(SamplePlayerCarTest, ItsDrawnCabinReachesAsHighAsItsCollisionBoxes) {
    const std::string bytes = testsupport::ReadBytes(fs::path(VX_SAMPLE_DATA) / "data/meshes/jeep.p3d");
    modelfile::SPMeshFile file;
    std::string error;
    ASSERT_TRUE(modelfile::ReadMeshFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), true, file, error)) << error;
    ASSERT_EQ(file.nodes.size(), 1u);
    const modelfile::SPMeshNode& car = file.nodes[0];
    // Heights in the car node's frame: a box's centre lies half its height above its position.
    float boxTop = -1e9f;
    for (const modelfile::SPShapeRecord& box : car.shapes) boxTop = std::max(boxTop, box.position.z + box.height);
    float drawnTop = -1e9f;
    for (const SPVertex& vertex : car.vertices) drawnTop = std::max(drawnTop, vertex.position.z);
    for (const modelfile::SPMeshNode& child : car.children) {
        if (child.name != "cage") continue;
        for (const SPVertex& vertex : child.vertices) drawnTop = std::max(drawnTop, child.transform.position.z + vertex.position.z);
    }
    EXPECT_NEAR(drawnTop, boxTop, 0.05f);
}

}  // namespace
