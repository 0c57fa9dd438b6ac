#include <vector>

#include <gtest/gtest.h>

#include "physics/engine/PhysicsNarrowPhase.h"
#include "physics/physics_fixture.h"

namespace {

TEST(PhysicsSensors, ALineStartingInsideABoxReportsNoMoreThanItsLength)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* probe = AddBox(*sim, {0, 0, 0, 0}, {0.1f, 0.1f, 0.1f, 0});
    PhysicsAnimatedBody* block = AddAnimatedBox(*sim, {0, 0, 0, 0}, {2, 2, 2, 0});
    PhysicsSensor* sensor = probe->AddSensor();
    struct LineCase {
        PhysicsVector start;
        PhysicsVector line;
        float depth;
        float contactZ;
    };
    const LineCase cases[] = {
        {{0, 0, 3, 0}, {0, 0, -2.5f, 0}, 0.5f, 1.0f},   // enters through the top face
        {{0, 0, 0.5f, 0}, {0, 0, -0.3f, 0}, 0.3f, 0.5f},  // starts inside: the whole line, from its start
        {{0, 0, 3, 0}, {0, 0, -1.5f, 0}, 0.0f, 0.0f},   // ends short of the box
    };
    for (const LineCase& c : cases) {
        sensor->SetLine(c.start, c.line);
        sensor->ResetResult();
        TestSensorLines(*probe, *block);
        EXPECT_NEAR(sensor->GetDepth(), c.depth, 1e-5f) << c.start;
        EXPECT_LE(sensor->GetDepth(), sensor->length + 1e-6f);
        if (c.depth > 0.0f) {
            EXPECT_NEAR(sensor->GetContactPoint().z, c.contactZ, 1e-5f);
            EXPECT_NEAR(sensor->GetNormal().z, 1.0f, 1e-5f);  // against the line
            EXPECT_EQ(sensor->hitBody, block);
        }
    }
}

TEST(PhysicsSensors, ALineAcrossTheTerrainReportsTheRestOfTheLineBelowIt)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    // Two layers at heights 0 and 0.5: the later triangle in the list wins, even when shallower.
    const PhysicsVector vertices[6] = {{-5, -5, 0.5f, 0}, {5, -5, 0.5f, 0}, {0, 5, 0.5f, 0},
                                       {-5, -5, 0, 0},    {5, -5, 0, 0},    {0, 5, 0, 0}};
    PhysicsMeshTriangle triangles[2];
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 3; ++i) triangles[t].vertex[i] = 3 * t + i;
    triangles[1].material = 7;
    PhysicsGeometry terrain;
    terrain.Init();
    const int32_t candidates[2] = {0, 1};
    terrain.SetTerrain(candidates, candidates + 2, triangles, vertices);
    PhysicsRigidBody* probe = AddBox(*sim, {0, 0, 2, 0}, {0.1f, 0.1f, 0.1f, 0});
    PhysicsSensor* sensor = probe->AddSensor();
    sensor->SetLine({0, 0, 0, 0}, {0, 0, -4, 0});
    sensor->ResetResult();
    TestSensorLinesOnTerrain(*probe, terrain);
    EXPECT_NEAR(sensor->GetDepth(), 2.0f, 1e-5f);  // the layer at 0: half of the line lies below
    EXPECT_NEAR(sensor->GetContactPoint().z, 0.0f, 1e-5f);
    EXPECT_NEAR(sensor->GetNormal().z, 1.0f, 1e-5f);
    EXPECT_EQ(sensor->material, 7);
    // A line parallel to the triangles hits nothing.
    sensor->SetLine({0, 0, -1.5f, 0}, {3, 0, 0, 0});
    sensor->ResetResult();
    TestSensorLinesOnTerrain(*probe, terrain);
    EXPECT_EQ(sensor->GetDepth(), 0.0f);
}

TEST(PhysicsResting, ALandingNearAnEarlierSupportPointTakesItsSlot)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* box = AddBox(*sim, {0, 0, 0.5f, 0});
    PhysicsRestContactDescription d;
    d.otherBody = &sim->TerrainBody();
    d.otherLocalNormal = {0, 0, 1, 0};
    const PhysicsVector points[] = {{0.5f, 0.5f, -0.5f, 0}, {-0.5f, 0.5f, -0.5f, 0}, {0.5f, -0.5f, -0.5f, 0}};
    const float depths[] = {0.03f, 0.01f, 0.02f};
    for (int i = 0; i < 3; ++i) {
        d.localPoint = points[i];
        d.depth = depths[i];
        ASSERT_EQ(box->AddRestContact(d), 1);
    }
    // Empty slots fill from the last: the points sit in slots 2, 1 and 0.
    EXPECT_EQ(box->restContacts[2].depth, 0.03f);
    d.localPoint = {0.52f, 0.5f, -0.5f, 0};  // within 0.05 of the first
    d.depth = 0.04f;
    box->AddRestContact(d);
    EXPECT_NEAR(box->restContacts[2].localPoint.x, 0.52f, 1e-6f);
    EXPECT_EQ(box->restContacts[2].depth, 0.04f);
    d.localPoint = {-0.5f, -0.5f, -0.5f, 0};  // a fourth point replaces the shallowest (0.01, slot 1)
    box->AddRestContact(d);
    EXPECT_NEAR(box->restContacts[1].localPoint.x, -0.5f, 1e-6f);
    EXPECT_NEAR(box->restContacts[1].localPoint.y, -0.5f, 1e-6f);
    EXPECT_NEAR(box->restContacts[0].localPoint.y, -0.5f, 1e-6f);
    EXPECT_NEAR(box->restContacts[0].localPoint.x, 0.5f, 1e-6f);
    EXPECT_EQ(box->stackingRecord->group, &sim->LoneList());
}

std::vector<PhysicsBody*>& Heard()
{
    static std::vector<PhysicsBody*> heard;
    return heard;
}

PhysicsSimulator* g_simulator = nullptr;

// Frees every body it hears of, as a game script removing a destroyed object would.
void FreeOnContact(PhysicsCollisionInfo* info)
{
    Heard().push_back(info->bodyA);
    g_simulator->FreeBody(info->bodyA);
    if (info->bodyB) g_simulator->FreeBody(info->bodyB);
}

TEST(PhysicsContacts, ACallbackThatFreesBodiesIsHeardAfterThePairWalk)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    g_simulator = sim.get();
    sim->GetCollisionTable().Set(0, 0, 3);
    sim->SetCollisionCallback(FreeOnContact);
    Heard().clear();
    // Three overlapping pairs in a row: freeing the bodies of the first must not break the walk.
    for (int i = 0; i < 3; ++i) {
        AddBox(*sim, {i * 5.0f, 0, 0, 0});
        AddBox(*sim, {i * 5.0f, 0, 0.9f, 0});
    }
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(Heard().size(), 3u);
    EXPECT_EQ(sim->RigidPool().UsedCount(), 0);
    sim->Simulate(kStep, 2, nullptr);
    EXPECT_EQ(Heard().size(), 3u);
    g_simulator = nullptr;
}

TEST(PhysicsStackingGroups, ABodyTakenOffAStackLeavesItsGroup)
{
    SimulatorPtr sim = MakeSimulator();
    AddAnimatedBox(*sim, {0, 0, -0.5f, 0}, {40, 40, 1, 0});
    PhysicsRigidBody* lower = AddBox(*sim, {0, 0, 0.5f, 0});
    PhysicsRigidBody* upper = AddBox(*sim, {0, 0, 1.5f, 0});
    sim->Simulate(1.0f, 150, nullptr);
    ASSERT_EQ(sim->StackingGroups().count, 1);
    ASSERT_NE(upper->stackingRecord, nullptr);
    EXPECT_EQ(upper->stackingRecord->group, lower->stackingRecord->group);
    upper->SetPos({10, 0, 0.5f, 0});
    // One step per call: stacks are re-split on every fifth call.
    for (int i = 0; i < 150; ++i) sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(sim->StackingGroups().count, 0);
    for (const PhysicsRigidBody* body : {lower, upper}) {
        if (body->stackingRecord) {
            EXPECT_EQ(body->stackingRecord->group, &sim->LoneList());
        }
    }
    EXPECT_NEAR(upper->GetPos().z, 0.5f, 0.1f);
    EXPECT_NEAR(lower->GetPos().z, 0.5f, 0.1f);
}

TEST(PhysicsStackingGroups, WithNoGroupLeftABodyIsSolvedAloneOnItsSupport)
{
    SimulatorPtr sim = MakeSimulator();
    std::vector<PhysicsStackingGroup*> taken;
    while (PhysicsStackingGroup* group = sim->StackingGroupPool().Take()) taken.push_back(group);
    PhysicsAnimatedBody* ground = AddAnimatedBox(*sim, {0, 0, -0.5f, 0}, {20, 20, 1, 0});
    ASSERT_NE(ground, nullptr);
    PhysicsRigidBody* lower = AddBox(*sim, {0, 0, 0.5f, 0});
    PhysicsRigidBody* upper = AddBox(*sim, {0, 0, 1.5f, 0});
    sim->Simulate(2.0f, 300, nullptr);
    EXPECT_EQ(sim->StackingGroups().count, 0);
    ASSERT_NE(upper->stackingRecord, nullptr);
    EXPECT_EQ(upper->stackingRecord->group, &sim->LoneList());
    EXPECT_NEAR(lower->GetPos().z, 0.5f, 0.1f);
    EXPECT_NEAR(upper->GetPos().z, 1.5f, 0.2f);
    for (PhysicsStackingGroup* group : taken) sim->StackingGroupPool().Return(group);
}

}  // namespace
