// The game's frame at its busiest: the whole program runs in this process on a copy of the
// built game folder, headless, straight into the third sample mission (level3, the mission with
// the most enemies), driven by an input recording replayed in place of the devices (the
// accelerator and the fire key held, turns, weapon changes by the wheel, mines now and then).
//
// A load task tops the level up every frame: every enemy the mission sends (18) alive at once
// and 300 live weapon objects (tracers and seeking rockets of the sample weapons, spawned around
// the car, with the sparks, smoke and explosions they make: well over 2,000 live particles). The
// car takes no damage and the enemies have a thousand times their health, so the crowd stays.
// The load task's own work is not measured.
//
// A kernel task observer times every task of the steady frames by the thread's CPU clock and
// counts the heap allocations of the pass. Counters, per frame: engine_ms (every task but the
// renderer and the load: the engine's CPU), render_ms (the renderer's task: filling the streaming
// buffers and queueing, and the GL driver's own work on this thread, which software GL makes
// large), the split of engine_ms by task (level_ms: the level's light and update; physics_ms,
// ai_ms, weapons_ms, particles_ms: the manager and the particle systems; interface_ms: the interface
// scripts, the HUD among them; scripts_ms: the other scripts; other_ms: timer, input, music,
// animations), allocations (heap allocations of the pass, the load task's left out),
// script_allocations (those of the scripts' Lua states, which allocate from the C heap: the
// counter sees them only in sanitized builds, where they are in allocations too), and the mean
// live enemies, weapon objects and particles.
//
// Run it: build/rel/bench/bench_game_frame
#include <benchmark/benchmark.h>

#include <time.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "AI/AIManager.h"
#include "AI/AI_Task.h"
#include "Render/PParticleSystem.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "app/Application.h"
#include "core/PKernel.h"
#include "core/PObjUpdater.h"
#include "core/TaskObserver.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "physics/PPhysics.h"
#include "platform/InputRecording.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "script/PLuaScript.h"
#include "support/AllocationCounter.h"
#include "support/LuaAllocationCounter.h"
#include "support/WorkingFolder.h"
#include "weapons/PWeaponsSystem.h"

namespace {

namespace fs = std::filesystem;
using platform::InputEvent;

constexpr float kFrameTime = 0.02f;
constexpr uint32_t kWarmUpFrames = 250;  // the level loaded, the crowd complete and settled
constexpr uint32_t kMeasuredFrames = 750;
constexpr uint32_t kLoadingFrames = 20;  // before the crowd is complete
constexpr size_t kMissionEnemies = 18;  // level3's check points send 18 in all
constexpr size_t kWeaponObjects = 300;
constexpr int32_t kLoadPriority = 9500;  // after every game task, before the renderer

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Scan codes of the sample Actions.cfg's keys.
constexpr uint8_t kUp = 0xC8, kLeft = 0xCB, kRight = 0xCD, kSpace = 0x39, kLeftControl = 0x1D;

// The drive: the accelerator and the fire key held throughout; every 3 s a turn of 0.8 s, left
// and right in turn; a wheel notch every 4 s; the mine key every 5 s. The last pass closes the
// window, which ends the game.
platform::InputRecording MakeDrive() {
    const uint32_t passes = kWarmUpFrames + kMeasuredFrames + kLoadingFrames;
    platform::InputRecording drive;
    drive.seed = 5;
    drive.passCount = passes + 1;
    drive.frameTimes.assign(passes + 1, kFrameTime);
    auto at = [&](uint32_t pass, InputEvent event) { drive.events.push_back({pass, event}); };
    at(0, InputEvent::KeyChange(kUp, true));
    at(0, InputEvent::KeyChange(kSpace, true));
    for (uint32_t pass = 1; pass < passes; ++pass) {
        if (pass % 150 == 0) at(pass, InputEvent::KeyChange((pass / 150) % 2 ? kLeft : kRight, true));
        if (pass % 150 == 40) at(pass, InputEvent::KeyChange((pass / 150) % 2 ? kLeft : kRight, false));
        if (pass % 200 == 0) at(pass, InputEvent::WheelSteps(1));
        if (pass % 250 == 0) at(pass, InputEvent::KeyChange(kLeftControl, true));
        if (pass % 250 == 5) at(pass, InputEvent::KeyChange(kLeftControl, false));
    }
    at(passes, InputEvent::WindowEvent({platform::MessageType::Close}));
    return drive;
}

// The game folder with the recording.
class GameFolder {
public:
    GameFolder() {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        const std::vector<uint8_t> drive = platform::EncodeInputRecording(MakeDrive());
        m_folder.Write("drive.rec", std::string(drive.begin(), drive.end()));
        platform::InvalidateListings();
    }
    const fs::path& Path() const { return m_folder.Path(); }

private:
    testsupport::WorkingFolder m_folder;
};

// Keeps the level at its busiest (see the top of the file).
class Load {
public:
    void Update() {
        CPLevel* level = GetLevel();
        AI_Task* ai = GetAITask();
        CPWeaponsSystem* weapons = GetWeaponsSystem();
        if (!level || level->GetState() != LevelState::Running || !level->playerCar || !ai || !weapons) return;
        CPGameData* data = GetGameData();
        data->playerDamageFactor = 0.0f;
        data->enemyHealthFactor = 1000.0f;
        const PVector3 car = level->playerCar->GetPosition();
        for (size_t live = ai->Manager().Entities().size(); live < kMissionEnemies; ++live) {
            const float angle = 0.35f * static_cast<float>(m_spawns++);
            ai->AddEnemy(kEnemyKinds[m_spawns % kEnemyKinds.size()], car.x + 40.0f * std::cos(angle),
                         car.y + 40.0f * std::sin(angle));
        }
        for (size_t live = weapons->GetLiveObjects().size(); live < kWeaponObjects; ++live) {
            const float angle = 0.7f * static_cast<float>(m_shots++);
            const PVector3 from{car.x + 25.0f * std::cos(angle), car.y + 25.0f * std::sin(angle), car.z + 3.0f};
            weapons->Spawn(kWeaponKinds[m_shots % kWeaponKinds.size()], from,
                           {std::cos(angle + 2.0f), std::sin(angle + 2.0f), 0.1f}, -1.0f, nullptr, nullptr, false);
        }
    }

    bool Complete() const {
        const AI_Task* ai = GetAITask();
        const CPWeaponsSystem* weapons = GetWeaponsSystem();
        return ai && weapons && ai->Manager().Entities().size() >= kMissionEnemies &&
               weapons->GetLiveObjects().size() >= kWeaponObjects;
    }

    size_t LiveParticles() const {
        size_t count = 0;
        if (CPParticlesManager* manager = GetParticlesManager()) {
            for (const auto& effect : manager->GetLiveEffects()) count += static_cast<size_t>(effect->ParticleCount());
        }
        return count;
    }

private:
    static constexpr std::array<const char*, 3> kEnemyKinds{"walker", "scav", "bomber"};
    static constexpr std::array<const char*, 4> kWeaponKinds{"trasser11", "trasser21", "srocket1", "srocket2"};
    uint32_t m_spawns = 0;
    uint32_t m_shots = 0;
};

enum Part { kLevel, kPhysics, kAi, kWeapons, kParticles, kInterface, kScripts, kOther, kRender, kLoad, kParts };
constexpr std::array<const char*, kParts> kPartNames{"level_ms",     "physics_ms", "ai_ms",    "weapons_ms",
                                                     "particles_ms", "interface_ms", "scripts_ms", "other_ms",
                                                     "render_ms",    "load"};

// Times the tasks of the steady frames and counts the allocations of their passes.
class FrameMeter : public IPTaskObserver {
public:
    explicit FrameMeter(Load& load, const IPTask& loadTask) : m_load(load), m_loadTask(loadTask) {}

    void PassStarting() override {
        m_measuring = m_load.Complete() && m_frames < kWarmUpFrames + kMeasuredFrames;
        if (!m_measuring) return;
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(m_frames >= kWarmUpFrames);
    }
    void TaskStarting(const IPTask& task) override {
        if (!m_measuring) return;
        if (&task == &m_loadTask) testsupport::SetCountingAllocations(false);
        if (m_frames < kWarmUpFrames) CountScriptAllocations(task);
        m_taskStart = ThreadSeconds();
    }
    void TaskFinished(const IPTask& task) override {
        if (!m_measuring) return;
        if (m_frames >= kWarmUpFrames) seconds[PartOf(task)] += ThreadSeconds() - m_taskStart;
        if (&task == &m_loadTask) testsupport::SetCountingAllocations(m_frames >= kWarmUpFrames);
    }
    void PassFinished() override {
        if (!m_measuring) return;
        testsupport::SetCountingAllocations(false);
        if (m_frames++ < kWarmUpFrames) return;
        allocations += testsupport::CountedAllocations();
        if (m_frames == kWarmUpFrames + kMeasuredFrames) StopCountingScripts();
        enemies += static_cast<double>(GetAITask()->Manager().Entities().size());
        weaponObjects += static_cast<double>(GetWeaponsSystem()->GetLiveObjects().size());
        particles += static_cast<double>(m_load.LiveParticles());
    }

    // Every task's but the renderer's and the load's.
    double EngineSeconds() const {
        double engine = 0.0;
        for (int part = kLevel; part <= kOther; ++part) engine += seconds[part];
        return engine;
    }
    uint32_t MeasuredFrames() const { return m_frames > kWarmUpFrames ? m_frames - kWarmUpFrames : 0; }

    // After a run that ended before the measured frames did: the scripts' states are closed, so
    // their counters are left installed.
    void AbandonScriptCounters() {
        for (auto& counter : m_scriptCounters) static_cast<void>(counter.release());
        m_scriptCounters.clear();
    }

    std::array<double, kParts> seconds{};
    long allocations = 0;
    long scriptAllocations = 0;
    double enemies = 0.0;
    double weaponObjects = 0.0;
    double particles = 0.0;

private:
    // Every script that runs in the warm-up gets its Lua allocations counted.
    void CountScriptAllocations(const IPTask& task) {
        const auto* script = dynamic_cast<const CPLuaScript*>(&task);
        if (!script || !script->GetState()) return;
        for (const auto& counter : m_scriptCounters) {
            if (counter->GetState() == script->GetState()) return;
        }
        m_scriptCounters.push_back(std::make_unique<testsupport::LuaAllocationCounter>(script->GetState()));
    }
    // Before the scripts' states close.
    void StopCountingScripts() {
        for (const auto& counter : m_scriptCounters) scriptAllocations += counter->GetAllocations();
        m_scriptCounters.clear();
    }

    Part PartOf(const IPTask& task) const {
        if (&task == &m_loadTask) return kLoad;
        if (dynamic_cast<const CPRender*>(&task)) return kRender;
        if (dynamic_cast<const CPPhysics*>(&task)) return kPhysics;
        if (dynamic_cast<const AI_Task*>(&task)) return kAi;
        if (dynamic_cast<const CPWeaponsSystem*>(&task)) return kWeapons;
        if (dynamic_cast<const CPParticlesManager*>(&task) || dynamic_cast<const CPParticleSystem*>(&task)) {
            return kParticles;
        }
        if (dynamic_cast<const CPLuaScript*>(&task)) return task.GetType() == 2 ? kInterface : kScripts;
        if (dynamic_cast<const CPObjUpdater*>(&task) && task.GetType() == 1) return kLevel;
        return kOther;
    }

    Load& m_load;
    const IPTask& m_loadTask;
    bool m_measuring = false;
    uint32_t m_frames = 0;
    double m_taskStart = 0.0;
    std::vector<std::unique_ptr<testsupport::LuaAllocationCounter>> m_scriptCounters;
};

void BusiestMission(benchmark::State& state) {
    GameFolder folder;
    fs::current_path(folder.Path());
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("VX_MUSIC_SINK", "fakesink sync=false", 0);
    setenv("VX_MEDIA_SILENT", "1", 0);
    setenv("VX_NO_EXIT_ACTIONS", "1", 0);
    setenv("VX_LEVEL", "level3", 1);
    setenv("VX_REPLAY", "drive.rec", 1);
    setenv("VX_FRAMES", std::to_string(kWarmUpFrames + kMeasuredFrames + kLoadingFrames).c_str(), 1);
    platform::GetMessageQueue().Clear();

    Load load;
    TPtr<CPObjUpdater> loadTask(new CPObjUpdater(&load, &Load::Update));
    loadTask->SetPriority(kLoadPriority);
    FrameMeter meter(load, *loadTask);
    for (auto _ : state) {
        CPApplication application;
        application.Init();
        GetKernel()->AddTask(loadTask);
        SetTaskObserver(&meter);
        const int result = application.Run();
        SetTaskObserver(nullptr);
        meter.AbandonScriptCounters();
        if (result != 0) state.SkipWithError(("the game failed: " + application.StartFailure()).c_str());
        state.SetIterationTime(meter.MeasuredFrames() ? meter.EngineSeconds() / meter.MeasuredFrames() : 0.0);
    }
    unsetenv("VX_LEVEL");
    unsetenv("VX_REPLAY");
    unsetenv("VX_FRAMES");
    const double frames = meter.MeasuredFrames();
    if (frames < kMeasuredFrames) {
        state.SkipWithError("the mission ended before the frames were measured");
        return;
    }
    for (int part = kLevel; part <= kOther; ++part) state.counters[kPartNames[part]] = meter.seconds[part] * 1000.0 / frames;
    state.counters["engine_ms"] = meter.EngineSeconds() * 1000.0 / frames;
    state.counters["render_ms"] = meter.seconds[kRender] * 1000.0 / frames;
    state.counters["allocations"] = static_cast<double>(meter.allocations) / frames;
    state.counters["script_allocations"] = static_cast<double>(meter.scriptAllocations) / frames;
    state.counters["enemies"] = meter.enemies / frames;
    state.counters["weapon_objects"] = meter.weaponObjects / frames;
    state.counters["particles"] = meter.particles / frames;
}
BENCHMARK(BusiestMission)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
