// The game's frame at its busiest: the whole program runs in this process on a copy of the
// built game folder, headless, straight into the busiest sample mission (the one whose mission
// file sends the most enemies), driven by an input recording replayed in place of the devices (the
// accelerator and the fire key held, turns, weapon changes by the wheel, mines now and then).
//
// A load task tops the level up every frame: every enemy the mission sends alive at once and 300
// live weapon objects (tracers and seeking rockets of the sample weapons, spawned around the car,
// with the sparks, smoke and explosions they make: thousands of live particles). The car takes no
// damage and is kept at full health, and the enemies have a thousand times their health, so the
// crowd stays: this is a measuring rig, not play. The load task's own work is not measured.
//
// Every measured frame must be played on a live mission (the level running, the car alive): a
// run with a frame that was not, or with fewer measured frames than asked, fails (an error in the
// report and a non-zero exit), so that the bench never reports figures of frames nobody played.
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
// Run it: build/release/bench/bench_game_frame. VX_BENCH_FRAMES=N measures N frames after a
// warm-up of at most N (the test suite's short run checks that the rig still plays).
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "AI/AIManager.h"
#include "AI/AI_Task.h"
#include "Render/PParticleSystem.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "app/Application.h"
#include "app/GameSeed.h"
#include "core/PKernel.h"
#include "core/PObjUpdater.h"
#include "core/TaskObserver.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysics.h"
#include "platform/InputRecording.h"
#include "platform/InputTape.h"
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
constexpr uint32_t kMeasuredFrames = 1000;
constexpr uint32_t kLoadingFrames = 20;  // before the crowd is complete
constexpr size_t kWeaponObjects = 300;
constexpr int32_t kLoadPriority = 9500;  // after every game task, before the renderer

// The frames of a run: VX_BENCH_FRAMES=N measures N frames after a warm-up of at most as many;
// without it the run measures kMeasuredFrames after kWarmUpFrames.
struct RunFrames {
    uint32_t warmUp = kWarmUpFrames;
    uint32_t measured = kMeasuredFrames;
    uint32_t Passes() const { return warmUp + measured + kLoadingFrames; }
};

RunFrames ChosenFrames() {
    RunFrames frames;
    const char* asked = std::getenv("VX_BENCH_FRAMES");
    const long measured = asked ? std::strtol(asked, nullptr, 10) : 0;
    if (measured > 0) {
        frames.measured = static_cast<uint32_t>(measured);
        frames.warmUp = std::min(frames.warmUp, frames.measured);
    }
    return frames;
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The mission the bench plays: its level and the enemies its check points send in all.
struct Mission {
    std::string level;
    size_t enemies = 0;
};

// The enemies a mission file's check points send (the second number of each check point line).
size_t EnemiesSent(const std::string& missionText) {
    std::istringstream lines(missionText);
    size_t enemies = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("//", 0) == 0 || line.empty()) continue;
        if (line.rfind("sources", 0) == 0) break;
        std::istringstream fields(line);
        float seconds = 0.0f;
        size_t sent = 0;
        if (fields >> seconds >> sent) enemies += sent;
    }
    return enemies;
}

// The game script's missions in play order ({ level = "name" }), mission n's rules in
// Data/levels/mission<n>: the one that sends the most enemies (the first of equals).
Mission BusiestMission(const fs::path& game) {
    const std::string script = ReadText(game / "data" / "scripts" / "main.lua");
    const std::regex entry(R"(\{\s*level\s*=\s*"([^"]+)\"\s*\})");
    Mission busiest;
    size_t number = 0;
    for (auto match = std::sregex_iterator(script.begin(), script.end(), entry); match != std::sregex_iterator();
         ++match) {
        const fs::path rules = game / "data" / "levels" / ("mission" + std::to_string(++number));
        const size_t enemies = EnemiesSent(ReadText(rules));
        if (enemies > busiest.enemies) busiest = {(*match)[1].str(), enemies};
    }
    return busiest;
}

// Scan codes of the sample Actions.cfg's keys.
constexpr uint8_t kUp = 0xC8, kLeft = 0xCB, kRight = 0xCD, kSpace = 0x39, kLeftControl = 0x1D;

// The drive: the accelerator and the fire key held throughout; every 3 s a turn of 0.8 s, left
// and right in turn; a wheel notch every 4 s; the mine key every 5 s; every frame 0.02 s long,
// whatever the machine's load. The last pass closes the window, which ends the game.
platform::InputRecording MakeDrive(uint32_t passes) {
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

// The player's car while it is in play, else null.
CPPlayerCar* LiveCar() {
    CPLevel* level = GetLevel();
    CPPlayerCar* car = level && level->GetState() == LevelState::Running ? level->GetPlayerCar() : nullptr;
    return car && !car->dead ? car : nullptr;
}

// Why the frame just played was not one of a live mission; empty when it was.
std::string NotLive() {
    const CPLevel* level = GetLevel();
    if (!level) return "no level";
    if (level->GetState() != LevelState::Running) return "the level is not running";
    const CPPlayerCar* car = level->GetPlayerCar();
    if (!car) return "the level has no car";
    if (car->dead) return "the car is destroyed";
    return {};
}

// Keeps the level at its busiest (see the top of the file).
class Load {
public:
    explicit Load(size_t enemies) : m_enemies(enemies) {}

    void Update() {
        CPPlayerCar* car = LiveCar();
        AI_Task* ai = GetAITask();
        CPWeaponsSystem* weapons = GetWeaponsSystem();
        if (!car || !ai || !weapons) return;
        CPGameData* data = GetGameData();
        data->playerDamageFactor = 0.0f;
        data->enemyHealthFactor = 1000.0f;
        car->health = car->maxHealth;
        const PVector3 at = car->GetPosition();
        for (size_t live = ai->Manager().Entities().size(); live < m_enemies; ++live) {
            const float angle = 0.35f * static_cast<float>(m_spawns++);
            ai->AddEnemy(kEnemyKinds[m_spawns % kEnemyKinds.size()], at.x + 40.0f * std::cos(angle),
                         at.y + 40.0f * std::sin(angle));
        }
        for (size_t live = weapons->GetLiveObjects().size(); live < kWeaponObjects; ++live) {
            const float angle = 0.7f * static_cast<float>(m_shots++);
            const PVector3 from{at.x + 25.0f * std::cos(angle), at.y + 25.0f * std::sin(angle), at.z + 3.0f};
            weapons->Spawn(kWeaponKinds[m_shots % kWeaponKinds.size()], from,
                           {std::cos(angle + 2.0f), std::sin(angle + 2.0f), 0.1f}, -1.0f, nullptr, nullptr, false);
        }
    }

    bool Complete() const {
        const AI_Task* ai = GetAITask();
        const CPWeaponsSystem* weapons = GetWeaponsSystem();
        return ai && weapons && ai->Manager().Entities().size() >= m_enemies &&
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
    size_t m_enemies;
    uint32_t m_spawns = 0;
    uint32_t m_shots = 0;
};

enum Part { kLevel, kPhysics, kAi, kWeapons, kParticles, kInterface, kScripts, kOther, kRender, kLoad, kParts };
constexpr std::array<const char*, kParts> kPartNames{"level_ms",     "physics_ms", "ai_ms",    "weapons_ms",
                                                     "particles_ms", "interface_ms", "scripts_ms", "other_ms",
                                                     "render_ms",    "load"};

// Times the tasks of the steady frames, counts the allocations of their passes and checks that
// each was played on a live mission.
class FrameMeter : public IPTaskObserver {
public:
    FrameMeter(const RunFrames& frames, Load& load, const IPTask& loadTask)
        : m_run(frames), m_load(load), m_loadTask(loadTask) {}

    void PassStarting() override {
        m_measuring = m_load.Complete() && m_frames < m_run.warmUp + m_run.measured;
        if (!m_measuring) return;
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(m_frames >= m_run.warmUp);
    }
    void TaskStarting(const IPTask& task) override {
        if (!m_measuring) return;
        if (&task == &m_loadTask) testsupport::SetCountingAllocations(false);
        if (m_frames < m_run.warmUp) CountScriptAllocations(task);
        m_taskStart = ThreadSeconds();
    }
    void TaskFinished(const IPTask& task) override {
        if (!m_measuring) return;
        if (m_frames >= m_run.warmUp) seconds[PartOf(task)] += ThreadSeconds() - m_taskStart;
        if (&task == &m_loadTask) testsupport::SetCountingAllocations(m_frames >= m_run.warmUp);
    }
    void PassFinished() override {
        if (!m_measuring) return;
        testsupport::SetCountingAllocations(false);
        if (m_frames++ < m_run.warmUp) return;
        allocations += testsupport::CountedAllocations();
        if (m_frames == m_run.warmUp + m_run.measured) StopCountingScripts();
        CheckLive();
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
    uint32_t MeasuredFrames() const { return m_frames > m_run.warmUp ? m_frames - m_run.warmUp : 0; }
    // Why the measured frames cannot be reported; empty when all were played on a live mission.
    std::string Failure() const {
        if (!m_notLive.empty()) return m_notLive;
        if (MeasuredFrames() < m_run.measured) {
            return std::to_string(MeasuredFrames()) + " of " + std::to_string(m_run.measured) +
                   " frames were measured before the game ended";
        }
        return {};
    }

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
    // The first measured frame that was not played on a live mission is kept, with the reason.
    void CheckLive() {
        if (!m_notLive.empty()) return;
        const std::string reason = NotLive();
        if (!reason.empty()) m_notLive = "measured frame " + std::to_string(MeasuredFrames()) + ": " + reason;
    }
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

    RunFrames m_run;
    Load& m_load;
    const IPTask& m_loadTask;
    bool m_measuring = false;
    uint32_t m_frames = 0;
    double m_taskStart = 0.0;
    std::string m_notLive;
    std::vector<std::unique_ptr<testsupport::LuaAllocationCounter>> m_scriptCounters;
};

// A run whose frames cannot be reported; the process exits with a failure.
bool g_failed = false;

void Fail(benchmark::State& state, const std::string& why) {
    g_failed = true;
    std::fprintf(stderr, "bench_game_frame: %s\n", why.c_str());
    state.SkipWithError(why.c_str());
}

void BusiestMissionFrame(benchmark::State& state) {
    const RunFrames frames = ChosenFrames();
    testsupport::WorkingFolder folder;
    testsupport::CopyGameFolder(VX_SAMPLE_DATA, folder.Path());
    platform::InvalidateListings();
    const Mission mission = BusiestMission(folder.Path());
    if (mission.level.empty()) {
        Fail(state, "no mission of the game folder sends enemies");
        return;
    }
    fs::current_path(folder.Path());
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
    setenv("VX_MUSIC_SINK", "fakesink sync=false", 0);
    setenv("VX_MEDIA_SILENT", "1", 0);
    setenv("VX_NO_EXIT_ACTIONS", "1", 0);
    setenv("VX_LEVEL", mission.level.c_str(), 1);
    setenv("VX_FRAMES", std::to_string(frames.Passes()).c_str(), 1);
    platform::GetMessageQueue().Clear();

    Load load(mission.enemies);
    TPtr<CPObjUpdater> loadTask(new CPObjUpdater(&load, &Load::Update));
    loadTask->SetPriority(kLoadPriority);
    FrameMeter meter(frames, load, *loadTask);
    for (auto _ : state) {
        // The drive replays in place of the devices, with its frame times and seed.
        platform::InputRecording drive = MakeDrive(frames.Passes());
        unsigned int seed = 0;
        std::string error;
        if (!SeedGame(drive.seed, seed, error)) Fail(state, error);
        platform::GetInputTape().StartReplay(std::move(drive));
        CPApplication application;
        application.Init();
        GetKernel()->AddTask(loadTask);
        SetTaskObserver(&meter);
        const int result = application.Run();
        SetTaskObserver(nullptr);
        platform::GetInputTape().Stop();
        meter.AbandonScriptCounters();
        if (result != 0) Fail(state, "the game failed: " + application.StartFailure());
        state.SetIterationTime(meter.MeasuredFrames() ? meter.EngineSeconds() / meter.MeasuredFrames() : 0.0);
    }
    unsetenv("VX_LEVEL");
    unsetenv("VX_FRAMES");
    if (const std::string failure = meter.Failure(); !failure.empty()) {
        Fail(state, mission.level + ": " + failure);
        return;
    }
    const double measured = meter.MeasuredFrames();
    for (int part = kLevel; part <= kOther; ++part) {
        state.counters[kPartNames[part]] = meter.seconds[part] * 1000.0 / measured;
    }
    state.counters["engine_ms"] = meter.EngineSeconds() * 1000.0 / measured;
    state.counters["render_ms"] = meter.seconds[kRender] * 1000.0 / measured;
    state.counters["allocations"] = static_cast<double>(meter.allocations) / measured;
    state.counters["script_allocations"] = static_cast<double>(meter.scriptAllocations) / measured;
    state.counters["enemies"] = meter.enemies / measured;
    state.counters["weapon_objects"] = meter.weaponObjects / measured;
    state.counters["particles"] = meter.particles / measured;
    state.SetLabel(mission.level);
}
BENCHMARK(BusiestMissionFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_failed ? 1 : 0;
}
