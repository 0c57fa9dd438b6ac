// One frame of a running level, as the kernel runs it: the level light, physics, the level's
// update (streaming, the car, the camera, the minimap, the listener, check points and what goes
// to the render block); not the renderer's own frame, which runs between the measured frames.
//
// The level: 400 x 400 units, 500 crates scattered over it, the car carried around a circle of
// radius 120 at 30 units per second, so that crates keep leaving and entering the 160-unit area.
//
// NoMenu: no script hears the interface commands. Menu: a running "gamemenu" script that reads
// its commands as the HUD does, and a money income, so the car sends "change_money" with a new
// sum to it every frame; the difference is that command.
// Counters: cpu_ms and heap allocations per frame (the menu script's frame included),
// script_allocations (those of the menu script's Lua state, which allocates from the C heap: the
// allocation counter sees them only in sanitized builds), and the mean count of active crates.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>

#include "AI/AI_Task.h"
#include "Render/PObjectLoader.h"
#include "bench_renderer.h"
#include "core/PGlobalTimer.h"
#include "game/LevelFile.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "script/PScriptManager.h"
#include "support/AllocationCounter.h"
#include "support/LuaAllocationCounter.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr float kHalfSize = 200.0f;
constexpr int kCrates = 500;
constexpr float kFrameDelta = 0.02f;
constexpr float kRadius = 120.0f;
constexpr float kSpeed = 30.0f;
constexpr int kWarmUpFrames = 200;

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The game folder with the benchmark's level, and the scripts of the menu variant.
class LevelFolder {
public:
    LevelFolder() {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        SPLevelFile level;
        level.halfWidth = level.halfDepth = kHalfSize;
        level.lightCount = 1;
        level.light.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
        std::mt19937 random(11);
        std::uniform_real_distribution<float> place(-kHalfSize + 5.0f, kHalfSize - 5.0f);
        for (int i = 0; i < kCrates; ++i) {
            level.records.push_back({"crate", {place(random), place(random), 0.8f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}});
        }
        level.records.push_back({"player", {kRadius, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}});
        const std::vector<uint8_t> bytes = WriteLevelFile(level);
        m_folder.Write("data/levels/bench.lvl", std::string(bytes.begin(), bytes.end()));
        m_folder.Write("data/scripts/list.dat", "gamemenu t_interface\n");
        m_folder.Write("data/scripts/gamemenu.lua",
                       "while true do\n"
                       "  while SetNextCommand(globalObject) do\n"
                       "    local command, money = GetCurrentCommand(globalObject), GetCurrentParams(globalObject)\n"
                       "  end\n"
                       "  Update()\n"
                       "end\n");
        platform::InvalidateListings();
    }
    std::string Path() const { return m_folder.Path().string(); }

private:
    testsupport::WorkingFolder m_folder;
};

class RunningLevel {
public:
    explicit RunningLevel(bool menu)
        : m_renderer(m_folder.Path().c_str(), "level frame", {0.0f, 0.0f, 100.0f}, {0.0f, 0.0f, 0.0f}, 20),
          m_physics(new CPPhysics), m_ai(new AI_Task) {
        if (menu) {
            m_scripts = std::make_unique<CPScriptManager>();
            m_scripts->LoadList();
            m_menu = m_scripts->GetScript("gamemenu");
            if (m_menu) m_menu->Start();
            if (m_menu && m_menu->GetState()) {
                m_menuAllocations = std::make_unique<testsupport::LuaAllocationCounter>(m_menu->GetState());
            }
        }
        m_level = std::make_unique<CPLevel>();
        m_ready = m_renderer.Ready() && m_level->Load("bench") && m_level->GetPlayerCar() && m_level->Start();
        if (m_ready && menu) m_level->GetPlayerCar()->incomeRate = 10.0f;
        for (int frame = 0; frame < kWarmUpFrames && m_ready; ++frame) Frame();
    }
    ~RunningLevel() {
        m_level.reset();
        m_menuAllocations.reset();
        m_menu = nullptr;
        m_scripts.reset();
        m_physics = nullptr;
        m_ai = nullptr;
        CollectGarbage();
    }

    bool Ready() const { return m_ready; }
    CPLevel& Level() { return *m_level; }
    CPRender& Render() { return m_renderer.Render(); }
    int ScriptAllocations() const { return m_menuAllocations ? m_menuAllocations->GetAllocations() : 0; }

    // The level's part of one frame; its thread seconds.
    double Frame() {
        m_angle += kSpeed / kRadius * kFrameDelta;
        CPGameObject& car = *m_level->playerCar;
        car.SetPosition({kRadius * std::cos(m_angle), kRadius * std::sin(m_angle), 1.5f});
        car.UpdateTransform();
        g_frameDelta = kFrameDelta;
        const double start = ThreadSeconds();
        m_level->SubmitLight();
        m_physics->Update();
        m_level->Update();
        const double seconds = ThreadSeconds() - start;
        if (m_menu) m_menu->Update();
        return seconds;
    }

private:
    LevelFolder m_folder;
    BenchRenderer m_renderer;
    CPObjectLoader m_loader;
    CPGameData m_data;
    TPtr<CPPhysics> m_physics;
    TPtr<AI_Task> m_ai;
    std::unique_ptr<CPScriptManager> m_scripts;
    TPtr<CPLuaScript> m_menu;
    std::unique_ptr<testsupport::LuaAllocationCounter> m_menuAllocations;
    std::unique_ptr<CPLevel> m_level;
    float m_angle = 0.0f;
    bool m_ready = false;
};

void LevelFrame(benchmark::State& state, bool menu) {
    RunningLevel level(menu);
    if (!level.Ready()) {
        state.SkipWithError("no level (or no renderer)");
        return;
    }
    double seconds = 0.0;
    long allocations = 0;
    double active = 0.0;
    for (auto _ : state) {
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(true);
        const double frame = level.Frame();
        testsupport::SetCountingAllocations(false);
        allocations += testsupport::CountedAllocations();
        seconds += frame;
        active += static_cast<double>(level.Level().activeObjects.size());
        level.Render().Update();
        state.SetIterationTime(frame);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = seconds * 1000.0 / frames;
    state.counters["allocations"] = static_cast<double>(allocations) / frames;
    state.counters["script_allocations"] = static_cast<double>(level.ScriptAllocations()) / frames;
    state.counters["active"] = active / frames;
}

void NoMenu(benchmark::State& state) { LevelFrame(state, false); }
void Menu(benchmark::State& state) { LevelFrame(state, true); }
BENCHMARK(NoMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);
BENCHMARK(Menu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace
