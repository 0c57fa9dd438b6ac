#pragma once
// The physics world of the sample scene, built as a level builds it: the sample "land" tile
// (sample_ground.rdf, through the object loader) as the terrain, 100 sample boxes (box.rdf, which
// has no physics data: each gets a body of its part box) in 25 columns of four beside the car's
// track, and the sample car (car.rdf) made the player's driven car, driven round a circle by
// constant throttle and steering. A frame is one CPPhysics::Update with the frame timer's delta at
// 1/60 s (3.75 steps of 1/150 s at the game's time factor of 1.5), then the particle manager's
// update for the car's dust.
#include <time.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PParticlesManager.h"
#include "Render/PRenderObject.h"
#include "core/PGlobalTimer.h"
#include "game/PLevel.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "physics/engine/PhysicsSimulator.h"
#include "platform/PathResolver.h"
#include "support/AllocationCounter.h"

namespace sampleworld {

constexpr float kFrameDelta = 1.0f / 60.0f;
constexpr int32_t kLayerBase = 20;
// The land tile spans ±12 in x and y with its top at z = -1.
constexpr float kTileHalfSide = 12.0f;
constexpr float kGround = -1.0f;
// Boxes: 5 × 5 columns of 4 on the tile's +x half.
constexpr int kColumnsPerSide = 5;
constexpr int kBoxesPerColumn = 4;
constexpr int kBoxCount = kColumnsPerSide * kColumnsPerSide * kBoxesPerColumn;
constexpr float kColumnSpacing = 2.0f;
constexpr float kColumnsCentreX = 6.5f;
// A crate of the box's size, in the world's mass units (the sample car weighs 12).
constexpr float kBoxMass = 1.0f;
// The car starts on the tile's -x half; these controls drive it round a circle about 6 across at
// about 6 units/s there, which drifts less than 0.01 in five minutes.
constexpr PVector3 kCarStart{-5.0f, 0.0f, kGround + 2.2f};
constexpr float kThrottle = 0.8f;
constexpr float kSteeringAngle = 0.6f;
// Seconds of frames before a steady measurement: every box has landed and rests, the car has
// reached its speed.
constexpr float kSettleSeconds = 5.0f;
constexpr int kFramesPerDrop = 60;

inline double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The sample box's physics: one box of its part box, as a physics model file would give it.
inline void GiveBoxPhysics(CPGameObject& box) {
    if (box.GetPhysicData() || box.GetParts().empty()) return;
    const CPObb& part = box.GetParts().front();
    const PVector3 half{part.GetHalfSize().x, part.GetHalfSize().y, part.GetHalfSize().z};
    TPtr<CPPhysicData> data(new CPPhysicData(&box));
    data->mass = kBoxMass;
    data->mainSizes = {half.z * 2.0f, half.x * 2.0f, half.y * 2.0f};
    CPPhysicShape shape;
    shape.s0 = half.x * 2.0f;
    shape.s1 = half.z * 2.0f;
    shape.s2 = half.y * 2.0f;
    shape.mass = kBoxMass;
    data->shapes.push_back(shape);
    box.SetPhysicData(data);
}

// Where box i starts: its column on the grid, its place in the column a little above the one
// below.
inline PVector3 BoxStart(int i) {
    const int column = i / kBoxesPerColumn;
    const int level = i % kBoxesPerColumn;
    const float x = kColumnsCentreX + (column % kColumnsPerSide - kColumnsPerSide / 2) * kColumnSpacing;
    const float y = (column / kColumnsPerSide - kColumnsPerSide / 2) * kColumnSpacing;
    return {x, y, kGround + 0.85f + 1.7f * static_cast<float>(level)};
}

struct FrameCost {
    double cpuSeconds = 0.0;
    int allocations = 0;
};

// The sample scene in a running world, from the built sample data's folder.
class SampleScene {
public:
    // Built in the given sample data folder (the working folder while the scene lives).
    explicit SampleScene(const std::filesystem::path& dataFolder) : m_previousFolder(std::filesystem::current_path()) {
        std::filesystem::current_path(dataFolder);
        platform::InvalidateListings();
        g_frameDelta = 0.0f;
        m_particles->Start();
        BuildTerrain();
        for (int i = 0; i < kBoxCount; ++i) AddBox(i);
        AddCar();
    }
    ~SampleScene() {
        m_level.playerCar = nullptr;
        m_physics->Stop();
        m_boxes.clear();
        m_car = m_land = nullptr;
        m_physics = nullptr;
        m_particles = nullptr;
        m_loader.reset();
        CollectGarbage();
        g_frameDelta = 0.0f;
        std::filesystem::current_path(m_previousFolder);
        platform::InvalidateListings();
    }

    bool Ready() const {
        return m_physics->GetSimulator() && m_boxes.size() == kBoxCount && m_car && m_car->GetCar() &&
               m_car->GetPhysicData()->rigidBody;
    }

    // One frame; returns what the physics task's part of it cost.
    FrameCost Frame() {
        Drive();
        g_frameDelta = kFrameDelta;
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(true);
        const double start = ThreadSeconds();
        m_physics->Update();
        const double seconds = ThreadSeconds() - start;
        testsupport::SetCountingAllocations(false);
        const FrameCost cost{seconds, testsupport::CountedAllocations()};
        m_particles->Update();
        return cost;
    }

    void RunSeconds(float seconds) {
        for (int frame = 0; frame * kFrameDelta < seconds; ++frame) Frame();
    }

    // Every box back above its column place, still.
    void DropBoxes() {
        for (int i = 0; i < kBoxCount; ++i) {
            m_boxes[i]->SetPosition(BoxStart(i));
            m_boxes[i]->SetRotation({0.0f, 0.0f, 0.0f, 1.0f});
            CPPhysicData& data = *m_boxes[i]->GetPhysicData();
            data.SetupBody();
            data.rigidBody->SetVelocity({});
            data.rigidBody->SetAngularMomentum({});
        }
    }

    PhysicsSimulator& Simulator() const { return *m_physics->GetSimulator(); }
    int32_t StepCounter() const { return m_physics->GetSimulator()->GetStepCounter(); }
    // The boxes' bodies, then the car's.
    std::vector<PhysicsRigidBody*> Bodies() const {
        std::vector<PhysicsRigidBody*> bodies;
        for (const TPtr<CPGameObject>& box : m_boxes) bodies.push_back(box->GetPhysicData()->rigidBody);
        bodies.push_back(m_car->GetPhysicData()->rigidBody);
        return bodies;
    }
    int AwakeBoxes() const {
        return static_cast<int>(std::count_if(m_boxes.begin(), m_boxes.end(), [](const TPtr<CPGameObject>& box) {
            return !box->GetPhysicData()->rigidBody->IsAtRest();
        }));
    }
    float CarSpeed() const { return m_car->GetCar()->speed; }
    // Upright on its springs over the tile, not fallen off or over.
    bool CarOnLand() const {
        const PVector3& at = m_car->GetPosition();
        const bool overTheTile = std::fabs(at.x) < kTileHalfSide && std::fabs(at.y) < kTileHalfSide;
        const bool onItsSprings = at.z > kGround && at.z < kCarStart.z + 1.0f;
        return overTheTile && onItsSprings && m_car->GetWorld().m[2][2] > 0.9f;
    }

private:
    void BuildTerrain() {
        m_land = m_loader->LoadObject("sample_ground.rdf", kLayerBase);
        if (!m_land) return;
        m_land->UpdateTransform();
        if (auto* mesh = m_land->GetAttachment().Get<CPRenderObject>()) m_physics->AddTerrainObject(TPtr<CPRenderObject>(mesh));
        m_physics->Init();
    }

    void AddBox(int i) {
        TPtr<CPGameObject> box = m_loader->LoadObject("box.rdf", kLayerBase);
        if (!box) return;
        GiveBoxPhysics(*box);
        box->SetPosition(BoxStart(i));
        box->GetPhysicData()->AddToWorld();
        m_physics->TrackObject(box);
        m_boxes.push_back(box);
    }

    void AddCar() {
        m_car = m_loader->LoadObject("car.rdf", kLayerBase);
        if (!m_car || !m_car->GetPhysicData()) return;
        m_car->SetPosition(kCarStart);
        m_car->GetPhysicData()->AddToWorld();
        m_car->GetPhysicData()->SetBodyCollisionClass(2);
        m_physics->TrackObject(m_car);
        m_physics->CreateCar(m_car);
        m_level.playerCar = m_car;
    }

    // The script's part: the car's controls every frame.
    void Drive() { m_physics->SetCarControl(m_car, kThrottle, kSteeringAngle); }

    std::filesystem::path m_previousFolder;
    TPtr<CPParticlesManager> m_particles{new CPParticlesManager};
    std::unique_ptr<CPObjectLoader> m_loader = std::make_unique<CPObjectLoader>();
    TPtr<CPPhysics> m_physics{new CPPhysics};
    CPLevel m_level;
    TPtr<CPGameObject> m_land;
    TPtr<CPGameObject> m_car;
    std::vector<TPtr<CPGameObject>> m_boxes;
};

}  // namespace sampleworld
