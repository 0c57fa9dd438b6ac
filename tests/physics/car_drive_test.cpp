// The car on the terrain, run by the world's steps: it lands, settles and drives.
#include <algorithm>
#include <cmath>

#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "physics/PCar.h"
#include "world_fixture.h"

namespace {

constexpr float kMass = 12.0f;
// Where the springs carry the weight: the sensor line ends 2.3 below the centre.
constexpr float kRestHeight = 2.3f - kMass * 25.8f / (4 * 500.0f);

// A car of 1.8 × 3.6 × 1.1 with its wheels at (±0.8, ±1.2) standing over a flat terrain.
class CarDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_physics = new CPPhysics;
        m_land = new CPGameObject("land");
        m_land->UpdateTransform();
        TPtr<CPRenderObject> mesh(new CPRenderObject(m_land.Get()));
        std::vector<SPVertex> vertices(4);
        const float corners[4][2] = {{-500, -500}, {500, -500}, {500, 500}, {-500, 500}};
        for (int i = 0; i < 4; ++i) vertices[i].position = {corners[i][0], corners[i][1], 0.0f};
        mesh->SetGeometry(std::move(vertices), {0, 1, 2, 0, 2, 3});
        m_physics->AddTerrainObject(mesh);
        m_physics->Init();

        m_car = new CPGameObject("car");
        TPtr<CPPhysicData> data(new CPPhysicData(m_car.Get()));
        data->mass = kMass;
        data->mainSizes = {1.1f, 1.8f, 3.6f};
        CPPhysicShape shape;
        shape.s0 = 1.8f;
        shape.s1 = 1.1f;
        shape.s2 = 3.6f;
        data->shapes.push_back(shape);
        m_car->SetPhysicData(data);
        const PVector3 wheels[4] = {{0.8f, -1.2f, 0.0f}, {-0.8f, -1.2f, 0.0f}, {0.8f, 1.2f, 0.0f}, {-0.8f, 1.2f, 0.0f}};
        const char* names[4] = {"fr", "lf", "rr", "lr"};
        for (int i = 0; i < 4; ++i) {
            TPtr<CPGameObject> wheel(new CPGameObject(names[i]));
            wheel->SetPosition(wheels[i]);
            m_car->AddChild(wheel);
        }
        m_car->SetPosition({0.0f, 0.0f, kRestHeight + 1.0f});
        data->AddToWorld();
        m_physics->TrackObject(m_car);
        m_physics->CreateCar(m_car);
        ASSERT_TRUE(Body());
    }
    void TearDown() override {
        m_physics->Stop();
        m_car = m_land = nullptr;
        m_physics = nullptr;
        CollectGarbage();
    }

    PhysicsRigidBody* Body() { return m_car->GetPhysicData()->rigidBody; }
    void Run(float seconds) {
        for (int step = 0; step < static_cast<int>(seconds * 150.0f); ++step) {
            m_physics->GetSimulator()->Simulate(CPPhysics::kStepLength, 1, nullptr);
        }
    }

    TPtr<CPPhysics> m_physics;
    TPtr<CPGameObject> m_land;
    TPtr<CPGameObject> m_car;
};

// Dropped 1 unit, a car of each mass lands on its springs, settles within a second and stays
// upright: the damper never throws a light car back.
TEST_F(CarDriveTest, DroppedOneUnitItLandsOnItsSpringsAndSettlesWithinASecond) {
    for (const float mass : {3.0f, kMass, 30.0f}) {
        const float rest = 2.3f - mass * 25.8f / (4 * 500.0f);
        m_car->SetPosition({0.0f, 0.0f, rest + 1.0f});
        m_car->GetPhysicData()->mass = mass;
        m_car->GetPhysicData()->SetupBody();
        Body()->SetVelocity({});
        float lowest = 100.0f;
        float settled = 0.0f;  // the last time it was more than 1 cm from rest
        for (int step = 1; step <= 150 * 2; ++step) {
            Run(1.0f / 150.0f);
            lowest = std::min(lowest, Body()->GetPos().z);
            if (std::fabs(Body()->GetPos().z - rest) > 0.01f) settled = step / 150.0f;
        }
        EXPECT_GT(lowest, rest - 0.3f) << "mass " << mass << ": the springs catch it";
        EXPECT_LT(settled, 1.0f) << "mass " << mass;
        EXPECT_LT(std::fabs(Body()->GetVelocity().z), 0.05f) << "mass " << mass;
        EXPECT_GT(Body()->GetTransform().axes.row[2].z, 0.999f) << "mass " << mass << ": upright";
    }
}

TEST_F(CarDriveTest, FullThrottleDrivesItStraightForwardToItsTopSpeed) {
    Run(1.0f);
    m_physics->SetCarControl(m_car, 1.0f, 0.0f);
    Run(3.0f);
    EXPECT_LT(Body()->GetPos().y, -15.0f) << "forward is the body's -y";
    EXPECT_NEAR(Body()->GetPos().x, 0.0f, 0.01f);
    EXPECT_NEAR(m_car->GetCar()->speed, Length(Body()->GetVelocity()), 1e-3f);
    EXPECT_NEAR(m_car->GetCar()->speed, 10.0f, 1.0f) << "near its top speed after 3 s";
    Run(3.0f);
    EXPECT_NEAR(m_car->GetCar()->speed, 10.0f, 0.5f) << "and no faster later";
    EXPECT_GT(Body()->GetTransform().axes.row[2].z, 0.999f);
}

// Heading of the car's forward direction (-y of the body) in the ground plane.
float Heading(const PhysicsRigidBody& body) {
    const PhysicsVector& yb = body.GetTransform().axes.row[1];
    return std::atan2(-yb.y, -yb.x);
}

TEST_F(CarDriveTest, SteeringAtFullThrottleDrivesACircleOfAFewCarLengthsThatCloses) {
    Run(1.0f);
    m_physics->SetCarControl(m_car, 1.0f, 0.5f);
    Run(3.0f);
    const PhysicsVector start = Body()->GetPos();
    float turned = 0.0f;
    float previous = Heading(*Body());
    float diameter = 0.0f;
    int steps = 0;
    for (; std::fabs(turned) < 2.0f * 3.14159265f && steps < 150 * 20; ++steps) {
        Run(1.0f / 150.0f);
        const float heading = Heading(*Body());
        turned += std::remainder(heading - previous, 2.0f * 3.14159265f);
        previous = heading;
        diameter = std::max(diameter, Length(Body()->GetPos() - start));
    }
    const float carLength = 3.6f;
    EXPECT_GT(diameter, 2.0f * carLength);
    EXPECT_LT(diameter, 6.0f * carLength);
    EXPECT_LT(Length(Body()->GetPos() - start), 1.0f) << "the circle closes";
    EXPECT_LT(steps / 150.0f, 10.0f) << "one turn in " << steps / 150.0f << " s";
    EXPECT_GT(Body()->GetTransform().axes.row[2].z, 0.99f);
}

}  // namespace
