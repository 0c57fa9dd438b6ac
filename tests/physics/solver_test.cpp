#include <cmath>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"

namespace {

struct ImpactCase {
    float friction;
    float restitution;
    PhysicsVector velocity;
    PhysicsVector expected;
};

// A unit box (mass 1) hitting the terrain at its centre, so that K is diagonal.
PhysicsRigidBody* ImpactOnTerrain(PhysicsSimulator& sim, const ImpactCase& c)
{
    sim.SetMaterial(0, c.friction, c.restitution);
    PhysicsRigidBody* body = AddBox(sim, {0, 0, 0, 0});
    body->SetVelocity(c.velocity);
    PhysicsCollisionResult row;
    row.normal = {0, 0, 1, 0};
    row.bodyA = body;
    row.Prepare(0, 0);
    sim.SolveContact(body, nullptr, row, 1, 1.0f);
    return body;
}

TEST(PhysicsSolver, ImpactImpulsesFollowTheFrictionConeAndRestitution)
{
    const ImpactCase cases[] = {
        // Friction 0, restitution 1: the normal velocity is exactly reversed.
        {0.0f, 1.0f, {0, 0, -5, 0}, {0, 0, 5, 0}},
        // Sliding with friction 0: (1 + e)·j0 along the normal only.
        {0.0f, 0.5f, {3, -1, -4, 0}, {3, -1, 2, 0}},
        {0.0f, 0.0f, {3, 0, -4, 0}, {3, 0, 0, 0}},
        // Slow sliding inside the cone is stopped.
        {1.0f, 0.0f, {1, 0, -5, 0}, {0, 0, 0, 0}},
        // Fast sliding is slowed by μ times the normal impulse.
        {0.5f, 0.0f, {10, 0, -4, 0}, {8, 0, 0, 0}},
        // Separating and exactly touching contacts get nothing.
        {0.5f, 0.4f, {1, 0, 2, 0}, {1, 0, 2, 0}},
        {0.5f, 0.4f, {1, 0, 0, 0}, {1, 0, 0, 0}},
    };
    for (const ImpactCase& c : cases) {
        SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
        const PhysicsRigidBody* body = ImpactOnTerrain(*sim, c);
        EXPECT_NEAR(body->GetVelocity().x, c.expected.x, 1e-5f) << c.velocity << " μ " << c.friction;
        EXPECT_NEAR(body->GetVelocity().y, c.expected.y, 1e-5f) << c.velocity << " μ " << c.friction;
        EXPECT_NEAR(body->GetVelocity().z, c.expected.z, 1e-5f) << c.velocity << " μ " << c.friction;
    }
}

TEST(PhysicsSolver, TheSmallerFrictionAndRestitutionOfTheTwoMaterialsApply)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    sim->SetMaterial(2, 0.0f, 1.0f);
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    body->SetVelocity({2, 0, -5, 0});
    PhysicsCollisionResult row;
    row.normal = {0, 0, 1, 0};
    row.bodyA = body;
    row.materialA = 2;  // against the default material (0.5, 0.4): μ = 0, e = 0.4
    row.Prepare(0, 0);
    sim->SolveContact(body, nullptr, row, 1, 1.0f);
    EXPECT_NEAR(body->GetVelocity().x, 2.0f, 1e-5f);
    EXPECT_NEAR(body->GetVelocity().z, 2.0f, 1e-5f);
}

TEST(PhysicsSolver, AnEffectiveMassThatCannotBeInvertedGivesNoImpulse)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    body->SetMass(0.0f);  // immovable: K is zero
    body->SetVelocity({1, 0, -5, 0});
    for (int32_t type : {PhysicsCollisionResult::kCollisionRow, PhysicsCollisionResult::kRestingRow}) {
        PhysicsCollisionResult row;
        row.rowType = type;
        row.normal = {0, 0, 1, 0};
        row.bodyA = body;
        row.depth = 0.04f;
        row.Prepare(0, 0);
        EXPECT_EQ(LengthSq(row.inverseK.row[0]) + LengthSq(row.inverseK.row[1]) + LengthSq(row.inverseK.row[2]), 0.0f);
        EXPECT_EQ(LengthSq(sim->ComputeContactImpulse(row, 0)), 0.0f);
        sim->SolveContact(body, nullptr, row, type == PhysicsCollisionResult::kCollisionRow ? 1 : 2, 1.0f);
        EXPECT_TRUE(IsFinite(body->GetVelocity()));
        EXPECT_EQ(body->GetVelocity().z, -5.0f);
        EXPECT_TRUE(IsFinite(body->GetAngularVelocity()));
    }
}

TEST(PhysicsSolver, ContactRowsGetATangentBasisAndKInContactAxes)
{
    struct BasisCase {
        PhysicsVector normal;
        PhysicsVector tangent1;
    };
    const float h = std::sqrt(0.5f);
    const float t = 1.0f / std::sqrt(3.0f);
    const BasisCase cases[] = {
        {{0, 0, 1, 0}, {h, h, 0, 0}},
        {{h, h, 0, 0}, {t, -t, t, 0}},  // |x| = |y|: y is chosen
        {{h, 0, h, 0}, {t, t, -t, 0}},  // |x| = |z|: z is chosen
        {{1, 0, 0, 0}, {0, h, h, 0}},
    };
    for (const BasisCase& c : cases) {
        PhysicsVector t1, t2;
        MakeTangentBasis(t1, t2, c.normal);
        EXPECT_NEAR(t1.x, c.tangent1.x, 1e-5f) << c.normal;
        EXPECT_NEAR(t1.y, c.tangent1.y, 1e-5f) << c.normal;
        EXPECT_NEAR(t1.z, c.tangent1.z, 1e-5f) << c.normal;
        EXPECT_NEAR(Dot(t2, c.normal), 0.0f, 1e-6f);
        EXPECT_NEAR(Dot(t2, t1), 0.0f, 1e-6f);
        EXPECT_NEAR(LengthSq(t2), 1.0f, 1e-5f);
    }

    // A box of mass 2 touching the terrain at a corner: K = (1/m)·1 − [r]x I [r]x, and K⁻¹·K = 1.
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, 0, 0});
    PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
    body->SetMass(2.0f);
    body->SetInertiaTensor({0.5f, 0.25f, 0.2f, 0});
    PhysicsCollisionResult row;
    row.normal = {0, 0, 1, 0};
    row.armA = {0.5f, 0.5f, -0.5f, 0};
    row.bodyA = body;
    row.Prepare(0, 0);
    // Normal entry: 1/m + (r × n)·I⁻¹(r × n) with r × n = (0.5, -0.5, 0) in world axes.
    EXPECT_NEAR(row.K.row[2].z, 0.5f + 0.25f * 2.0f + 0.25f * 4.0f, 1e-5f);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            float product = 0.0f;
            for (int k = 0; k < 3; ++k) product += At(row.inverseK.row[i], k) * At(row.K.row[k], j);
            EXPECT_NEAR(product, i == j ? 1.0f : 0.0f, 1e-4f);
        }
}

TEST(PhysicsSolver, RestingRowsPushOutOfPenetrationByAClampedDepth)
{
    SimulatorPtr sim = MakeSimulator(PhysicsSizeInfo{}, {0, 0, -25.8f, 0});
    sim->Simulate(kStep, 1, nullptr);  // sets the step length
    sim->ConstrainPass();               // stack pass on
    struct PushCase {
        float depth;
        float expectedSpeed;
    };
    const PushCase cases[] = {{0.02f, 0.0f}, {0.2f, 75.0f * (0.05f - 0.0258f)}};
    for (const PushCase& c : cases) {
        PhysicsRigidBody* body = AddBox(*sim, {0, 0, 0, 0});
        body->SetVelocity({0, 0, 0, 0});
        PhysicsCollisionResult row;
        row.rowType = PhysicsCollisionResult::kRestingRow;
        row.normal = {0, 0, 1, 0};
        row.bodyA = body;
        row.depth = c.depth;
        row.Prepare(0, 0);
        sim->SolveContact(body, nullptr, row, 2, 1.0f);
        EXPECT_NEAR(body->GetVelocity().z, c.expectedSpeed, 1e-4f) << c.depth;
        EXPECT_LE(row.depth, 0.05f);
        sim->FreeBody(body);
    }
}

}  // namespace
