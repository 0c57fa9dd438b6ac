// The level-1 super weapon fired again and again from a player's car on an empty level: twelve
// rings of 24 homing tracers (288 a launch) over two seconds of 50 frames a second, each tracer
// flying its range and shortening to its end, then the next launch. Only the weapons work is
// timed (no renderer).
//
// Counters, after three launches have warmed the pools: allocs (heap allocations per frame of
// the weapons work; the goal is 0), busiest_ms (the CPU time of the slowest frame), live_peak
// (the most live objects in a frame).
//
// Run it e.g.: build/rel/bench/bench_super_weapon
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "core/PGlobalTimer.h"
#include "game/PLevel.h"
#include "platform/Clock.h"
#include "Render/PGameObject.h"
#include "support/AllocationCounter.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr float kFrameDelta = 0.02f;

const char* const kDefinitions =
    "super2 super2 none;none\n"
    "trasser15_1 trasser player;160;12;0.12;particle_spark.tga;particle_add.fx;23;none;6;-1;none\n";

class SuperWeaponScene {
public:
    SuperWeaponScene() {
        m_level.playerCar = new CPGameObject("PLAYER");
        m_weapons = new CPWeaponsSystem;
        m_weapons->LoadDefinitions(kDefinitions, static_cast<int32_t>(std::char_traits<char>::length(kDefinitions)));
    }
    ~SuperWeaponScene() {
        m_weapons->Clear();
        m_weapons = nullptr;
        g_frameDelta = 0.0f;
    }

    // One frame: the weapons' update, and a new launch once nothing is live any more.
    void Frame() {
        if (m_weapons->GetLiveObjects().empty()) {
            m_weapons->Spawn("super2", {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, -1.0f, nullptr, nullptr, false);
        }
        g_frameDelta = kFrameDelta;
        m_weapons->Update();
    }
    int Live() const { return static_cast<int>(m_weapons->GetLiveObjects().size()); }

private:
    CPLevel m_level;
    TPtr<CPWeaponsSystem> m_weapons;
};

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

void SuperWeapon(benchmark::State& state) {
    SuperWeaponScene scene;
    // Three launches (each about two seconds and the tracers' flight after it).
    for (int frame = 0; frame < 400; ++frame) scene.Frame();
    double busiest = 0.0;
    long allocations = 0;
    int livePeak = 0;
    for (auto _ : state) {
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(true);
        const int64_t start = platform::GetClock().Counter();
        scene.Frame();
        const double seconds = Seconds(platform::GetClock().Counter() - start);
        testsupport::SetCountingAllocations(false);
        allocations += testsupport::CountedAllocations();
        busiest = std::max(busiest, seconds);
        livePeak = std::max(livePeak, scene.Live());
        state.SetIterationTime(seconds);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs"] = static_cast<double>(allocations) / frames;
    state.counters["busiest_ms"] = busiest * 1000.0;
    state.counters["live_peak"] = livePeak;
}

BENCHMARK(SuperWeapon)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace
