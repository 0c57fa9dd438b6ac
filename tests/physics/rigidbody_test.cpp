#include <cmath>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"

namespace {

struct FreeFallCase {
    float mass;
    float upwardSpeed;
    int steps;
};

// The integrator: v(n) = v0 + n·h·g and p(n) = n·h·v0 + h²·g·n(n + 2)/2 (velocity first, then
// the position with half the acceleration of the step).
TEST(PhysicsRigidBody, FreeFallFollowsTheIntegratorsClosedForm)
{
    const float g = -25.8f;
    for (const FreeFallCase& c : {FreeFallCase{1.0f, 0.0f, 150}, FreeFallCase{5.0f, 0.0f, 150},
                                  FreeFallCase{0.25f, 12.0f, 150}, FreeFallCase{1.0f, 0.0f, 1}}) {
        SimulatorPtr sim = MakeSimulator();
        PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
        body->SetMass(c.mass);
        body->SetVelocity({0, 0, c.upwardSpeed, 0});
        for (int i = 0; i < c.steps; ++i) sim->Simulate(kStep, 1, nullptr);

        const double n = c.steps, h = 1.0 / 150.0;
        const double v = c.upwardSpeed + n * h * g;
        const double p = n * h * c.upwardSpeed + h * h * g * n * (n + 2) / 2;
        EXPECT_NEAR(body->GetVelocity().z, v, 2e-5 * (1 + std::fabs(v))) << "mass " << c.mass;
        EXPECT_NEAR(body->GetPos().z, p, 2e-5 * (1 + std::fabs(p))) << "mass " << c.mass;
        EXPECT_EQ(body->GetPos().x, 0.0f);
    }
}

TEST(PhysicsRigidBody, DampingTakesItsShareEveryStep)
{
    struct Case {
        float linear;
        float angular;
    };
    for (const Case& c : {Case{0.01f, 0.0f}, Case{0.0f, 0.01f}, Case{0.01f, 0.01f}, Case{0.1f, 0.5f}}) {
        SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
        PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
        body->SetLinearDamping(-c.linear);  // the sign is dropped
        body->SetAngularDamping(c.angular);
        body->SetVelocity({10, -4, 2, 0});
        body->SetAngularMomentum({1, 2, 3, 0});
        for (int step = 1; step <= 20; ++step) {
            sim->Simulate(kStep, 1, nullptr);
            const float linear = std::pow(1.0f - c.linear, static_cast<float>(step));
            const float angular = std::pow(1.0f - c.angular, static_cast<float>(step));
            ASSERT_NEAR(body->GetVelocity().x, 10 * linear, 1e-4f) << step;
            ASSERT_NEAR(body->GetVelocity().y, -4 * linear, 1e-4f) << step;
            ASSERT_NEAR(body->GetAngularMomentum().z, 3 * angular, 1e-4f) << step;
        }
    }
}

TEST(PhysicsRigidBody, TorqueFreeSpinKeepsItsAngularMomentumAndEnergy)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0}, {1, 2, 3, 0});
    body->SetInertiaTensor({1.0f, 2.0f, 3.0f, 0});
    const PhysicsVector momentum{0.3f, 1.5f, 2.0f, 0};
    body->SetAngularMomentum(momentum);
    const float energy = 0.5f * Dot(momentum, body->GetAngularVelocity());

    sim->Simulate(1.0f, 150, nullptr);
    EXPECT_NEAR(body->GetAngularMomentum().x, momentum.x, 1e-6f);
    EXPECT_NEAR(body->GetAngularMomentum().y, momentum.y, 1e-6f);
    EXPECT_NEAR(body->GetAngularMomentum().z, momentum.z, 1e-6f);
    EXPECT_NEAR(0.5f * Dot(momentum, body->GetAngularVelocity()), energy, 0.01f * energy);
    // The body did turn.
    EXPECT_LT(body->GetRotation().w, 0.99f);
}

TEST(PhysicsRigidBody, MidpointStepKeepsTheQuaternionNormalised)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* body = sim->CreateRigidBody();  // no shape: nothing but the integration runs
    body->SetInertiaTensor({0.5f, 1.0f, 2.0f, 0});
    body->SetAngularMomentum({3.0f, -7.0f, 11.0f, 0});
    float worst = 0;
    for (int i = 0; i < 1000; ++i) {
        sim->Simulate(100 * kStep, 100, nullptr);
        worst = std::fmax(worst, std::fabs(LengthSq(body->GetRotation()) - 1.0f));
    }
    EXPECT_LT(worst, 1e-5f);
    const PhysicsTransform t = body->GetTransform();
    EXPECT_NEAR(Dot(t.axes.row[0], t.axes.row[1]), 0.0f, 1e-5f);
    EXPECT_NEAR(LengthSq(t.axes.row[2]), 1.0f, 1e-5f);
    EXPECT_EQ(t.position.w, 1.0f);
}

TEST(PhysicsRigidBody, MassZeroMakesAnImmovableBody)
{
    for (float mass : {0.0f, -0.0f, -3.0f, INFINITY, NAN}) {
        SimulatorPtr sim = MakeSimulator();
        PhysicsRigidBody* body = AddBox(*sim, {1, 2, 3, 0});
        body->SetMass(mass);
        body->SetInertiaTensor({2, 2, 2, 0});  // an inertia given after the mass keeps it immovable
        EXPECT_EQ(body->GetInverseMass(), 0.0f) << mass;
        body->ApplyImpulse({100, 0, 0, 0}, body->GetPos());
        // Off its centre, where a blow turns a body that can turn (a wall struck near its end).
        body->ApplyImpulse({100, 0, 0, 0}, body->GetPos() + PhysicsVector{0, 4, 0, 0});
        sim->Simulate(1.0f, 150, nullptr);
        EXPECT_EQ(body->GetVelocity().x, 0.0f) << mass;
        EXPECT_EQ(body->GetVelocity().z, 0.0f) << mass;
        EXPECT_EQ(LengthSq(body->GetAngularVelocity()), 0.0f) << mass;
        EXPECT_EQ(body->GetRotation().w, 1.0f) << mass;
        EXPECT_EQ(body->GetPos().z, 3.0f) << mass;
        EXPECT_TRUE(IsFinite(body->GetPos())) << mass;
    }
}

TEST(PhysicsRigidBody, ImpulsesThroughTheCentreOnlyPushAndOffCentreOnesTurn)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = AddBox(*sim, {1, 1, 1, 0});
    body->SetMass(2.0f);
    body->ApplyImpulse({4, 0, 0, 0}, {1, 1, 1, 0});
    EXPECT_FLOAT_EQ(body->GetVelocity().x, 2.0f);
    EXPECT_EQ(LengthSq(body->GetAngularMomentum()), 0.0f);
    body->ApplyImpulse({0, 1, 0, 0}, {2, 1, 1, 0});  // arm (1, 0, 0): L = arm × J = (0, 0, 1)
    EXPECT_FLOAT_EQ(body->GetAngularMomentum().z, 1.0f);
    EXPECT_FLOAT_EQ(body->GetAngularVelocity().z, 1.0f);
    const PhysicsVector v = body->GetVelocityAtPoint({0, 1, 0, 0});  // ω × (0, 1, 0) = (-1, 0, 0)
    EXPECT_FLOAT_EQ(v.x, 2.0f - 1.0f);
}

TEST(PhysicsRigidBody, SingularInertiaKeepsTheEarlierInverse)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = sim->CreateRigidBody();
    body->SetInertiaTensor({2, 4, 8, 0});
    body->SetInertiaTensor({0, 4, 8, 0});
    EXPECT_FLOAT_EQ(body->inverseBodyInertia.row[0].x, 0.5f);
    EXPECT_FLOAT_EQ(body->inverseBodyInertia.row[2].z, 0.125f);
}

// Counts its calls and pushes upward with a force.
class CountingController : public PhysicsControllerCallback {
public:
    void ControllerStep(PhysicsController& controller, float stepLength) override
    {
        ++calls;
        lastStepLength = stepLength;
        controller.SetForce({0, 0, 25.8f, 0});
    }
    int calls = 0;
    float lastStepLength = 0;
};

TEST(PhysicsRigidBody, ControllersRunEveryPeriodPlusOneStepsAndTheirForceHoldsTheBody)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    CountingController everyStep, everySecond;
    body->AddController(&everyStep, 0);
    body->AddController(&everySecond, 1);
    int expectedSecond[] = {0, 1, 1, 2, 2, 3};
    for (int step = 0; step < 6; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        EXPECT_EQ(everyStep.calls, step + 1);
        EXPECT_EQ(everySecond.calls, expectedSecond[step]) << "step " << step + 1;
    }
    EXPECT_FLOAT_EQ(everyStep.lastStepLength, kStep);
    // From the second step on both forces (2 × 25.8 up) act with gravity: the body rises.
    EXPECT_GT(body->GetVelocity().z, 0.0f);
}

TEST(PhysicsRigidBody, ABodyAtRestFeelsNoGravityUntilItWakes)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 4, 0});
    body->SetVelocity({3, 0, 0, 0});
    body->PutToRest();
    EXPECT_EQ(LengthSq(body->GetVelocity()), 0.0f);
    sim->Simulate(1.0f, 150, nullptr);
    EXPECT_EQ(body->GetPos().z, 4.0f);
    EXPECT_TRUE(body->IsAtRest());
    body->SetVelocity({0, 0, 0.5f, 0});  // a setter wakes it
    EXPECT_FALSE(body->IsAtRest());
    sim->Simulate(1.0f, 150, nullptr);
    EXPECT_LT(body->GetPos().z, 4.0f);
}

TEST(PhysicsRigidBody, SensorsAreWalkedInOrderAndAZeroLineHasNoDirection)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = sim->CreateRigidBody();
    PhysicsSensor* first = body->AddSensor();
    PhysicsSensor* second = body->AddSensor();
    body->FirstSensor();
    EXPECT_EQ(body->NextSensor(), first);
    EXPECT_EQ(body->NextSensor(), second);
    EXPECT_EQ(body->NextSensor(), nullptr);
    EXPECT_EQ(body->NextSensor(), nullptr);

    first->SetLine({0, 0, 1, 0}, {0, 0, -3, 0});
    EXPECT_FLOAT_EQ(first->GetDirection().z, -1.0f);
    EXPECT_FLOAT_EQ(first->length, 3.0f);
    second->SetLine({1, 1, 1, 0}, {0, 0, 0.0005f, 0});
    EXPECT_EQ(LengthSq(second->GetDirection()), 0.0f);
    EXPECT_EQ(second->length, 0.0f);
}

TEST(PhysicsRigidBody, BoundingInfoCoversShapesAndSensorLines)
{
    SimulatorPtr sim = MakeSimulator();
    PhysicsRigidBody* body = sim->CreateRigidBody();
    PhysicsGeometry* box = body->AddGeometry();
    box->SetBox(2, 4, 6);
    PhysicsGeometry* capsule = body->AddGeometry();
    capsule->SetCylinder(1, 2);  // radius 0.5, half height 1: reaches 1.5 along its Y axis
    PhysicsTransform placed;
    placed.position = {5, 0, 0, 1};
    capsule->SetLocalTransform(placed);
    PhysicsSensor* sensor = body->AddSensor();
    sensor->SetLine({0, 0, 0, 0}, {0, 0, -10, 0});
    body->UpdateBoundingInfo();

    PhysicsVector low, high;
    body->collisionBox.GetLocalBounds(low, high);
    EXPECT_FLOAT_EQ(low.x, -1.0f);
    EXPECT_FLOAT_EQ(high.x, 5.5f);
    EXPECT_FLOAT_EQ(low.y, -2.0f);
    EXPECT_FLOAT_EQ(high.y, 2.0f);
    EXPECT_FLOAT_EQ(low.z, -10.0f);
    EXPECT_FLOAT_EQ(high.z, 3.0f);

    body->SetPos({1, 0, 0, 0});
    sim->Simulate(kStep, 1, nullptr);
    EXPECT_NEAR(body->worldMax.x, 6.5f, 1e-5f);
}

}  // namespace
