// A busy weapons frame: 300 live weapon objects (100 tracers, 75 seeking rockets, 50 lobbed
// rockets and 75 explosions with their flash sprites, glow and light) flying over an empty level
// from random points, kept at that count by spawning from the pools as they finish. Each frame
// the weapons task updates them and hands the live ones to the render block; the renderer then
// streams, queues and draws them.
//
// Counters: update_ms (the weapons task's update and the spawns that refill it), renderer_ms,
// live objects, and the heap allocations per frame of the weapons work (weapons_allocs) and of
// the whole frame (frame_allocs). Debris is not part of the mix: it needs models with physics
// data and a running physics world, which the physics benchmarks measure.
//
// Run it headless, e.g.: xvfb-run -a build/rel/bench/bench_weapons
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "bench_renderer.h"
#include "core/PGlobalTimer.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "Render/PRender.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr int32_t kLayer = 22;
constexpr float kFrameDelta = 0.02f;

const char* const kDefinitions =
    "tracer trasser player;50;5;0.1;particle_flame.tga;particle_add.fx;22;none;10;40;none\n"
    "seeker s_rocket none;player;60;7;boom;none;1;1;0.1;0.5;none\n"
    "lobbed rocket none;player;30;7;boom;none;1;1;0.1;0.5;none\n"
    "boom s_explosion particle_flame.tga;;particle_flame.tga;1;2;3;4;2;16;4;3;0.5;1;1,0.6,0.3;b;0;c;0;m;none\n";

struct SPMix {
    std::string name;
    int count;
};

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

float Random(float range) {
    return (static_cast<float>(platform::Rand()) / platform::kRandMax - 0.5f) * 2.0f * range;
}

class WeaponsScene {
public:
    WeaponsScene() : m_renderer(VX_SAMPLE_DATA, "weapons", {0.0f, -60.0f, 40.0f}, {0.0f, 0.0f, 0.0f}, kLayer) {
        if (!m_renderer.Ready()) return;
        platform::Srand(7);
        m_weapons = new CPWeaponsSystem;
        m_weapons->LoadDefinitions(kDefinitions, static_cast<int32_t>(std::char_traits<char>::length(kDefinitions)));
        m_ready = true;
    }

    ~WeaponsScene() {
        if (m_weapons) m_weapons->Clear();
        m_weapons = nullptr;
    }

    bool Ready() const { return m_ready && m_renderer.Ready(); }
    CPRender& Render() { return m_renderer.Render(); }
    int LiveObjects() const { return static_cast<int>(m_weapons->GetLiveObjects().size()); }

    // The weapons work of one frame; returns its seconds.
    double Update() {
        const int64_t start = platform::GetClock().Counter();
        g_frameDelta = kFrameDelta;
        m_weapons->Update();
        Refill();
        return Seconds(platform::GetClock().Counter() - start);
    }

private:
    void Refill() {
        for (const SPMix& kind : m_mix) {
            int live = 0;
            for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) live += object->GetName() == kind.name;
            for (; live < kind.count; ++live) {
                const PVector3 from{Random(30.0f), Random(30.0f), 3.0f};
                const PVector3 direction{Random(1.0f), Random(1.0f), 0.4f};
                m_weapons->Spawn(kind.name, from, direction, -1.0f, nullptr, nullptr, false);
            }
        }
    }

    BenchRenderer m_renderer;
    TPtr<CPWeaponsSystem> m_weapons;
    const std::array<SPMix, 4> m_mix{{{"tracer", 100}, {"seeker", 75}, {"lobbed", 50}, {"boom", 75}}};
    bool m_ready = false;
};

void Weapons(benchmark::State& state) {
    WeaponsScene scene;
    if (!scene.Ready()) {
        state.SkipWithError("the renderer could not start");
        return;
    }
    // Three seconds of frames: every kind has finished and been respawned from its pool.
    for (int frame = 0; frame < 150; ++frame) {
        scene.Update();
        scene.Render().Update();
    }
    const BenchFrameSums sums = MeasureFrames(state, scene.Render(), [&] { return scene.Update(); });
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_ms"] = sums.workSeconds * 1000.0 / frames;
    state.counters["renderer_ms"] = sums.rendererSeconds * 1000.0 / frames;
    state.counters["live"] = scene.LiveObjects();
    state.counters["weapons_allocs"] = static_cast<double>(sums.workAllocations) / frames;
    state.counters["frame_allocs"] = static_cast<double>(sums.frameAllocations) / frames;
}

BENCHMARK(Weapons)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
