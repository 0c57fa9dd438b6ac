#include <cmath>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"
#include "support/AllocationCounter.h"

namespace {

PhysicsSizeInfo SmallSizes()
{
    PhysicsSizeInfo sizes;
    sizes.rigidBodiesCount = 2;
    sizes.animatedBodyCount = 2;
    sizes.rigidParticleCount = 2;
    sizes.geometriesCount = 4;
    sizes.sensorsCount = 1;
    sizes.constraintSetsCount = 1;
    return sizes;
}

bool Logged(const std::string& message)
{
    for (const std::string& logged : LoggedMessages())
        if (logged == message) return true;
    return false;
}

}  // namespace

TEST(PhysicsSimulator, BodiesGetIndicesByKindAndJoinTheirActiveLists)
{
    PhysicsSizeInfo sizes;
    sizes.rigidBodiesCount = 3;
    sizes.animatedBodyCount = 4;
    sizes.rigidParticleCount = 5;
    SimulatorPtr sim = MakeSimulator(sizes);
    PhysicsRigidBody* rigid = sim->CreateRigidBody();
    PhysicsRigidBody* rigid2 = sim->CreateRigidBody();
    PhysicsAnimatedBody* animated = sim->CreateAnimatedBody();
    PhysicsRigidBody* particle = sim->CreateRigidParticle();

    EXPECT_EQ(rigid->index, 0);
    EXPECT_EQ(rigid2->index, 1);
    EXPECT_EQ(animated->index, 3);   // after the rigid bodies
    EXPECT_EQ(particle->index, 7);   // after the rigid and animated bodies
    EXPECT_TRUE(particle->IsParticle());
    EXPECT_FALSE(rigid->IsParticle());
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).count, 2);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).tail, rigid2);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kAnimatedList).count, 1);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kParticleList).count, 1);
    EXPECT_EQ(sim->RigidPool().UsedCount(), 2);
    EXPECT_EQ(sim->RigidPool().FreeCount(), 1);

    rigid->SetActive(false, nullptr);
    rigid->SetActive(false, nullptr);  // deactivating twice changes nothing
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).count, 1);
    EXPECT_EQ(sim->InactiveList(PhysicsSimulator::kRigidList).count, 1);
    rigid->SetActive(true, nullptr);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).tail, rigid);
}

TEST(PhysicsSimulator, ExhaustedPoolsFailCreationAndLeaveTheWorldAlone)
{
    SimulatorPtr sim = MakeSimulator(SmallSizes());
    PhysicsRigidBody* a = AddBox(*sim, {0, 0, 10, 0});
    PhysicsRigidBody* b = AddBox(*sim, {5, 0, 10, 0});
    PhysicsAnimatedBody* c = AddAnimatedBox(*sim, {0, 5, 0, 0});
    ASSERT_TRUE(a && b && c);
    ASSERT_NE(a->AddSensor(), nullptr);
    ASSERT_NE(a->AddController(nullptr, 0), nullptr);

    EXPECT_EQ(sim->CreateRigidBody(), nullptr);
    EXPECT_TRUE(Logged("Run out of RigidBodies. Increase 'rigidBodiesCount'.\n"));
    ASSERT_NE(sim->CreateRigidParticle(), nullptr);
    ASSERT_NE(sim->CreateRigidParticle(), nullptr);
    EXPECT_EQ(sim->CreateRigidParticle(), nullptr);
    EXPECT_TRUE(Logged("Run out of RigidBodies. Increase 'rigidParticleCount'.\n"));
    ASSERT_NE(sim->CreateAnimatedBody(), nullptr);
    EXPECT_EQ(sim->CreateAnimatedBody(), nullptr);
    PhysicsGeometry* fourth = b->AddGeometry();
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(b->AddGeometry(), nullptr);
    EXPECT_TRUE(Logged("Run out of Geometries. Increase 'geometriesCount'.\n"));
    EXPECT_EQ(b->AddSensor(), nullptr);
    EXPECT_TRUE(Logged("Run out of Sensors. Increase 'sensorsCount'.\n"));
    EXPECT_EQ(b->AddController(nullptr, 0), nullptr);
    EXPECT_TRUE(Logged("Run out of Controllers. Increase 'constraintSetsCount'.\n"));

    EXPECT_EQ(b->geometries.count, 2);
    EXPECT_EQ(b->sensors.count, 0);
    EXPECT_EQ(a->sensors.count, 1);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).count, 2);
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_LT(a->GetPos().z, 10.0f);  // the world still steps
    EXPECT_FLOAT_EQ(a->GetPos().z, b->GetPos().z);

    // Freed bodies make room again.
    sim->FreeBody(a);
    EXPECT_NE(sim->CreateRigidBody(), nullptr);
}

TEST(PhysicsSimulator, FreeingReturnsShapesAndAFreedBodyIsRefusedTheSecondTime)
{
    SimulatorPtr sim = MakeSimulator(SmallSizes());
    PhysicsRigidBody* rigid = AddBox(*sim, {0, 0, 0, 0});
    rigid->AddSensor();
    PhysicsAnimatedBody* animated = AddAnimatedBox(*sim, {3, 0, 0, 0});
    PhysicsRigidBody* particle = sim->CreateRigidParticle();
    EXPECT_EQ(sim->GeometryPool().UsedCount(), 2);

    sim->FreeBody(rigid);
    EXPECT_EQ(sim->GeometryPool().UsedCount(), 1);
    EXPECT_EQ(sim->SensorPool().UsedCount(), 0);
    EXPECT_EQ(sim->ActiveList(PhysicsSimulator::kRigidList).count, 0);
    LoggedMessages().clear();
    sim->FreeBody(rigid);
    EXPECT_TRUE(Logged("Trying to Free invalid RigidBody.\n"));
    EXPECT_EQ(sim->RigidPool().FreeCount(), 2);

    sim->FreeBody(animated);
    sim->FreeBody(animated);
    EXPECT_TRUE(Logged("Trying to Free invalid AnimatedBody.\n"));
    sim->FreeBody(particle);
    sim->FreeBody(particle);
    EXPECT_TRUE(Logged("Trying to Free invalid RigidParticle.\n"));
    EXPECT_EQ(sim->ParticlePool().FreeCount(), 2);
}

TEST(PhysicsSimulator, CollisionTableAndClassesStayWithinTheirRange)
{
    PhysicsCollisionTable table;
    EXPECT_EQ(table.Get(0, 63), 1);
    EXPECT_EQ(table.Get(5, -1), 1);
    EXPECT_TRUE(table.Set(1, 2, 3));
    EXPECT_EQ(table.Get(2, 1), 3);
    EXPECT_TRUE(table.Set(-1, 4, 0));
    EXPECT_EQ(table.Get(4, -1), 0);
    EXPECT_EQ(table.Get(-1, 4), 0);
    EXPECT_EQ(table.Get(-1, -1), 0);
    for (int32_t bad : {64, -2, 1000, -100000}) {
        EXPECT_FALSE(table.Set(bad, 1, 0)) << bad;
        EXPECT_FALSE(table.Set(1, bad, 0)) << bad;
        EXPECT_EQ(table.Get(bad, 1), 0) << bad;
    }
    EXPECT_EQ(table.Get(1, 1), 1);

    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = sim->CreateRigidBody();
    EXPECT_TRUE(body->SetCollisionClass(63));
    EXPECT_FALSE(body->SetCollisionClass(64));
    EXPECT_FALSE(body->SetCollisionClass(-1));
    EXPECT_EQ(body->GetCollisionClass(), 63);
}

TEST(PhysicsSimulator, MaterialsStartWithTheDefaultsAndRefuseOtherIndices)
{
    SimulatorPtr sim = MakeSimulator();
    float friction = 0, restitution = 0, density = 0;
    ASSERT_TRUE(sim->GetMaterial(255, friction, restitution, density));
    EXPECT_FLOAT_EQ(friction, 0.5f);
    EXPECT_FLOAT_EQ(restitution, 0.4f);
    EXPECT_FLOAT_EQ(density, 1.0f);
    EXPECT_TRUE(sim->SetMaterial(2, 0.0f, 1.0f));
    ASSERT_TRUE(sim->GetMaterial(2, friction, restitution, density));
    EXPECT_EQ(friction, 0.0f);
    EXPECT_EQ(restitution, 1.0f);
    EXPECT_EQ(density, 0.0f);
    EXPECT_FALSE(sim->SetMaterial(256, 0, 0));
    EXPECT_FALSE(sim->SetMaterial(-1, 0, 0));
    EXPECT_FALSE(sim->GetMaterial(256, friction, restitution, density));
}

TEST(PhysicsSimulator, GravityGivesItsDirectionAndMagnitude)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, -25.8f, 0});
    EXPECT_FLOAT_EQ(sim->GetGravityMagnitude(), 25.8f);
    EXPECT_FLOAT_EQ(sim->GetGravityDirection().z, -1.0f);
    SimulatorPtr weightless = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    EXPECT_EQ(weightless->GetGravityMagnitude(), 0.0f);
    EXPECT_EQ(LengthSq(weightless->GetGravityDirection()), 0.0f);
}

TEST(PhysicsSimulator, EachCallAdvancesTheCounterOnceWhateverItsStepCount)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    EXPECT_EQ(sim->Simulate(kStep, 1, nullptr), 1);
    EXPECT_EQ(sim->Simulate(3 * kStep, 3, nullptr), 2);
    EXPECT_FLOAT_EQ(sim->GetStepLength(), kStep);
    // Four steps ran: the velocity holds four steps of gravity.
    EXPECT_NEAR(body->GetVelocity().z, -25.8f * 4 * kStep, 1e-5f);
    // No steps: nothing happens.
    EXPECT_EQ(sim->Simulate(kStep, 0, nullptr), 2);
}

TEST(PhysicsSimulator, AnimatedBodiesAreChangedOnlyUntilTheEndOfTheNextCall)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsAnimatedBody* body = AddAnimatedBox(*sim, {0, 0, 0, 0});
    EXPECT_EQ(body->changed, 1);
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(body->changed, 0);
    body->SetRotation({0, 0, 0.70710677f, 0.70710677f});
    EXPECT_EQ(body->changed, 1);
    EXPECT_NEAR(body->GetTransform().axes.row[0].y, 1.0f, 1e-6f);
}

TEST(PhysicsSimulator, ReportGivesTheStepTimeInModeOneAndARunningAverageOtherwise)
{
    SimulatorPtr sim = MakeSimulator();
    AddBox(*sim, {0, 0, 0, 0});
    PhysicsPerfReport report;
    report.mode = 1;
    sim->Simulate(kStep, 2, &report);
    EXPECT_GE(report.values[0], 0.0f);
    float phases = 0;
    for (int i = 1; i < 10; ++i) phases += report.values[i];
    EXPECT_FLOAT_EQ(report.values[0], phases);
    EXPECT_EQ(report.runningCount, 0);

    PhysicsPerfReport average;
    sim->Simulate(kStep, 1, &average);
    sim->Simulate(kStep, 1, &average);
    EXPECT_EQ(average.runningCount, 2);
    EXPECT_FLOAT_EQ(average.values[0], average.runningSum / 2);
}

TEST(PhysicsSimulator, StepsAllocateNothing)
{
    SimulatorPtr sim = MakeSimulator();
    for (int i = 0; i < 40; ++i) {
        PhysicsRigidBody* body = AddBox(*sim, {static_cast<float>(i % 7) * 0.8f, static_cast<float>(i / 7) * 0.8f, 5, 0});
        body->SetVelocity({static_cast<float>(i % 3) - 1.0f, static_cast<float>(i % 5) - 2.0f, 0, 0});
    }
    for (int i = 0; i < 20; ++i) AddAnimatedBox(*sim, {static_cast<float>(i), 0, 0, 0});
    PhysicsPerfReport report;
    sim->Simulate(kStep, 1, &report);

    testsupport::ResetCountedAllocations();
    testsupport::SetCountingAllocations(true);
    for (int i = 0; i < 100; ++i) sim->Simulate(kStep, 1, &report);
    testsupport::SetCountingAllocations(false);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

namespace {

// Hands out memory for the first `budget` allocations, then refuses.
class RationedAllocator : public PhysicsAllocator {
public:
    explicit RationedAllocator(int budget) : m_budget(budget) {}
    void* Alloc(std::size_t size, std::size_t alignment) override
    {
        if (m_budget-- <= 0) return nullptr;
        return m_heap.Alloc(size, alignment);
    }
    void Free(void* memory) override { m_heap.Free(memory); }

private:
    PhysicsDefaultAllocator m_heap;
    int m_budget;
};

}  // namespace

TEST(PhysicsSimulator, WithoutMemoryForItsPoolsItRefusesBodiesAndStillSteps)
{
    for (int budget : {0, 1, 2, 3, 6, 12}) {
        RationedAllocator allocator(budget);
        LoggedMessages().clear();
        const PhysicsVector gravity{0, 0, -1, 0};
        PhysicsSimulator* sim = PhysicsSimulator::Create(nullptr, &allocator, &gravity);
        ASSERT_NE(sim, nullptr);
        sim->SetLogCallback([](const char* message) { LoggedMessages().emplace_back(message); }, 1);
        PhysicsRigidBody* body = sim->CreateRigidBody();
        if (body) {
            EXPECT_TRUE(sim->HasBodyPools());
            body->AddGeometry();  // may find no geometry pool
        } else {
            EXPECT_FALSE(sim->HasBodyPools()) << budget;
        }
        EXPECT_EQ(sim->CreateAnimatedBody() != nullptr, sim->HasBodyPools()) << budget;
        const PhysicsVector vertices[3] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}};
        PhysicsMeshTriangle triangle;
        triangle.vertex[0] = 0;
        triangle.vertex[1] = 1;
        triangle.vertex[2] = 2;
        sim->SetTerrainMesh({vertices, 3, &triangle, 1});
        sim->Simulate(kStep, 2, nullptr);
        PhysicsSimulator::Destroy(sim);
    }
}
