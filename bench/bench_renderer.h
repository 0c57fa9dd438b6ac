#pragma once
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench_window.h"
#include "Render/PMaterialManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/ViewCamera.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "core/PPack.h"
#include "support/AllocationCounter.h"

// The engine around a started renderer on a 640 × 480 bench window, run in the game data folder
// given (its packs mounted): the kernel, the material manager, the renderer and a camera looking
// from eye at target on one layer. Declare it first in a scene, so that the scene's objects go
// before the renderer stops.
class BenchRenderer {
public:
    BenchRenderer(const char* folder, const char* title, const PVector3& eye, const PVector3& target, int32_t layer) {
        std::filesystem::current_path(folder);
        MountPacks();
        m_window = OpenBenchWindow(title, 640, 480);
        if (!m_window) return;
        m_kernel = std::make_unique<CPKernel>();
        m_kernel->SetWindow(m_window.get());
        m_materials = std::make_unique<CPMaterialManager>();
        m_render = new CPRender;
        if (!m_render->Start()) return;
        TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
        camera->SetEye(eye);
        camera->SetTarget(target);
        camera->SetUp({0.0f, 0.0f, 1.0f});
        camera->SetFieldOfView(0.9f);
        camera->SetNearClip(1.0f);
        camera->SetFarClip(200.0f);
        camera->UpdateMatrices();
        SetViewCamera(camera);
        m_render->SetLayerCamera(layer, camera);
    }

    ~BenchRenderer() {
        SetViewCamera(nullptr);
        if (m_render) m_render->Stop();
        m_render = nullptr;
        CollectGarbage();
        m_materials.reset();
        m_kernel.reset();
        CollectGarbage();
    }

    BenchRenderer(const BenchRenderer&) = delete;
    BenchRenderer& operator=(const BenchRenderer&) = delete;

    bool Ready() const { return m_render && m_render->GetDevice(); }
    CPRender& Render() { return *m_render; }

private:
    std::unique_ptr<platform::Window> m_window;
    std::unique_ptr<CPKernel> m_kernel;
    std::unique_ptr<CPMaterialManager> m_materials;
    TPtr<CPRender> m_render;
};

// Sums over a benchmark's frames: the seconds and heap allocations of the scene's own work, the
// renderer's seconds, and the allocations of whole frames.
struct BenchFrameSums {
    double workSeconds = 0.0;
    double rendererSeconds = 0.0;
    long workAllocations = 0;
    long frameAllocations = 0;
};

// Runs the benchmark's frames: work (returning its seconds), then the renderer's update; each
// frame's time is the two together (manual timing).
template <class Work>
BenchFrameSums MeasureFrames(benchmark::State& state, CPRender& render, Work work) {
    BenchFrameSums sums;
    for (auto _ : state) {
        testsupport::ResetCountedAllocations();
        testsupport::SetCountingAllocations(true);
        const double seconds = work();
        sums.workAllocations += testsupport::CountedAllocations();
        render.Update();
        testsupport::SetCountingAllocations(false);
        sums.frameAllocations += testsupport::CountedAllocations();
        sums.workSeconds += seconds;
        sums.rendererSeconds += render.GetFrameSeconds();
        state.SetIterationTime(seconds + render.GetFrameSeconds());
    }
    return sums;
}
