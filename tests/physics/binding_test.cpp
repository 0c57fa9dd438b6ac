// The binding of a scene object to its body: body kinds, inertia, the hold, animated bodies.
#include "physics/engine/PhysicsInertia.h"
#include "world_fixture.h"

namespace {

TEST(InertiaTest, BoxAndCylinderTerms) {
    struct Case {
        PhysicsVector terms;
        PhysicsVector expected;
    };
    const Case cases[] = {
        {BoxInertia({1.0f, 4.0f, 2.0f, 0.0f}, 3.0f), {32.0f, 32.0f, 32.0f, 0.0f}},
        {BoxInertia({5.0f, 1.0f, 1.0f, 0.0f}, 0.6f), {10.0f, 10.0f, 10.0f, 0.0f}},
        // r = 1, h = 6, m = 2: m·h²/12 + m·r²/4 = 6.5 across, m·r²/2 = 1 along the axis.
        {CylinderInertia(2.0f, 6.0f, 2.0f), {6.5f, 1.0f, 6.5f, 0.0f}},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(c.terms.x, c.expected.x);
        EXPECT_FLOAT_EQ(c.terms.y, c.expected.y);
        EXPECT_FLOAT_EQ(c.terms.z, c.expected.z);
    }
}

TEST_F(PhysicsWorldTest, SetupGivesTheRigidBodyMassInertiaDampingAndPose) {
    const TPtr<CPGameObject> box = ShapeObject({1.0f, 2.0f, 3.0f}, 3.0f);
    CPPhysicData& data = *box->GetPhysicData();
    data.mainSizes = {1.0f, 4.0f, 2.0f};
    box->SetRotation({0.0f, 0.0f, 2.0f, 2.0f});
    data.AddToWorld();
    PhysicsRigidBody* body = data.rigidBody;
    ASSERT_TRUE(body);
    EXPECT_FLOAT_EQ(body->GetMass(), 3.0f);
    EXPECT_FLOAT_EQ(body->bodyInertia.row[0].x, 32.0f);
    EXPECT_FLOAT_EQ(body->linearDamping, 0.01f);
    EXPECT_FLOAT_EQ(body->angularDamping, 0.01f);
    EXPECT_FLOAT_EQ(body->GetPos().y, 2.0f);
    EXPECT_FLOAT_EQ(body->GetRotation().z, 0.70710678f) << "the object's rotation, normalised";
    EXPECT_TRUE(data.active);

    const TPtr<CPGameObject> still = ShapeObject({0.0f, 0.0f, 0.0f}, 0.0f);
    still->GetPhysicData()->AddToWorld();
    ASSERT_TRUE(still->GetPhysicData()->rigidBody);
    EXPECT_FLOAT_EQ(still->GetPhysicData()->rigidBody->bodyInertia.row[0].x, 1.0f) << "no inertia for a mass of 0";
    EXPECT_EQ(still->GetPhysicData()->rigidBody->GetInverseMass(), 0.0f) << "a body that does not move";
}

TEST_F(PhysicsWorldTest, ShapesBecomeGeometriesOfTheBody) {
    const TPtr<CPGameObject> object = ShapeObject({0.0f, 0.0f, 0.0f}, 1.0f, CPPhysicShape::Cylinder);
    CPPhysicData& data = *object->GetPhysicData();
    CPPhysicShape box;
    box.s0 = 2.0f;
    box.s1 = 4.0f;
    box.s2 = 6.0f;
    box.position = {0.0f, 0.0f, 1.0f};
    box.rotation = {0.0f, 0.0f, 0.70710678f, 0.70710678f};
    CPPhysicShape odd;
    odd.type = 7;
    data.shapes.push_back(box);
    data.shapes.push_back(odd);
    data.AddToWorld();
    EXPECT_EQ(Simulator().GeometryPool().UsedCount(), 3) << "an unknown type still takes a geometry";
    const PhysicsGeometry* cylinder = data.shapes[0].geometry;
    EXPECT_EQ(cylinder->GetType(), PhysicsGeometry::kCylinder);
    const PhysicsGeometry* boxGeometry = data.shapes[1].geometry;
    EXPECT_EQ(boxGeometry->GetType(), PhysicsGeometry::kBox);
    EXPECT_FLOAT_EQ(boxGeometry->shape.y, 3.0f) << "sides (s0, s2, s1)";
    EXPECT_FLOAT_EQ(boxGeometry->localTransform.position.z, 1.0f);
    EXPECT_NEAR(boxGeometry->localTransform.axes.row[0].y, -1.0f, 1e-6f) << "the shape's inverse rotation";
    EXPECT_EQ(boxGeometry->GetMaterialIndex(), 0);
}

TEST_F(PhysicsWorldTest, ANegativeMassMakesAnAnimatedBodyThatFollowsItsObject) {
    const TPtr<CPGameObject> gate = ShapeObject({1.0f, 2.0f, 3.0f}, -1.0f);
    CPPhysicData& data = *gate->GetPhysicData();
    data.SetCollisionClass(3);
    Physics().AddObject(gate, true);
    PhysicsAnimatedBody* body = data.animatedBody;
    ASSERT_TRUE(body);
    EXPECT_FALSE(data.rigidBody);
    EXPECT_EQ(body->GetCollisionClass(), 3);
    EXPECT_EQ(data.shapes[0].geometry->GetMaterialIndex(), CPPhysics::kTerrainMaterial);
    EXPECT_FLOAT_EQ(body->GetPos().z, 3.0f);
    data.SetupBody();  // nothing for an animated body

    gate->SetPosition({5.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(body->GetPos().x, 5.0f);
    gate->SetRotation({0.0f, 0.0f, 1.0f, 0.0f});
    EXPECT_NEAR(body->GetTransform().axes.row[0].x, -1.0f, 1e-6f);
    data.SetBodyCollisionClass(2);
    EXPECT_EQ(body->GetCollisionClass(), 2);
}

TEST_F(PhysicsWorldTest, TheHoldKeepsTheBodysVelocityEverySecondStep) {
    const TPtr<CPGameObject> box = ShapeObject({0.0f, 0.0f, 50.0f}, 1.0f);
    CPPhysicData& data = *box->GetPhysicData();
    data.controllerRequest = true;
    data.AddToWorld();
    ASSERT_TRUE(data.controller);
    data.heldVelocity = {2.0f, 0.0f, 0.0f};
    data.hold = true;
    Physics().TrackObject(box);
    Frame(0.1f);
    PhysicsRigidBody* body = data.rigidBody;
    EXPECT_NEAR(body->GetVelocity().x, 2.0f, 0.05f) << "less the damping of one step or two";
    EXPECT_GT(body->GetVelocity().z, -25.8f * 2.0f * CPPhysics::kStepLength - 1e-3f) << "gravity acts one step at most";
    EXPECT_GT(box->GetPosition().x, 0.1f);
}

}  // namespace
