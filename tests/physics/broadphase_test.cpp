#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"

namespace {

using Pair = std::pair<int32_t, int32_t>;

std::vector<Pair> ReportedPairs(PhysicsSimulator& sim)
{
    std::vector<Pair> pairs;
    for (const PhysicsOverlapPair* p = sim.Region().Overlaps().head; p; p = p->next)
        pairs.emplace_back(std::min(p->bodyA->index, p->bodyB->index), std::max(p->bodyA->index, p->bodyB->index));
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

bool BoxesOverlap(const PhysicsBody& a, const PhysicsBody& b)
{
    for (int i = 0; i < 3; ++i)
        if (!(At(a.worldMin, i) < At(b.worldMax, i) && At(a.worldMax, i) > At(b.worldMin, i))) return false;
    return true;
}

bool IsParticle(const PhysicsBody& body)
{
    return body.IsRigid() && static_cast<const PhysicsRigidBody&>(body).IsParticle();
}

// Every pair of bodies in the broad phase whose world boxes overlap, two particles excepted.
std::vector<Pair> BruteForcePairs(const std::vector<PhysicsBody*>& bodies)
{
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        for (std::size_t j = i + 1; j < bodies.size(); ++j) {
            const PhysicsBody& a = *bodies[i];
            const PhysicsBody& b = *bodies[j];
            if (!a.inRegion || !b.inRegion || (IsParticle(a) && IsParticle(b))) continue;
            if (BoxesOverlap(a, b)) pairs.emplace_back(std::min(a.index, b.index), std::max(a.index, b.index));
        }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

PhysicsVector RandomPoint(std::mt19937& random, float extent)
{
    std::uniform_real_distribution<float> coordinate(-extent, extent);
    return {coordinate(random), coordinate(random), coordinate(random), 0};
}

TEST(PhysicsRegion, PairsOfRandomMovingBoxesMatchABruteForceCheckEveryStep)
{
    PhysicsSizeInfo sizes;
    sizes.rigidBodiesCount = 30;
    sizes.animatedBodyCount = 25;
    sizes.rigidParticleCount = 20;
    sizes.geometriesCount = 100;
    sizes.pairBufferCount = 3000;
    SimulatorPtr sim = MakeSimulator(sizes, {0, 0, 0, 0});
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> size(0.3f, 3.0f), speed(-30.0f, 30.0f), unit(0.0f, 1.0f);
    const float extent = 8.0f;

    std::vector<PhysicsBody*> bodies;
    std::vector<PhysicsRigidBody*> moving;
    std::vector<PhysicsAnimatedBody*> animated;
    auto withBox = [&](PhysicsBody* body) {
        body->AddGeometry()->SetBox(size(random), size(random), size(random));
        body->UpdateBoundingInfo();
        bodies.push_back(body);
    };
    for (int i = 0; i < 30; ++i) {
        PhysicsRigidBody* body = sim->CreateRigidBody();
        withBox(body);
        body->SetPos(RandomPoint(random, extent));
        body->SetVelocity({speed(random), speed(random), speed(random), 0});
        moving.push_back(body);
    }
    for (int i = 0; i < 20; ++i) {
        PhysicsRigidBody* particle = sim->CreateRigidParticle();
        withBox(particle);
        particle->SetPos(RandomPoint(random, extent));
        particle->SetVelocity({speed(random), speed(random), speed(random), 0});
        moving.push_back(particle);
    }
    for (int i = 0; i < 25; ++i) {
        PhysicsAnimatedBody* body = sim->CreateAnimatedBody();
        withBox(body);
        body->SetPos(RandomPoint(random, extent));
        animated.push_back(body);
    }

    for (int step = 0; step < 1000; ++step) {
        for (PhysicsRigidBody* body : moving) {
            // Turn back at the walls so that the crowd stays together.
            PhysicsVector v = body->GetVelocity();
            for (int i = 0; i < 3; ++i)
                if (std::fabs(At(body->GetPos(), i)) > extent && At(body->GetPos(), i) * At(v, i) > 0) At(v, i) = -At(v, i);
            body->SetVelocity(v);
        }
        for (PhysicsAnimatedBody* body : animated) {
            if (unit(random) < 0.3f) body->SetPos(body->GetPos() + RandomPoint(random, 0.3f));
            if (unit(random) < 0.01f) body->SetPos(RandomPoint(random, extent));  // a jump across the crowd
        }
        if (step % 37 == 0) {
            // Bodies leave and come back.
            PhysicsBody* body = bodies[random() % bodies.size()];
            body->SetActive(!body->IsActive(), step % 2 ? bodies[random() % bodies.size()] : nullptr);
        }
        if (step % 53 == 0) {
            // A moving body is freed and another of its kind takes its place in the pool.
            const std::size_t k = random() % moving.size();
            const bool particle = moving[k]->IsParticle();
            bodies.erase(std::find(bodies.begin(), bodies.end(), moving[k]));
            sim->FreeBody(moving[k]);
            PhysicsRigidBody* body = particle ? sim->CreateRigidParticle() : sim->CreateRigidBody();
            withBox(body);
            body->SetPos(RandomPoint(random, extent));
            body->SetVelocity({speed(random), speed(random), speed(random), 0});
            moving[k] = body;
        }
        sim->Simulate(kStep, 1, nullptr);
        ASSERT_EQ(ReportedPairs(*sim), BruteForcePairs(bodies)) << "step " << step;
    }
}

TEST(PhysicsRegion, ASceneAtRestCostsOneWalkPerAxisWithoutSwaps)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    // Boxes in a loose grid: none touches another, so nothing pushes anything.
    std::mt19937 random(99);
    for (int i = 0; i < 50; ++i) {
        const PhysicsVector cell{static_cast<float>(i % 5) * 2, static_cast<float>(i / 5 % 5) * 2, static_cast<float>(i / 25) * 2, 0};
        const PhysicsVector position = cell + RandomPoint(random, 0.4f);
        if (i < 30) AddBox(*sim, position); else AddAnimatedBox(*sim, position);
    }
    sim->Simulate(kStep, 1, nullptr);
    const int endpointsPerAxis = 2 * 50;

    for (int step = 0; step < 3; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        EXPECT_EQ(sim->Region().LastSortSwaps(), 0);
        EXPECT_EQ(sim->Region().LastSortVisits(), 3 * (endpointsPerAxis - 1));
    }
}

TEST(PhysicsRegion, TouchingBoxesDoNotOverlap)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsAnimatedBody* a = AddAnimatedBox(*sim, {0, 0, 0, 0});
    PhysicsAnimatedBody* b = AddAnimatedBox(*sim, {1, 0.5f, 0, 0});  // a's maximum x = b's minimum x
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());

    b->SetPos({0.75f, 0.5f, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(ReportedPairs(*sim).size(), 1u);
    b->SetPos({1, 0.5f, 0, 0});  // back to touching
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());
    a->SetPos({2, 0.5f, 0, 0});  // through b to touch its other side
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());
}

TEST(PhysicsRegion, PassThroughClassesMeetOnlyWhenAddedOverlapping)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    sim->GetCollisionTable().Set(1, 3, 0);
    PhysicsRigidBody* mover = AddBox(*sim, {-5, 0, 0, 0});
    mover->SetCollisionClass(1);
    PhysicsAnimatedBody* wall = AddAnimatedBox(*sim, {0, 0, 0, 0});
    wall->SetCollisionClass(3);
    mover->SetVelocity({75, 0, 0, 0});  // half a unit per step
    for (int step = 0; step < 15; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        EXPECT_TRUE(ReportedPairs(*sim).empty()) << step;
    }
    PhysicsRigidBody* added = AddBox(*sim, {0.2f, 0, 0, 0});
    added->SetCollisionClass(1);
    sim->Simulate(kStep, 1, nullptr);
    ASSERT_EQ(ReportedPairs(*sim).size(), 1u);
    EXPECT_EQ(sim->Region().Overlaps().head->bodyA, added);  // the animated body comes second
}

TEST(PhysicsRegion, ABodyRemovedInTheStepItWasAddedLeavesNoPair)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    AddBox(*sim, {0, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    PhysicsRigidBody* freed = AddBox(*sim, {0.5f, 0, 0, 0});
    PhysicsRigidBody* deactivated = AddBox(*sim, {-0.5f, 0, 0, 0});
    sim->FreeBody(freed);
    deactivated->SetActive(false, nullptr);
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());
    deactivated->SetActive(true, nullptr);
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(ReportedPairs(*sim).size(), 1u);
}

TEST(PhysicsRegion, ParticlesPairOnlyWithBodiesAndComeSecond)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* p1 = sim->CreateRigidParticle();
    p1->AddGeometry();
    PhysicsRigidBody* p2 = sim->CreateRigidParticle();
    p2->AddGeometry();
    p2->SetPos({0.3f, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());
    p2->SetVelocity({-30, 0, 0, 0});  // the particles pass through each other
    for (int i = 0; i < 10; ++i) sim->Simulate(kStep, 1, nullptr);
    EXPECT_TRUE(ReportedPairs(*sim).empty());

    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0}, {10, 1, 1, 0});
    sim->Simulate(kStep, 1, nullptr);
    ASSERT_EQ(ReportedPairs(*sim).size(), 2u);
    for (const PhysicsOverlapPair* p = sim->Region().Overlaps().head; p; p = p->next) EXPECT_EQ(p->bodyA, body);
}

TEST(PhysicsRegion, AFullPairBufferDropsNewPairsWithAMessage)
{
    PhysicsSizeInfo sizes;
    sizes.pairBufferCount = 1;
    SimulatorPtr sim = MakeSimulator(sizes, {0, 0, 0, 0});
    AddBox(*sim, {0, 0, 0, 0});
    AddBox(*sim, {0.5f, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(ReportedPairs(*sim).size(), 1u);
    PhysicsRigidBody* third = AddBox(*sim, {5, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    third->SetPos({0.25f, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_EQ(ReportedPairs(*sim).size(), 1u);
    ASSERT_FALSE(LoggedMessages().empty());
    EXPECT_EQ(LoggedMessages().back(), "Overlap Pair buffer full. Increase buffer size.\n");
}

}  // namespace
