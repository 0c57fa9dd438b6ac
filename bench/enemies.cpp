// Enemies: the path search at its worst on a 256 × 256 grid, and 30 enemies thinking, moving and
// fighting on the sample level with the sample kinds and mission.
//
// path_search: a serpentine of walls with one gap each, alternating sides, so the search opens
// most of the grid before it reaches the far corner (ms per search, cells of the path).
// thirty_enemies: physics, the target, the AI task and the weapons task for one frame of 1/60 s
// with 30 walkers and scavs chasing and shooting at the standing car; counters are the CPU ms per
// frame (frame_ms) and the heap allocations per frame of the AI task's update (ai_allocs) and of
// the whole frame (frame_allocs), averaged over the frames measured.
//
// Run it, e.g.: build/rel/bench/bench_enemies
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "AI/AIManager.h"
#include "AI/AI_Task.h"
#include "AI/NavGrid.h"
#include "Render/PObjectLoader.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "platform/Random.h"
#include "support/AllocationCounter.h"
#include "support/WorkingFolder.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr int32_t kGridSize = 256;
constexpr float kFrameDelta = 1.0f / 60.0f;
constexpr int kEnemies = 30;

void PathSearch(benchmark::State& state)
{
    CPNavGrid grid;
    grid.Create(kGridSize, kGridSize, 2.0f);
    // Walls along every fourth row, open at alternate ends.
    for (int32_t row = 2; row < kGridSize - 1; row += 4) {
        const bool openAtStart = (row / 4) % 2 == 1;
        for (int32_t column = 0; column < kGridSize; ++column) {
            const bool gap = openAtStart ? column < 2 : column >= kGridSize - 2;
            if (!gap) grid.SetCell(row, column, 1);
        }
    }
    SPNavPath path;
    int32_t length = 0;
    for (auto _ : state) {
        const int32_t result = grid.FindPath(path, 1, 1, 2 * kGridSize - 1, 2 * kGridSize - 1);
        benchmark::DoNotOptimize(result);
        length = path.length;
    }
    state.counters["path_cells"] = length;
}
BENCHMARK(PathSearch)->Unit(benchmark::kMillisecond);

// The sample level in a copy of the built sample data, with the mission's kinds loaded.
class SampleLevel {
public:
    SampleLevel()
    {
        namespace fs = std::filesystem;
        fs::create_directories(m_folder.Path() / "data");
        for (const char* folder : {"meshes", "levels", "ai"}) {
            fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / folder, m_folder.Path() / "data" / folder,
                     fs::copy_options::recursive);
        }
        fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "ai.dat", m_folder.Path() / "data" / "ai.dat");
        platform::InvalidateListings();
        platform::Srand(11);
        m_physics = new CPPhysics;
        m_ai = new AI_Task;
        m_weapons = new CPWeaponsSystem;
        std::ifstream in(fs::path(VX_SAMPLE_DATA) / "data" / "weapons.dat");
        std::stringstream text;
        text << in.rdbuf();
        const std::string definitions = text.str();
        m_weapons->LoadDefinitions(definitions.data(), static_cast<int32_t>(definitions.size()));
        m_level = std::make_unique<CPLevel>();
        m_ready = m_level->Load("level1");
        m_gameData.LoadMissionInfo("mission1");
        m_gameData.enemyHealthFactor = 1000.0f;  // they stay for the whole run
    }
    ~SampleLevel()
    {
        m_ai->StopLevel();
        m_weapons->Clear();
        m_level.reset();
        m_physics->Stop();
        m_physics = nullptr;
        m_weapons = nullptr;
        m_ai = nullptr;
        CollectGarbage();
    }

    bool Ready() const { return m_ready; }
    AI_Task& Ai() { return *m_ai; }

    // Enemies on a ring around the car, walkers and scavs in turn.
    void SpawnRing(int count)
    {
        for (int i = 0; i < count; ++i) {
            const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(count);
            m_ai->AddEnemy(i % 2 == 0 ? "walker" : "scav", 40.0f * std::cos(angle), 40.0f * std::sin(angle) - 10.0f);
        }
    }

    void Physics() { m_physics->Update(); }
    void Target() { m_ai->UpdateTargetVehicle(*m_level->playerCar, {0.0f, 1.0f, 0.0f}, 0.0f); }
    void Weapons() { m_weapons->Update(); }

private:
    testsupport::WorkingFolder m_folder;
    CPObjectLoader m_loader;
    CPGameData m_gameData;
    TPtr<CPPhysics> m_physics;
    TPtr<AI_Task> m_ai;
    TPtr<CPWeaponsSystem> m_weapons;
    std::unique_ptr<CPLevel> m_level;
    bool m_ready = false;
};

void ThirtyEnemies(benchmark::State& state)
{
    SampleLevel level;
    if (!level.Ready()) {
        state.SkipWithError("the sample level did not load");
        return;
    }
    level.SpawnRing(kEnemies);
    g_frameDelta = kFrameDelta;
    // Let them settle into their pursuit before measuring.
    for (int frame = 0; frame < 120; ++frame) {
        level.Physics();
        level.Target();
        level.Ai().Update();
        level.Weapons();
    }
    int64_t frames = 0;
    int64_t aiAllocations = 0;
    int64_t frameAllocations = 0;
    for (auto _ : state) {
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(true);
        level.Physics();
        level.Target();
        const int before = testsupport::CountedAllocations();
        level.Ai().Update();
        aiAllocations += testsupport::CountedAllocations() - before;
        level.Weapons();
        testsupport::SetCountingAllocations(false);
        frameAllocations += testsupport::CountedAllocations();
        ++frames;
    }
    state.counters["frame_ms"] = benchmark::Counter(static_cast<double>(frames) * 1e-3,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["ai_allocs"] = static_cast<double>(aiAllocations) / static_cast<double>(frames);
    state.counters["frame_allocs"] = static_cast<double>(frameAllocations) / static_cast<double>(frames);
    state.counters["live_enemies"] = static_cast<double>(level.Ai().Manager().Entities().size());
}
BENCHMARK(ThirtyEnemies)->Unit(benchmark::kMillisecond)->Iterations(600);

}  // namespace
