// Loading a model: an object description of 200 nodes with 250 triangles each (50,000 in all),
// each node with its own material properties, read from a plain mesh file of 1.8 MB.
//
// Cold: the first load, which reads, builds and uploads every node's mesh (a fresh renderer for
// every iteration, its start not timed). Warm: a later load of the same description, whose meshes
// the renderer's mesh cache already holds, so it reads and builds only.
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_object_loader
#include <benchmark/benchmark.h>

#include "bench_window.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Render/ModelFile.h"
#include "Render/PAnimationCache.h"
#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PRender.h"
#include "core/PKernel.h"
#include "core/PPack.h"
#include "platform/PathResolver.h"

namespace {

namespace fs = std::filesystem;

constexpr int kNodes = 200;
constexpr int kColumns = 25;  // quads across a node's grid
constexpr int kRows = 5;      // 25 × 5 quads: 250 triangles
constexpr int32_t kLayerBase = 20;

modelfile::SPMeshNode GridNode(int index) {
    modelfile::SPMeshNode node;
    node.name = "part" + std::to_string(index);
    for (int row = 0; row <= kRows; ++row) {
        for (int column = 0; column <= kColumns; ++column) {
            SPVertex vertex{};
            vertex.position = {static_cast<float>(column) * 0.1f, static_cast<float>(index), static_cast<float>(row) * 0.1f};
            vertex.normal = {0.0f, -1.0f, 0.0f};
            vertex.tex0 = {static_cast<float>(column) / kColumns, static_cast<float>(row) / kRows};
            node.vertices.push_back(vertex);
        }
    }
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const auto corner = static_cast<uint16_t>(row * (kColumns + 1) + column);
            const auto above = static_cast<uint16_t>(corner + kColumns + 1);
            node.indices.insert(node.indices.end(), {corner, above, static_cast<uint16_t>(above + 1), corner,
                                                     static_cast<uint16_t>(above + 1), static_cast<uint16_t>(corner + 1)});
        }
    }
    return node;
}

// A working folder with the sample effects and textures and the benchmark's model.
class LoaderFolder {
public:
    LoaderFolder() : m_path(fs::temp_directory_path() / ("vx_bench_loader_" + std::to_string(getpid()))) {
        fs::create_directories(m_path / "data" / "meshes");
        for (const char* folder : {"effects", "textures"}) {
            fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / folder, m_path / "data" / folder, fs::copy_options::recursive);
        }
        modelfile::SPMeshFile file;
        std::string description = "mesh = bench.msh\n";
        for (int i = 0; i < kNodes; ++i) {
            file.nodes.push_back(GridNode(i));
            description += "[part" + std::to_string(i) + "]\neffectfile = sample_mesh.fx\ntexturefile1 = sample_checker.tga\n";
        }
        const std::vector<uint8_t> bytes = modelfile::WriteMeshFile(file);
        std::ofstream(m_path / "data" / "meshes" / "bench.msh", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        std::ofstream(m_path / "data" / "meshes" / "bench.rdf") << description;
        m_previous = fs::current_path();
        fs::current_path(m_path);
        platform::InvalidateListings();
        MountPacks();
    }
    ~LoaderFolder() {
        fs::current_path(m_previous);
        fs::remove_all(m_path);
    }

private:
    fs::path m_path;
    fs::path m_previous;
};

// The engine around a renderer on a small window: kernel, material manager, animation cache and
// object loader.
class LoaderEngine {
public:
    LoaderEngine() {
        m_window = OpenBenchWindow("object loader", 320, 240);
        if (!m_window) return;
        m_kernel = std::make_unique<CPKernel>();
        m_kernel->SetWindow(m_window.get());
        m_materials = std::make_unique<CPMaterialManager>();
        m_animations = std::make_unique<CPAnimationCache>();
        m_loader = std::make_unique<CPObjectLoader>();
        StartRenderer();
    }
    ~LoaderEngine() {
        StopRenderer();
        m_loader.reset();
        m_animations.reset();
        m_materials.reset();
        m_kernel.reset();
        CollectGarbage();
    }

    bool Ready() const { return m_render && m_render->GetDevice(); }

    // A fresh renderer: an empty mesh cache.
    void StartRenderer() {
        StopRenderer();
        m_render = new CPRender;
        if (!m_render->Start()) m_render = nullptr;
    }

    // Loads the model and checks that every node came.
    bool Load() {
        const TPtr<CPGameObject> root = m_loader->LoadObject("bench.rdf", kLayerBase);
        const bool whole = root && root->GetChildren().size() == kNodes;
        return whole;
    }

private:
    void StopRenderer() {
        CollectGarbage();
        if (m_render) m_render->Stop();
        m_render = nullptr;
        CollectGarbage();
    }

    std::unique_ptr<platform::Window> m_window;
    std::unique_ptr<CPKernel> m_kernel;
    std::unique_ptr<CPMaterialManager> m_materials;
    std::unique_ptr<CPAnimationCache> m_animations;
    std::unique_ptr<CPObjectLoader> m_loader;
    TPtr<CPRender> m_render;
};

void LoadCold(benchmark::State& state) {
    LoaderFolder folder;
    LoaderEngine engine;
    if (!engine.Ready()) return state.SkipWithError("the renderer could not start");
    for (auto _ : state) {
        state.PauseTiming();
        engine.StartRenderer();
        state.ResumeTiming();
        if (!engine.Load()) return state.SkipWithError("the model did not load whole");
        state.PauseTiming();
        CollectGarbage();
        state.ResumeTiming();
    }
    state.counters["triangles"] = kNodes * kColumns * kRows * 2;
}
BENCHMARK(LoadCold)->Unit(benchmark::kMillisecond)->Iterations(10);

void LoadWarm(benchmark::State& state) {
    LoaderFolder folder;
    LoaderEngine engine;
    if (!engine.Ready() || !engine.Load()) return state.SkipWithError("the model did not load");
    for (auto _ : state) {
        if (!engine.Load()) return state.SkipWithError("the model did not load whole");
        state.PauseTiming();
        CollectGarbage();
        state.ResumeTiming();
    }
    state.counters["triangles"] = kNodes * kColumns * kRows * 2;
}
BENCHMARK(LoadWarm)->Unit(benchmark::kMillisecond);

}  // namespace
