// The sample car driven end to end, headless, by the game's own parts: the sample models loaded
// by the object loader, a level stand-in that gives them to the physics world as a level load
// and a level start will, the kernel's main loop with the frame timer at a fixed frame time, and a
// Lua script that drives through SetCarParams. What a player would see: the car lands on its
// wheels and settles, takes off to its top speed, drives a circle that closes, and crates dropped
// onto it bounce off it, with the game hearing of each hit.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "InProcessGame.h"
#include "WorkingFolder.h"
#include "app/Application.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PObjUpdater.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "script/PLuaScript.h"
#include "script/ScriptHandles.h"

namespace {

constexpr float kFrameTime = 0.02f;
// Physics runs 1.5 times the game's time.
constexpr float kPhysicsFrame = kFrameTime * CPPhysics::kTimeFactor;
constexpr int kThrottleFrame = 50;  // 1.5 s of physics to land and settle
constexpr int kSteeringFrame = 150; // 3 s of physics straight ahead
constexpr int kLastFrame = 380;
constexpr float kPi = 3.14159265f;
// The sample ground tile's surface; the sample car's body rests on its springs this high.
constexpr float kGround = -1.0f;
constexpr float kRestHeight = kGround + 2.3f - 12.0f * 25.8f / (4 * 500.0f);

// The driver: waits, then full throttle straight ahead, then full throttle and full steering
// until the end, when it ends the game. It hands the car and the crates to the renderer every
// frame, as a level's update will.
constexpr char kDriver[] = R"(
local frame = 0
while true do
  frame = frame + 1
  if frame == THROTTLE then SetCarParams(car, 1, 0) end
  if frame == STEERING then SetCarParams(car, 1, 1) end
  if frame == LAST then KillAllTasks() end
  for i = 1, table.getn(drawn) do DrawDynamicObject(drawn[i]) end
  Update()
end
)";

// What the car does in a frame, read after the physics world's and the car's update.
struct Sample {
    float time = 0.0f;  // physics seconds since the first frame
    PVector3 position;
    float heading = 0.0f;   // of the car's forward direction (-y of its body) in the ground plane
    float upright = 0.0f;   // z of the car's up axis
    float speed = 0.0f;
    float verticalSpeed = 0.0f;
    int32_t triangles = 0;  // drawn by the renderer in the frame before
};

class Recorder {
public:
    explicit Recorder(CPPlayerCar& car) : m_car(car) {}
    void Record() {
        ::Sample sample;
        sample.time = static_cast<float>(samples.size() + 1) * kPhysicsFrame;
        sample.position = m_car.GetPosition();
        const PVector3 forward = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, m_car.GetWorld());
        sample.heading = std::atan2(forward.y, forward.x);
        sample.upright = Vec3TransformNormal({0.0f, 0.0f, 1.0f}, m_car.GetWorld()).z;
        const PhysicsRigidBody* body = m_car.GetPhysicData()->rigidBody;
        sample.speed = m_car.GetCar()->speed;
        sample.verticalSpeed = body ? body->GetVelocity().z : 0.0f;
        sample.triangles = GetRender()->GetTrianglesDrawn();
        samples.push_back(sample);
        // The script ends the game; should it fail, the run still ends.
        if (samples.size() >= kLastFrame + 10) GetKernel()->KillAllTasks();
    }
    std::vector<::Sample> samples;

private:
    CPPlayerCar& m_car;
};

// Does for the physics world what a level load and a level start will do, in their order:
// the ground tiles (four sample tiles, 48 × 48 units) to the terrain, the world started, the
// dynamic objects into the world (bodies set up and tracked), the player's car made from the
// car model; then the physics task (priority 400) and the level's per-frame update of the car
// (priority 500) into the kernel.
class LevelStandIn {
public:
    LevelStandIn() : m_level(std::make_unique<CPLevel>()) {}

    void Load(const std::vector<PVector3>& crates, PVector3 barrier, PVector3 carStart, PVector3 checkPoint) {
        CPObjectLoader& loader = *GetObjectLoader();
        m_physics = new CPPhysics;
        for (float x : {-12.0f, 12.0f}) {
            for (float y : {-12.0f, 12.0f}) {
                TPtr<CPGameObject> tile = loader.LoadObject("sample_ground.rdf", 20);
                tile->SetPosition({x, y, 0.0f});
                tile->UpdateTransform();
                m_physics->AddTerrainObject(TPtr<CPRenderObject>::From(tile->GetAttachment()));
                tiles.push_back(tile);
            }
        }
        m_physics->Init();
        for (const PVector3& at : crates) this->crates.push_back(Dynamic("crate.rdf", at));
        this->barrier = Dynamic("crate.rdf", barrier);
        this->barrier->GetPhysicData()->SetBodyCollisionClass(3);
        for (const TPtr<CPGameObject>& crate : this->crates) crate->GetPhysicData()->controllerRequest = true;

        TPtr<CPGameObject> model = loader.LoadObject("car.rdf", 20);
        car = new CPPlayerCar;
        car->CopyFrom(model);
        car->SetPosition(carStart);
        car->UpdateTransform();
        m_physics->TrackObject(car);
        m_physics->AddObject(car, true);
        m_physics->CreateCar(car);
        car->GetPhysicData()->SetBodyCollisionClass(2);
        m_level->playerCar = car;

        m_level->currentCheckPoint = new CPGameObject("chk1");
        m_level->currentCheckPoint->SetPosition(checkPoint);
    }

    void Start() {
        m_physics->SetPriority(400);
        GetKernel()->AddTask(m_physics);
        m_carUpdate = new CPObjUpdater(car.Get(), &CPPlayerCar::Update);
        m_carUpdate->SetPriority(500);
        GetKernel()->AddTask(m_carUpdate);
    }

    CPLevel& Level() { return *m_level; }

    std::vector<TPtr<CPGameObject>> tiles;
    std::vector<TPtr<CPGameObject>> crates;
    TPtr<CPGameObject> barrier;
    TPtr<CPPlayerCar> car;

private:
    // A level object with physics data of mass above 0, put into the world and tracked.
    TPtr<CPGameObject> Dynamic(const char* description, PVector3 at) {
        TPtr<CPGameObject> object = GetObjectLoader()->LoadObject(description, 20);
        object->SetPosition(at);
        object->UpdateTransform();
        object->GetPhysicData()->AddToWorld();
        m_physics->TrackObject(object);
        return object;
    }

    std::unique_ptr<CPLevel> m_level;
    TPtr<CPPhysics> m_physics;
    TPtr<CPObjUpdater> m_carUpdate;
};

class CarDriveRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        std::string driver = kDriver;
        for (const auto& [name, value] : {std::pair<std::string, int>{"THROTTLE", kThrottleFrame},
                                          {"STEERING", kSteeringFrame},
                                          {"LAST", kLastFrame}}) {
            driver.replace(driver.find(name), name.size(), std::to_string(value));
        }
        m_folder.Write("data/scripts/driver.lua", driver);
        platform::InvalidateListings();
        platform::GetMessageQueue().Clear();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("VX_FRAME_TIME", std::to_string(kFrameTime).c_str(), 1);
    }

    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("VX_FRAME_TIME");
        platform::GetMessageQueue().Clear();
    }

    apptest::WorkingFolder m_folder;
};

TEST_F(CarDriveRunTest, TheScriptedSampleCarLandsDrivesToItsTopSpeedAndDrivesACircle) {
    CPApplication application;
    application.Init();
    TPtr<CPRender> render;
    ASSERT_TRUE(apptest::OpenWindowWithRenderer(application, render));
    TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
    timer->SetPriority(10);
    ASSERT_TRUE(GetKernel()->AddTask(timer));

    const PVector3 start{0.0f, 16.0f, kRestHeight + 1.0f};
    auto level = std::make_unique<LevelStandIn>();
    level->Load({start + PVector3{0.85f, 2.4f, 1.0f}, start + PVector3{-0.85f, 2.4f, 1.6f},
                 start + PVector3{1.6f, 0.0f, 2.2f}},
                start + PVector3{-1.6f, 0.0f, 2.8f}, start, start + PVector3{0.0f, 5.0f, 0.0f});
    ASSERT_TRUE(level->car->GetCar());

    TPtr<CPLuaScript> driver(new CPLuaScript);
    ASSERT_EQ(driver->Load("driver"), 0);
    lua_State* state = driver->GetState();
    PushHandle(state, level->car.Get());
    lua_setglobal(state, "car");
    lua_newtable(state);
    int index = 1;
    for (const TPtr<CPGameObject>& object : {TPtr<CPGameObject>(level->car), level->crates[0], level->crates[1],
                                             level->crates[2], level->barrier, level->tiles[1]}) {
        PushHandle(state, object.Get());
        lua_rawseti(state, -2, index++);
    }
    lua_setglobal(state, "drawn");
    driver->SetPriority(20);
    ASSERT_TRUE(GetKernel()->AddTask(driver));

    level->Start();
    Recorder recorder(*level->car);
    TPtr<CPObjUpdater> probe(new CPObjUpdater(&recorder, &Recorder::Record));
    probe->SetPriority(600);
    ASSERT_TRUE(GetKernel()->AddTask(probe));

    GetKernel()->Run();
    const std::vector<Sample>& samples = recorder.samples;

    ASSERT_EQ(samples.size(), static_cast<size_t>(kLastFrame - 1));

    // Landed on its springs (its body never touched the ground) and settled: at rest height,
    // upright and still but for a slow roll from the crates' hits when the throttle comes.
    float lowest = samples[0].position.z;
    for (int k = 0; k < kThrottleFrame; ++k) lowest = std::min(lowest, samples[k].position.z);
    EXPECT_GT(lowest, kRestHeight - 0.3f);
    const Sample& settled = samples[kThrottleFrame - 2];
    EXPECT_NEAR(settled.position.z, kRestHeight, 0.01f);
    EXPECT_LT(std::fabs(settled.verticalSpeed), 0.05f);
    EXPECT_LT(settled.speed, 0.3f);
    EXPECT_GT(settled.upright, 0.999f);

    // Top speed: about 10 units/s, 90 % of it within 2 s of full throttle, and no faster later.
    const auto after = [&](float seconds) -> const Sample& {
        return samples[kThrottleFrame - 2 + static_cast<int>(seconds / kPhysicsFrame)];
    };
    EXPECT_GT(after(2.0f).speed, 9.0f);
    EXPECT_NEAR(after(2.9f).speed, 9.9f, 0.4f);
    float fastest = 0.0f;
    for (const Sample& s : samples) fastest = std::max(fastest, s.speed);
    EXPECT_LT(fastest, 10.5f);
    const Sample& straight = samples[kSteeringFrame - 2];
    EXPECT_LT(std::fabs(straight.position.x - start.x), 0.1f) << "straight ahead";
    EXPECT_LT(straight.position.y, start.y - 15.0f) << "forward is -y";

    // One full turn, a second after the steering came: a circle of a few car lengths that closes.
    const size_t first = kSteeringFrame + static_cast<size_t>(1.0f / kPhysicsFrame);
    float turned = 0.0f;
    float diameter = 0.0f;
    size_t i = first + 1;
    for (; i < samples.size() && std::fabs(turned) < 2.0f * kPi; ++i) {
        turned += std::remainder(samples[i].heading - samples[i - 1].heading, 2.0f * kPi);
        diameter = std::max(diameter, Vec3Length(samples[i].position - samples[first].position));
    }
    ASSERT_GE(std::fabs(turned), 2.0f * kPi) << "no full turn by the end";
    const float closing = Vec3Length(samples[i - 1].position - samples[first].position);
    EXPECT_GT(diameter, 2.0f * 3.6f);
    EXPECT_LT(diameter, 6.0f * 3.6f);
    EXPECT_LT(closing, 0.5f);
    EXPECT_LT(samples[i - 1].time - samples[first].time, 6.0f);
    std::printf("A full turn at full steering: a circle %.1f across in %.1f s of physics, closing within %.2f\n",
                diameter, samples[i - 1].time - samples[first].time, closing);
    float leastUpright = 1.0f;
    for (const Sample& s : samples) leastUpright = std::min(leastUpright, s.upright);
    EXPECT_GT(leastUpright, 0.99f) << "never tipped";

    // The crates hit the car on their way down and fell off it onto the ground: each lost its
    // hold request, and the barrier near the current check point asked for the df text.
    for (const TPtr<CPGameObject>& crate : level->crates) {
        EXPECT_FALSE(crate->GetPhysicData()->controllerRequest);
        EXPECT_NEAR(crate->GetPosition().z, kGround + 0.8f, 0.1f) << "on the ground";
    }
    EXPECT_TRUE(level->Level().dfTextRequested);
    // And the renderer drew every frame: the ground tile's triangles are counted (the car's and
    // the crates' meshes are static, drawn from the mesh cache without a count).
    for (size_t k = 2; k < samples.size(); ++k) EXPECT_GT(samples[k].triangles, 0) << k;

    driver = nullptr;
    probe = nullptr;
    level.reset();
    render = nullptr;
    timer = nullptr;
    CollectGarbage();
}

}  // namespace
