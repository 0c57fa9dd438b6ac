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
