// A busy frame of particles: 20 particle systems keep 2,000 particles alive in 20 effect
// templates (about 100 each), and 200 ground spots lie in one spot template. Each frame the
// systems emit, the particle manager updates every live template and hands it to the render
// block, and the renderer streams (fills), queues and draws them.
//
// Counters: update_ms (the systems and the manager's pass), renderer_ms (the renderer's update
// up to presenting: filling the streaming buffers, queueing and drawing), dynamic_draws, live
// particles and spots, and the heap allocations per frame of the particle work
// (particle_allocs) and of the whole frame (frame_allocs). The time reported per frame is
// update_ms + renderer_ms (manual timing, the driver's swap left out).
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_particles
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_renderer.h"
#include "Render/PParticleSystem.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "core/PGlobalTimer.h"
#include "platform/Clock.h"
#include "platform/PathResolver.h"
#include "support/AllocationCounter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEffects = 20;
constexpr int kSpots = 200;
constexpr int32_t kLayer = 20;
constexpr float kFrameDelta = 0.02f;

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

// The sample data in a temporary working folder, with definition files of 20 effects, their 20
// emitters (two particles a frame each, living one second) and a spot template.
fs::path MakeWorkingFolder() {
    const fs::path folder = fs::temp_directory_path() / ("vx_bench_particles_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::copy(VX_SAMPLE_DATA, folder, fs::copy_options::recursive);
    std::ofstream particles(folder / "data" / "particles.dat");
    std::ofstream emitters(folder / "data" / "particlesystems.dat");
    for (int i = 0; i < kEffects; ++i) {
        particles << "effect" << i << " particle_flame.tga particle_add.fx 4 2 1 0 " << i % 3
                  << " 1:1:1:0.8:0.3,0.9:1:0.6:0.2:0.5,0:0.6:0.1:0:0.7\n";
        emitters << "emitter" << i << " effect" << i << " 0.995 0.3 0.2 1 2 40 0 0 1 0 0 -1 0.5 0.5 0\n";
    }
    std::ofstream(folder / "data" / "spots.dat") << "mark spot_scorch.tga particle_blend.fx 4 1 1 0 0\n";
    std::ofstream(folder / "data" / "flames.dat") << "emitter0;0.1;0;0\n";
    return folder;
}

// The working folder of the scene, removed when the scene ends.
class BenchFolder {
public:
    BenchFolder() : m_path(MakeWorkingFolder()) {}
    ~BenchFolder() {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(m_path);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

class ParticleScene {
public:
    ParticleScene() : m_renderer(m_folder.Path().c_str(), "particles", {0.0f, -12.0f, 6.0f}, {0.0f, 0.0f, 1.0f}, kLayer) {
        platform::InvalidateListings();
        if (!m_renderer.Ready()) return;
        m_particles = new CPParticlesManager;
        if (!m_particles->Start()) return;
        for (int i = 0; i < kEffects; ++i) {
            TPtr<CPParticleSystem> system(new CPParticleSystem(nullptr, "emitter" + std::to_string(i)));
            system->SetInterval(kFrameDelta / 2.0f);
            system->Start();
            m_systems.push_back(system);
        }
        SpawnSpots();
        m_ready = true;
    }

    ~ParticleScene() {
        m_systems.clear();
        m_particles = nullptr;
    }

    bool Ready() const { return m_ready && m_renderer.Ready(); }
    CPRender& Render() { return m_renderer.Render(); }

    // The particle work of one frame; returns its seconds.
    double Update() {
        const int64_t start = platform::GetClock().Counter();
        g_frameDelta = kFrameDelta;
        for (const TPtr<CPParticleSystem>& system : m_systems) system->Update();
        m_particles->Update();
        return Seconds(platform::GetClock().Counter() - start);
    }

    int32_t LiveParticles() const {
        int32_t count = 0;
        for (const TPtr<CPParticleRenderObject>& effect : m_particles->GetLiveEffects()) count += effect->ParticleCount();
        return count;
    }

private:
    void SpawnSpots() {
        for (int i = 0; i < kSpots; ++i) {
            CPParticleSpawnInfo spot;
            spot.name = "mark";
            spot.position = {static_cast<float>(i % 20) - 10.0f, static_cast<float>(i / 20) - 5.0f, 0.0f};
            spot.velocity = {static_cast<float>(i % 4), 0.0f, static_cast<float>(i) * 0.3f};
            spot.size = 0.4f;
            spot.life = 1.0e6f;
            m_particles->SpawnEffect(spot);
        }
    }

    BenchFolder m_folder;
    BenchRenderer m_renderer;
    TPtr<CPParticlesManager> m_particles;
    std::vector<TPtr<CPParticleSystem>> m_systems;
    bool m_ready = false;
};

void Particles(benchmark::State& state) {
    ParticleScene scene;
    if (!scene.Ready()) {
        state.SkipWithError("the renderer or the particle manager could not start");
        return;
    }
    // Two seconds of frames: every template reaches its steady count and the ring is warm.
    for (int frame = 0; frame < 100; ++frame) {
        scene.Update();
        scene.Render().Update();
    }
    const BenchFrameSums sums = MeasureFrames(state, scene.Render(), [&] { return scene.Update(); });
    const double frames = static_cast<double>(state.iterations());
    state.counters["update_ms"] = sums.workSeconds * 1000.0 / frames;
    state.counters["renderer_ms"] = sums.rendererSeconds * 1000.0 / frames;
    state.counters["dynamic_draws"] = scene.Render().GetDrawCalls();
    state.counters["live_particles"] = scene.LiveParticles() - kSpots;
    state.counters["particle_allocs"] = static_cast<double>(sums.workAllocations) / frames;
    state.counters["frame_allocs"] = static_cast<double>(sums.frameAllocations) / frames;
}

BENCHMARK(Particles)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
