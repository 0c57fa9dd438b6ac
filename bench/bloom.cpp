// Bloom's CPU cost per frame: Prepare and Apply on a 640 × 480 back buffer (the copy into the
// small image, both effect passes and the full-screen add). The GPU's own work is not measured:
// the calls only queue it. Counter bloom_ms is the CPU time of Prepare + Apply per frame.
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_bloom
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Render/Bloom.h"
#include "core/PPack.h"
#include "platform/Clock.h"
#include "bench_window.h"
#include "platform/gfx/Device.h"

namespace {

void BloomPrepareAndApply(benchmark::State& state) {
    std::filesystem::current_path(VX_SAMPLE_DATA);
    MountPacks();
    std::unique_ptr<platform::Window> window = OpenBenchWindow("bloom", 640, 480);
    std::string error;
    std::unique_ptr<platform::gfx::Device> device = window ? platform::gfx::Device::Create(*window, error) : nullptr;
    CPBloom bloom;
    if (!device || !bloom.Init(device.get()) || !bloom.IsReady()) {
        state.SkipWithError(("no bloom: " + error).c_str());
        return;
    }
    const platform::IClock& clock = platform::GetClock();
    double seconds = 0.0;
    for (auto _ : state) {
        device->Clear(platform::gfx::ClearTarget | platform::gfx::ClearZBuffer, 0xFF202020u, 1.0f);
        const int64_t start = clock.Counter();
        bloom.Prepare();
        bloom.Apply();
        const double elapsed =
            static_cast<double>(clock.Counter() - start) / static_cast<double>(clock.CounterFrequency());
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        device->Present();
    }
    state.counters["bloom_ms"] = benchmark::Counter(seconds * 1000.0 / static_cast<double>(state.iterations()));
    bloom.Release();
}

BENCHMARK(BloomPrepareAndApply)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
