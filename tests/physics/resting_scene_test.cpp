#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"

// Scenes run headless for a fixed number of steps, with the figures a player would notice.

namespace {

constexpr float kGravity = 25.8f;

// A flat (or tilted about the y axis) square of terrain centred on the origin, two triangles.
struct Ground {
    std::vector<PhysicsVector> vertices;
    std::vector<PhysicsMeshTriangle> triangles;

    explicit Ground(float slopeRadians = 0.0f, float half = 40.0f)
    {
        const float rise = std::tan(slopeRadians) * half;
        vertices = {{-half, -half, rise, 0}, {half, -half, -rise, 0}, {half, half, -rise, 0}, {-half, half, rise, 0}};
        for (auto corners : {std::array<int32_t, 3>{0, 1, 2}, std::array<int32_t, 3>{0, 2, 3}}) {
            PhysicsMeshTriangle t;
            for (int i = 0; i < 3; ++i) t.vertex[i] = corners[i];
            triangles.push_back(t);
        }
    }
    bool Install(PhysicsSimulator& sim) const
    {
        return sim.SetTerrainMesh({vertices.data(), static_cast<int32_t>(vertices.size()), triangles.data(),
                                   static_cast<int32_t>(triangles.size())});
    }
};

float Energy(const PhysicsRigidBody& body)
{
    return 0.5f * body.GetMass() * LengthSq(body.GetVelocity()) +
           0.5f * Dot(body.GetAngularMomentum(), body.GetAngularVelocity()) +
           body.GetMass() * kGravity * body.GetPos().z;
}

TEST(PhysicsScenes, ABoxDroppedOnTheTerrainComesToRestAndSleeps)
{
    SimulatorPtr sim = MakeSimulator();
    const Ground ground;
    ASSERT_TRUE(ground.Install(*sim));
    PhysicsRigidBody* box = AddBox(*sim, {0, 0, 3, 0});
    float deepest = 0.0f;
    int sleptAt = -1;
    for (int step = 0; step < 900 && sleptAt < 0; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        deepest = std::fmax(deepest, 0.5f - box->GetPos().z);
        if (box->IsAtRest()) sleptAt = step;
    }
    EXPECT_GE(sleptAt, 0) << "still moving at z " << box->GetPos().z;
    EXPECT_LT(sleptAt, 750);  // within 5 s
    EXPECT_LT(deepest, 0.12f);
    EXPECT_NEAR(box->GetPos().z, 0.5f, 0.06f);
    sim->Simulate(kStep * 150, 150, nullptr);
    EXPECT_TRUE(box->IsAtRest());
    EXPECT_NEAR(box->GetPos().z, 0.5f, 0.06f);
}

TEST(PhysicsScenes, ABoxOnASlopeSlidesWithoutFrictionAndSticksWithIt)
{
    const float slope = 0.35f;  // about 20 degrees: tan < 1
    for (float friction : {0.0f, 1.0f}) {
        SimulatorPtr sim = MakeSimulator();
        sim->SetMaterial(0, friction, 0.0f);
        const Ground ground(slope);
        ASSERT_TRUE(ground.Install(*sim));
        PhysicsRigidBody* box = AddBox(*sim, {0, 0, 0, 0});
        box->SetRotation({0, std::sin(slope / 2), 0, std::cos(slope / 2)});
        // Just above the slope, along its normal.
        box->SetPos({std::sin(slope) * 0.52f, 0, std::cos(slope) * 0.52f, 0});
        sim->Simulate(kStep * 50, 50, nullptr);
        const float startX = box->GetPos().x;
        sim->Simulate(kStep * 150, 150, nullptr);
        const float moved = box->GetPos().x - startX;
        if (friction == 0.0f) {
            // Frictionless: about ½·g·sin·cos·t² down the slope in 1 s.
            EXPECT_GT(moved, 0.3f * 0.5f * kGravity * std::sin(slope) * std::cos(slope));
        } else {
            EXPECT_LT(std::fabs(moved), 0.05f);
        }
    }
}

TEST(PhysicsScenes, NoBodyGainsEnergyInAClosedScene)
{
    SimulatorPtr sim = MakeSimulator();
    sim->SetMaterial(0, 0.0f, 1.0f);
    const Ground ground;
    ASSERT_TRUE(ground.Install(*sim));
    std::vector<PhysicsRigidBody*> boxes;
    for (int i = 0; i < 3; ++i) {
        boxes.push_back(AddBox(*sim, {i * 3.0f, 0, 2.0f + i, 0}));
        boxes.back()->SetVelocity({0, 1.0f - i, 0, 0});
        boxes.back()->SetAngularMomentum({0.3f * i, 0, 0.2f, 0});
    }
    std::vector<float> start;
    for (PhysicsRigidBody* box : boxes) start.push_back(Energy(*box));
    for (int step = 0; step < 600; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        for (size_t i = 0; i < boxes.size(); ++i)
            ASSERT_LE(Energy(*boxes[i]), start[i] * 1.02f + 0.5f) << "box " << i << " step " << step;
    }
}

TEST(PhysicsScenes, NothingTunnelsThroughTheTerrainUpTo60UnitsPerSecond)
{
    for (float speed : {10.0f, 30.0f, 60.0f}) {
        SimulatorPtr sim = MakeSimulator();
        const Ground ground;
        ASSERT_TRUE(ground.Install(*sim));
        PhysicsRigidBody* flat = AddBox(*sim, {0, 0, 3, 0});
        flat->SetVelocity({0, 0, -speed, 0});
        PhysicsRigidBody* tilted = AddBox(*sim, {5, 0, 3, 0});
        tilted->SetRotation({0.3f, 0.2f, 0, std::sqrt(1 - 0.13f)});
        tilted->SetVelocity({speed * 0.3f, 0, -speed, 0});
        for (int step = 0; step < 300; ++step) {
            sim->Simulate(kStep, 1, nullptr);
            ASSERT_GT(flat->GetPos().z, 0.0f) << speed;
            ASSERT_GT(tilted->GetPos().z, 0.0f) << speed;
        }
    }
}

// Columns of boxes: the bottom ones on the terrain, each next one on top.
std::vector<PhysicsRigidBody*> Pile(PhysicsSimulator& sim, const std::vector<PhysicsVector>& places)
{
    std::vector<PhysicsRigidBody*> boxes;
    for (const PhysicsVector& place : places) boxes.push_back(AddBox(sim, place));
    return boxes;
}

float LargestDrift(const std::vector<PhysicsRigidBody*>& boxes, const std::vector<PhysicsVector>& places)
{
    float drift = 0.0f;
    for (size_t i = 0; i < boxes.size(); ++i) drift = std::fmax(drift, Length(boxes[i]->GetPos() - places[i]));
    return drift;
}

TEST(PhysicsScenes, AStackOfTenBoxesStandsForThirtySeconds)
{
    SimulatorPtr sim = MakeSimulator();
    const Ground ground;
    ASSERT_TRUE(ground.Install(*sim));
    std::vector<PhysicsVector> places;
    for (int i = 0; i < 10; ++i) places.push_back({0, 0, 0.5f + i * 1.0f, 0});
    const std::vector<PhysicsRigidBody*> boxes = Pile(*sim, places);
    sim->Simulate(30.0f, 4500, nullptr);
    EXPECT_LT(LargestDrift(boxes, places), 0.5f);
    EXPECT_GT(boxes.back()->GetPos().z, 9.0f);
    for (const PhysicsRigidBody* box : boxes) EXPECT_TRUE(box->IsAtRest());
}

TEST(PhysicsScenes, APyramidOfTwentyBoxesStands)
{
    SimulatorPtr sim = MakeSimulator();
    const Ground ground;
    ASSERT_TRUE(ground.Install(*sim));
    std::vector<PhysicsVector> places;
    for (int row = 0; row < 5; ++row)
        for (int i = 0; i < 6 - row; ++i) places.push_back({(i - (5 - row) * 0.5f) * 1.05f, 0, 0.5f + row * 1.0f, 0});
    ASSERT_EQ(places.size(), 20u);
    const std::vector<PhysicsRigidBody*> boxes = Pile(*sim, places);
    sim->Simulate(5.0f, 750, nullptr);
    EXPECT_LT(LargestDrift(boxes, places), 0.25f);
    for (const PhysicsRigidBody* box : boxes) EXPECT_TRUE(box->IsAtRest());
}

}  // namespace
