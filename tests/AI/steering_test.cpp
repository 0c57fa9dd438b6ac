// The steering vehicle: its defaults, its force limit and integration step, and the pursuit and
// evasion forces at the awkward distances and speeds.
#include <gtest/gtest.h>

#include <cmath>

#include "AI/Pursuit.h"
#include "AI/SimpleVehicle.h"
#include "AI/SteeringMath.h"
#include "core/PSmartPointer.h"

namespace {

void ExpectVector(const PVector3& actual, const PVector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

bool IsFinite(const PVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST(SteeringTest, ANewVehicleStandsInTheResetFrame)
{
    TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
    EXPECT_EQ(vehicle->Speed(), 0.0f);
    ExpectVector(vehicle->Velocity(), {0, 0, 0});
    EXPECT_EQ(vehicle->MaxForce(), 0.1f);
    EXPECT_EQ(vehicle->MaxSpeed(), 1.0f);
    EXPECT_EQ(vehicle->Radius(), 0.5f);
    EXPECT_EQ(vehicle->Mass(), 1.0f);
    ExpectVector(vehicle->Side(), {-1, 0, 0});
    ExpectVector(vehicle->Forward(), {0, 1, 0});
    ExpectVector(vehicle->Up(), {0, 0, 1});
}

TEST(SteeringTest, AMovingVehicleRunsAtItsMaximumSpeed)
{
    TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
    vehicle->SetMaxSpeed(2.0f);
    vehicle->SetSpeed(0.3f);
    EXPECT_EQ(vehicle->Speed(), 2.0f);
    ExpectVector(vehicle->Velocity(), {0, 2, 0});
}

TEST(SteeringTest, TheForceLimitTurnsAStandingVehiclesForceAlongItsHeading)
{
    struct Case {
        const char* what;
        float maxSpeed, speed;
        PVector3 force, expected;
    };
    const Case cases[] = {
        {"standing: turned along forward, length kept", 1.0f, 0.0f, {3, 0, 0}, {0, 3, 0}},
        {"standing, zero force", 1.0f, 0.0f, {0, 0, 0}, {0, 0, 0}},
        {"moving: unchanged", 1.0f, 0.5f, {3, 0, 0}, {3, 0, 0}},
        {"maximum speed 0: unchanged", 0.0f, 0.0f, {3, 4, 0}, {3, 4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
        vehicle->SetMaxSpeed(c.maxSpeed);
        vehicle->SetSpeed(c.speed);
        const PVector3 limited = vehicle->LimitSteeringForce(c.force);
        ASSERT_TRUE(IsFinite(limited));
        ExpectVector(limited, c.expected);
    }
}

TEST(SteeringTest, EveryStepKeepsTheForceAndSpeedWithinTheirLimits)
{
    TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
    vehicle->SetMaxSpeed(6.0f);
    vehicle->SetMaxForce(6.0f);
    const PVector3 forces[] = {{50, 0, 0}, {0, -40, 3}, {0.1f, 0.2f, 0}, {-30, 30, 0}, {0, 0, 0}, {1000, -1000, 0}};
    const float steps[] = {0.02f, 0.1f, 0.5f, 0.95f, 2.0f};
    for (int round = 0; round < 4; ++round) {
        for (const PVector3& force : forces) {
            for (float dt : steps) {
                vehicle->ApplySteering(force, dt);
                EXPECT_LE(Vec3Length(vehicle->LastForce()), vehicle->MaxForce() * 1.0001f);
                EXPECT_LE(Vec3Length(vehicle->Velocity()), vehicle->MaxSpeed() * 1.0001f);
                ASSERT_TRUE(IsFinite(vehicle->Position()));
            }
        }
    }
}

TEST(SteeringTest, TheSmoothedAccelerationFollowsAtTheRateOfTheStep)
{
    // From rest along +y: the first step's acceleration is 0.9 of the clipped force below 0.9 s,
    // the whole of it from 1 s on.
    struct Case {
        float dt, rate;
    };
    for (const Case c : {Case{0.02f, 0.9f}, Case{0.5f, 0.9f}, Case{0.95f, 0.95f}, Case{1.2f, 1.0f}}) {
        SCOPED_TRACE(c.dt);
        TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
        vehicle->SetMaxForce(1.0f);
        vehicle->SetMaxSpeed(100.0f);
        vehicle->ApplySteering({0, 1, 0}, c.dt);
        ExpectVector(vehicle->Position(), {0, c.rate * c.dt * c.dt, 0});
    }
}

TEST(SteeringTest, ClampToConeKeepsLengthsAndLeavesZeroAlone)
{
    ExpectVector(ClampToCone(true, {0, 0, 0}, 0.5f, {0, 1, 0}), {0, 0, 0});
    ExpectVector(ClampToCone(true, {0, 2, 0}, 0.5f, {0, 1, 0}), {0, 2, 0});
    const PVector3 clamped = ClampToCone(true, {2, 0, 0}, 0.5f, {0, 1, 0});
    EXPECT_NEAR(Vec3Length(clamped), 2.0f, 1e-5f);
    EXPECT_NEAR(clamped.y / 2.0f, 0.5f, 1e-5f);
}

struct PursuitCase {
    const char* what;
    PVector3 ownPosition, ownForward;
    float ownSpeed;
    PVector3 targetPosition, targetForward;
    float targetSpeed;
    float maxTime;
    float expectedTime;  // how far ahead the target is predicted
};

TEST(SteeringTest, PursuitPredictsAheadByHowTheVehiclesFaceUpToItsCap)
{
    const PursuitCase cases[] = {
        {"dead ahead, same way: 4 × 20/5 capped to 1", {0, 0, 0}, {0, 1, 0}, 5, {0, 20, 0}, {0, 1, 0}, 3, 1, 1.0f},
        {"ahead, crossing: 1.8 × 1/10", {0, 0, 0}, {0, 1, 0}, 10, {0, 1, 0}, {1, 0, 0}, 2, 1, 0.18f},
        {"standing pursuer: the cap", {0, 0, 0}, {0, 1, 0}, 0, {0, 1, 0}, {1, 0, 0}, 2, 1, 1.0f},
        {"cap 0: the target's place now", {0, 0, 0}, {0, 1, 0}, 5, {3, 4, 0}, {1, 0, 0}, 2, 0, 0.0f},
    };
    for (const PursuitCase& c : cases) {
        SCOPED_TRACE(c.what);
        TPtr<SimpleVehicle> own(new SimpleVehicle), target(new SimpleVehicle);
        own->SetPosition(c.ownPosition);
        own->SetForward(c.ownForward);
        own->SetMaxSpeed(c.ownSpeed);
        own->SetSpeed(c.ownSpeed);
        target->SetPosition(c.targetPosition);
        target->SetForward(c.targetForward);
        target->SetMaxSpeed(c.targetSpeed);
        target->SetSpeed(c.targetSpeed);
        const PVector3 expected = target->PredictPosition(c.expectedTime) - own->Position() - own->Velocity();
        ExpectVector(PursuitForce(*own, *target, c.maxTime), expected);
    }
}

TEST(SteeringTest, StandingOnTheTargetGivesNoForceAndAStandingTargetIsPredictedOneSecondAhead)
{
    TPtr<SimpleVehicle> own(new SimpleVehicle), target(new SimpleVehicle);
    own->SetMaxSpeed(0.0f);
    target->SetMaxSpeed(0.0f);
    ExpectVector(PursuitForce(*own, *target, 1.0f), {0, 0, 0});
    ExpectVector(PursuitForce(*own, *target, 0.0f), {0, 0, 0});
    ExpectVector(EvasionForce(*own, *target), {0, 0, 0});

    target->SetPosition({0, 4, 0});
    own->SetMaxSpeed(2.0f);
    own->SetSpeed(2.0f);
    // (own - target) - velocity (0, 2, 0).
    ExpectVector(EvasionForce(*own, *target), {0, -6, 0});
}

}  // namespace
