// The player-car and direction script functions: damage, death, jumps, child objects, and the
// headings of the car's automatic turning with its obstacle probe on a level.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cmath>
#include <memory>
#include <string>

#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "game/level_objects.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "physics/unit_shape.h"
#include "script/ScriptHandles.h"
#include "scriptapi/game_functions_fixture.h"

namespace {

constexpr double kTurn = 6.2831855;
constexpr double kSpread = 0.2617994;

class PlayerCarFunctionsTest : public GameFunctionsTest {
protected:
    void SetUp() override {
        GameFunctionsTest::SetUp();
        m_car = new CPPlayerCar;
        SetHandle(*m_script, "car", m_car.Get());
    }
    void TearDown() override {
        m_level.reset();
        m_car = nullptr;
        GameFunctionsTest::TearDown();
    }

    // A level with the car at the origin, heading 0.
    CPLevel& Level() {
        m_level = std::make_unique<CPLevel>();
        m_level->playerCar = m_car;
        return *m_level;
    }

    double Number(const std::string& call) {
        EXPECT_EQ(Run(*m_script, "number = " + call), "");
        return GlobalNumber(*m_script, "number");
    }

    CPGameData m_data;
    TPtr<CPPlayerCar> m_car;
    std::unique_ptr<CPLevel> m_level;
};

TEST_F(PlayerCarFunctionsTest, MoveDirectionIsTheHeadingOfTheTruncatedDirection) {
    const struct {
        const char* arguments;
        double heading;
    } cases[] = {
        {"0, -5", 0.0},          {"3, 0", kTurn / 4},       {"-3, 0", 3 * kTurn / 4}, {"0.9, 0", kTurn / 4},
        {"0, 5", kTurn / 2},     {"1e39, 0", kTurn / 4},    {"0/0, 1", kTurn / 2},    {"-1, -1", 7 * kTurn / 8},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(Number("GetMoveDirection(" + std::string(c.arguments) + ")"), c.heading, 1e-6) << c.arguments;
    }
}

TEST_F(PlayerCarFunctionsTest, PlayerDirectionIsTheHeadingWithinAFullTurn) {
    EXPECT_EQ(Number("GetPlayerDirection()"), 0.0) << "no level";
    CPLevel& level = Level();
    const struct {
        float heading;
        double direction;
    } cases[] = {
        {-0.5f, kTurn - 0.5}, {1.0f, 1.0}, {static_cast<float>(kTurn), kTurn}, {-7.0f, 2 * kTurn - 7.0},
        {INFINITY, 0.0}, {-INFINITY, 0.0}, {NAN, 0.0},
    };
    for (const auto& c : cases) {
        level.playerHeading = c.heading;
        EXPECT_NEAR(Number("GetPlayerDirection()"), c.direction, 1e-5) << c.heading;
    }
    for (float huge : {1e30f, -1e30f, 3.4e38f}) {
        level.playerHeading = huge;
        const double direction = Number("GetPlayerDirection()");
        EXPECT_TRUE(direction >= 0.0 && direction <= kTurn) << huge << " gives " << direction;
    }
}

// The probe leaves the car along +x at heading 0 with the target straight ahead; the second ray
// is turned 15 degrees toward -y, the third toward +y.
TEST_F(PlayerCarFunctionsTest, RotateDirectionTurnsAwayFromABlockedProbe) {
    const struct {
        const char* what;
        PVector3 at, half;
        double turn;
        bool aligned;
    } cases[] = {
        {"nothing in the way", {40.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 2.0f}, 0.0, true},
        {"ahead only", {4.0f, 0.0f, 0.0f}, {0.5f, 0.3f, 2.0f}, kSpread, false},
        {"ahead and the second", {4.0f, -0.6f, 0.0f}, {0.5f, 0.7f, 2.0f}, -kSpread, false},
        {"all three", {4.0f, 0.0f, 0.0f}, {0.5f, 3.0f, 2.0f}, -2 * kSpread, false},
        {"a side ray only", {4.0f, -1.5f, 0.0f}, {0.5f, 0.4f, 2.0f}, 0.0, true},
    };
    CPLevel& level = Level();
    for (const auto& c : cases) {
        level.activeObjects = {levelobjects::Box("wall", c.at, c.half)};
        ASSERT_EQ(Run(*m_script, "t, a = GetRotateDirection(nil, nil, 0, 5)"), "");
        EXPECT_NEAR(GlobalNumber(*m_script, "t"), c.turn, 1e-6) << c.what;
        EXPECT_EQ(GlobalText(*m_script, "a"), c.aligned ? "true" : "false") << c.what;
    }
    level.playerHeading = INFINITY;
    EXPECT_EQ(Results("GetRotateDirection(nil, nil, 0, 5)"), "0|true") << "a heading that is not finite counts 0";
}

TEST_F(PlayerCarFunctionsTest, DamageAndDeathReachOnlyThePlayerCar) {
    m_car->health = 50.0f;
    TPtr<CPGameObject> other(new CPGameObject("PLAYER"));
    SetHandle(*m_script, "other", other.Get());
    const struct {
        const char* call;
        const char* results;
        float health;
    } cases[] = {
        {"DamagePlayer(nil, 10), DamagePlayer(other, 10), DamagePlayer(globalObject, 10)", "true|true|true", 50.0f},
        {"DamagePlayer(car, 10)", "true", 40.0f},
        {"DamagePlayer(car, 0/0), DamagePlayer(car, 'x'), DamagePlayer(car)", "true|true|true", 40.0f},
        {"DamagePlayer(car, 1e39)", "false", 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Results(c.call), c.results) << c.call;
        EXPECT_EQ(m_car->health, c.health) << c.call;
    }
    EXPECT_EQ(Run(*m_script, "KillPlayer(nil) KillPlayer(other)"), "");
    EXPECT_FALSE(m_car->dead);
    EXPECT_EQ(Run(*m_script, "KillPlayer(car)"), "");
    EXPECT_TRUE(m_car->dead);
}

TEST_F(PlayerCarFunctionsTest, JumpPushesTheRigidBodyOnlyWithAFiniteImpulse) {
    TPtr<CPPhysics> physics(new CPPhysics);
    physics->Init();
    TPtr<CPPhysicData> data = GiveUnitShape(*m_car, 12.0f);
    data->AddToWorld();
    ASSERT_NE(data->rigidBody, nullptr);

    EXPECT_EQ(Results("IsRigid(car), IsRigid(nil), IsRigid(globalObject)"), "true|false|false");
    EXPECT_EQ(Run(*m_script, "Jump(car, 0/0, 0, 1) Jump(car, 1e39, 0, 1) Jump(car, 0, 1/0, 1) Jump(nil, 0, 0, 1)"), "");
    EXPECT_EQ(data->rigidBody->GetVelocity().z, 0.0f);
    EXPECT_EQ(Run(*m_script, "Jump(car, 0, 0, 2)"), "");
    EXPECT_NEAR(data->rigidBody->GetVelocity().z, 6.0f / 12.0f, 1e-5) << "three times the impulse over the mass";

    data->RemoveFromWorld();
    m_car->SetPhysicData(nullptr);
    physics->Stop();
}

TEST_F(PlayerCarFunctionsTest, FindObjectGivesTheChildAtAnyDepth) {
    TPtr<CPGameObject> root(new CPGameObject("root"));
    TPtr<CPGameObject> middle(new CPGameObject("middle"));
    TPtr<CPGameObject> leaf(new CPGameObject("leaf"));
    root->AddChild(middle);
    middle->AddChild(leaf);
    SetHandle(*m_script, "root", root.Get());
    SetHandle(*m_script, "leaf", leaf.Get());
    EXPECT_EQ(Results("FindObject(root, 'leaf') == leaf, FindObject(root, 'none'), FindObject(nil, 'leaf')"),
              "true|userdata: (nil)|userdata: (nil)");
    EXPECT_NE(Results("FindObject(root, {})").find("error"), std::string::npos) << "a name must be text";
}

TEST_F(PlayerCarFunctionsTest, HardModeIsSetAndRead) {
    EXPECT_EQ(Results("GetDifficult()", "SetDifficult(1)"), "1");
    EXPECT_TRUE(m_data.hardMode);
    EXPECT_EQ(Results("GetDifficult()", "SetDifficult(nil)"), "0");
    EXPECT_EQ(Results("GetDifficult()", "SetDifficult(0)"), "1") << "0 is true in Lua";
}

}  // namespace
