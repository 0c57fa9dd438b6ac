#include <vector>

#include <gtest/gtest.h>

#include "physics/engine/PhysicsNarrowPhase.h"
#include "physics/physics_fixture.h"

namespace {

std::vector<PhysicsCollisionInfo>& Reported()
{
    static std::vector<PhysicsCollisionInfo> infos;
    return infos;
}

void Record(PhysicsCollisionInfo* info) { Reported().push_back(*info); }

TEST(PhysicsContacts, TheCallbackHearsOfPairsWhoseResponseAsksForIt)
{
    for (int32_t response : {1, 2, 3}) {
        SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
        sim->GetCollisionTable().Set(1, 2, response);
        sim->SetCollisionCallback(Record);
        Reported().clear();
        PhysicsRigidBody* upper = AddBox(*sim, {0, 0, 0.9f, 0});
        upper->SetCollisionClass(1);
        PhysicsRigidBody* lower = AddBox(*sim, {0, 0, 0, 0});
        lower->SetCollisionClass(2);
        sim->Simulate(kStep, 1, nullptr);
        if (!(response & PhysicsCollisionTable::kCallbackResponse)) {
            EXPECT_TRUE(Reported().empty());
            continue;
        }
        ASSERT_EQ(Reported().size(), 1u) << response;
        const PhysicsCollisionInfo& info = Reported()[0];
        EXPECT_EQ(info.kindA, PhysicsCollisionInfo::kRigidBody);
        EXPECT_EQ(info.kindB, PhysicsCollisionInfo::kRigidBody);
        // The normal points from B toward A.
        const PhysicsBody* a = info.bodyA;
        EXPECT_NEAR(info.normal.z, a == upper ? 1.0f : -1.0f, 1e-5f);
        EXPECT_NEAR(info.worldPointB.z - info.worldPointA.z, a == upper ? 0.1f : -0.1f, 1e-5f);
    }
}

TEST(PhysicsContacts, ARigidBodyPressedFromAboveByAnAnimatedBodyIsMovedOutAtOnce)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, -25.8f, 0});
    PhysicsRigidBody* box = AddBox(*sim, {0, 0, 0, 0});
    box->SetMass(2.0f);
    AddAnimatedBox(*sim, {0, 0, 0.8f, 0}, {4, 4, 1, 0});
    sim->Simulate(kStep, 1, nullptr);
    // 0.2 down at once, then one step of falling from rest.
    const float fall = 0.5f * 25.8f * kStep * kStep * 3;  // h·v + ½h²a with v = h·a
    EXPECT_NEAR(box->GetPos().z, -0.2f - fall, 1e-5f);
    EXPECT_EQ(box->pushedLastStep, 1);
}

TEST(PhysicsContacts, AParticleStruckByABodyIsMovedBackByTheWholeDepth)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    body->SetMass(1000.0f);
    PhysicsRigidBody* particle = sim->CreateRigidParticle();
    particle->AddGeometry()->SetBox(0.2f, 0.2f, 0.2f);
    particle->UpdateBoundingInfo();
    particle->SetPos({0, 0, 0.55f, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_NEAR(particle->GetPos().z, 0.6f, 1e-5f);
    EXPECT_NEAR(body->GetPos().z, 0.0f, 1e-6f);
}

TEST(PhysicsContacts, BodiesWithMoreShapesThanTheCandidateListsHoldAreTestedWhole)
{
    PhysicsSizeInfo sizes;
    sizes.geometriesCount = 400;
    SimulatorPtr sim = MakeSimulator(sizes, {0, 0, 0, 0});
    PhysicsRigidBody* a = sim->CreateRigidBody();
    PhysicsRigidBody* b = sim->CreateRigidBody();
    // 150 boxes in a row on each body; the rows overlap by 0.01, except at the 140th box by 0.05.
    for (int i = 0; i < 150; ++i) {
        PhysicsTransform place;
        place.position = {static_cast<float>(i), 0, i == 140 ? -0.04f : 0.0f, 1};
        PhysicsGeometry* upper = a->AddGeometry();
        upper->SetBox(0.5f, 0.5f, 0.5f);
        upper->SetLocalTransform(place);
        place.position.z = 0;
        PhysicsGeometry* lower = b->AddGeometry();
        lower->SetBox(0.5f, 0.5f, 0.5f);
        lower->SetLocalTransform(place);
    }
    a->UpdateBoundingInfo();
    b->UpdateBoundingInfo();
    a->SetPos({0, 0, 0.49f, 0});
    PhysicsCollisionResult contact;
    PhysicsCollideBodies(contact, *a, *b);
    ASSERT_TRUE(contact.valid);
    EXPECT_NEAR(contact.depth, 0.05f, 1e-5f);
    EXPECT_NEAR(contact.worldPointA.x, 140.0f, 0.3f);
    EXPECT_NEAR(contact.normal.z, 1.0f, 1e-5f);
}

TEST(PhysicsContacts, ABodyWithOneShapeIsTestedWithThatShapeNotItsCollisionBox)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    // A thin capsule lying diagonally in the x-y plane: its collision box is a square around it.
    PhysicsRigidBody* rod = sim->CreateRigidBody();
    PhysicsGeometry* capsule = rod->AddGeometry();
    capsule->SetCylinder(0.2f, 2.0f);
    PhysicsTransform diagonal;
    diagonal.axes = AxesFromQuaternion({0, 0, 0.38268343f, 0.92387953f});  // Y turned 45° toward -x
    capsule->SetLocalTransform(diagonal);
    rod->UpdateBoundingInfo();
    PhysicsRigidBody* box = AddBox(*sim, {0.9f, 0.9f, 0, 0}, {0.4f, 0.4f, 0.4f, 0});
    // The box sits in a corner of the rod's collision box, far from the rod itself.
    PhysicsTestResult boxes;
    int32_t material = 0;
    ASSERT_TRUE(PhysicsCollideGeometries(boxes, material, rod->collisionBox,
                                         Compose(rod->GetTransform(), rod->collisionBox.localTransform),
                                         *box->geometries.head,
                                         Compose(box->GetTransform(), box->geometries.head->localTransform)));
    PhysicsCollisionResult contact;
    PhysicsCollideBodies(contact, *rod, *box);
    EXPECT_FALSE(contact.valid);
    // Moved onto the rod's line, it touches.
    box->SetPos({-0.5f, 0.5f, 0, 0});
    PhysicsCollideBodies(contact, *rod, *box);
    EXPECT_TRUE(contact.valid);
    EXPECT_EQ(contact.geometryA, capsule);
}

}  // namespace
