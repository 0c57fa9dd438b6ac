// The player's car: the engine temperature with what the interface hears of it, the drive it
// hands to the physics car, and the engine sound that follows the throttle.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Sound/NAudio.h"
#include "game/PPlayerCar.h"
#include "game/player_car_fixture.h"
#include "physics/PCar.h"
#include "physics/PPhysics.h"
#include "physics/unit_shape.h"
#include "platform/PathResolver.h"

namespace {

namespace fs = std::filesystem;

// A physics world with the car in it as a driven car (a box without wheels).
class PlayerCarTest : public PlayerCarFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PlayerCarFixture::SetUp());
        m_physics = new CPPhysics;
        m_physics->Init();
        GiveUnitShape(*m_car, 12.0f)->AddToWorld();
        m_physics->CreateCar(m_car);
        ASSERT_TRUE(m_car->GetCar());
    }
    void TearDown() override {
        m_car = nullptr;
        m_physics->Stop();
        m_physics = nullptr;
        PlayerCarFixture::TearDown();
    }

    const CPCar& PhysicsCar() const { return *m_car->GetCar(); }

    TPtr<CPPhysics> m_physics;
};

TEST_F(PlayerCarTest, ItIsNamedPlayerAndKeepsTheSceneObjectsClassName) {
    EXPECT_EQ(m_car->GetName(), "PLAYER");
    EXPECT_EQ(m_car->GetClassName(), "CPGameObject - PLAYER");
    EXPECT_EQ(m_car->GetSize(), CPGameObject("x").GetSize());
}

// Heat rate 0.5 and cool rate 0.25, frames of a quarter second: the engine gets hot (0.8) in the
// seventh frame of full throttle and full (1.0) in the eighth, from which the car drives on 0.4
// of its throttle; let go, it cools below 0.8 in the fourth frame and down to 0.
TEST_F(PlayerCarTest, TheEngineHeatsWhileDrivenAndTellsTheInterfaceWhenItGetsHotAndCoolsAgain) {
    m_car->engineInfo.heatRate = 0.5f;
    m_car->engineInfo.coolRate = 0.25f;
    struct Step {
        int frames;
        float throttle;
        float temperature;  // after the frames
        float drive;        // the physics car's throttle
        std::vector<std::string> commands;
    };
    const Step steps[] = {
        {6, 1.0f, 0.75f, 1.0f, {}},
        {1, 1.0f, 0.875f, 1.0f, {"engine_temp(1)"}},
        {1, 1.0f, 1.0f, 0.4f, {}},
        {2, 1.0f, 1.0f, 0.4f, {}},
        {3, 0.0f, 0.8125f, 0.0f, {}},
        {1, 0.0f, 0.75f, 0.0f, {"engine_temp(0)"}},
        {20, 0.0f, 0.0f, 0.0f, {}},
        {2, -1.0f, 0.25f, -1.0f, {}},  // reversing heats it as well
    };
    int frame = 0;
    for (const Step& step : steps) {
        m_car->SetControls(step.throttle, 0.0f);
        for (int i = 0; i < step.frames; ++i) Frame(0.25f);
        frame += step.frames;
        SCOPED_TRACE("after frame " + std::to_string(frame));
        EXPECT_EQ(m_car->engineTemperature, step.temperature);
        EXPECT_FLOAT_EQ(PhysicsCar().throttle, step.drive);
        EXPECT_EQ(Commands(), step.commands);
    }
}

TEST_F(PlayerCarTest, AnEngineWithoutRatesNeverHeatsAndADeadCarDoesNothing) {
    m_car->SetControls(1.0f, 0.5f);
    m_car->GetCar()->speed = 10.0f;
    for (int i = 0; i < 10; ++i) Frame(0.5f);
    EXPECT_EQ(m_car->engineTemperature, 0.0f);
    EXPECT_EQ(PhysicsCar().throttle, 1.0f);
    const float steered = PhysicsCar().steeringAngle;
    EXPECT_GT(steered, 0.0f);
    EXPECT_TRUE(Commands().empty());

    m_car->engineInfo.heatRate = 1.0f;
    m_car->dead = true;
    m_car->SetControls(-1.0f, -0.5f);
    for (int i = 0; i < 10; ++i) Frame(0.5f);
    EXPECT_EQ(m_car->engineTemperature, 0.0f);
    EXPECT_EQ(PhysicsCar().throttle, 1.0f) << "the physics car keeps what it had";
    EXPECT_EQ(PhysicsCar().steeringAngle, steered);
    EXPECT_TRUE(Commands().empty());
}

// The wheels follow the driver's steering within 0.3 s, not at once, and get less of it the
// slower the car goes: none at a standstill, 0.45 of full steering from 5 units/s on, and at a
// quarter of that speed half as much (the turn rate goes with the square of the angle, so the
// car drives the same circle at any low speed).
TEST_F(PlayerCarTest, TheWheelsTakeTheSteeringOverAFewTenthsAndLessOfItTheSlowerTheCar) {
    struct Step {
        float steering;  // the driver's, from now on
        float speed;     // of the physics car
        int frames;      // of 0.1 s
        float angle;     // the wheels' after them
    };
    const Step steps[] = {
        {1.0f, 10.0f, 1, 0.15f},  {1.0f, 10.0f, 1, 0.3f},    {1.0f, 10.0f, 1, 0.45f},  {1.0f, 10.0f, 5, 0.45f},
        {1.0f, 5.0f, 1, 0.45f},   {1.0f, 1.25f, 1, 0.225f},  {1.0f, 0.0f, 1, 0.0f},    {-1.0f, 10.0f, 1, 0.3f},
        {-1.0f, 10.0f, 5, -0.45f}, {0.0f, 10.0f, 1, -0.3f},   {0.0f, 10.0f, 2, 0.0f},   {0.5f, 20.0f, 3, 0.225f},
    };
    m_car->SetControls(1.0f, 0.0f);
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.steering) + " at " + std::to_string(step.speed));
        m_car->SetControls(1.0f, step.steering);
        m_car->GetCar()->speed = step.speed;
        for (int i = 0; i < step.frames; ++i) Frame(0.1f);
        EXPECT_NEAR(PhysicsCar().steeringAngle, step.angle, 1e-5f);
    }
}

// With the sample sounds: the engine sound is the registered "motor_high"; it starts looping at
// the update after the throttle leaves zero, goes on while the throttle changes, and stops when
// it returns to zero.
TEST_F(PlayerCarTest, TheEngineSoundFollowsTheThrottleBetweenZeroAndNonZero) {
    fs::create_directories(m_folder.Path() / "Data" / "Sounds");
    fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "sounds", m_folder.Path() / "Data" / "Sounds",
             fs::copy_options::recursive);
    platform::InvalidateListings();
    CNAudio audio;
    audio.Init(nullptr);
    if (!audio.HasDevice()) GTEST_SKIP() << "no sound device";
    m_car = nullptr;
    CollectGarbage();
    TPtr<CPPlayerCar> car(new CPPlayerCar);
    ASSERT_TRUE(car->engineSound);
    EXPECT_EQ(car->engineSound, audio.GetSound("motor_high"));
    const CNSound& sound = *car->engineSound;

    struct Step {
        float throttle;
        bool restart;  // right after SetControls
        bool playing;  // after the next update
    };
    const Step steps[] = {
        {0.0f, false, false}, {1.0f, true, true},  {0.5f, false, true},   {-1.0f, false, true},
        {0.0f, false, false}, {0.0f, false, false}, {-0.2f, true, true}, {0.0f, false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.throttle);
        car->SetControls(step.throttle, 0.0f);
        EXPECT_EQ(car->restartEngineSound, step.restart);
        EXPECT_FALSE(sound.IsPlaying() && step.restart) << "stopped before it starts again";
        car->Update();
        EXPECT_FALSE(car->restartEngineSound);
        EXPECT_EQ(sound.IsPlaying(), step.playing);
    }
    car = nullptr;
    CollectGarbage();
}

}  // namespace
