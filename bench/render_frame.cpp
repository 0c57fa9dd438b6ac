// One frame of a busy scene: 2,000 meshes on 20 materials and 500 sprites are handed to the
// render block, then the renderer streams, queues, draws and presents them.
//
// The time reported per frame is the CPU time of the handing over (the queue) plus the renderer's
// update up to presenting: the driver's swap is left out (manual timing). Counters: the dynamic
// draw calls and triangles of a frame, the objects drawn from prebuilt meshes, and the two parts
// of the time. Argument 0 streams the meshes every frame; 1 draws them from prebuilt buffers.
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_render_frame
#include <benchmark/benchmark.h>

#include "bench_renderer.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/ViewCamera.h"
#include "core/PKernel.h"
#include "core/PPack.h"
#include "core/SettingsVariables.h"
#include "platform/Clock.h"
#include "platform/Window.h"

namespace {

constexpr int kMeshes = 2000;
constexpr int kMaterials = 20;
constexpr int kSprites = 500;
constexpr int32_t kFirstLayer = 20;

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

// A box of side 0.4 with one quad per face.
void BoxGeometry(std::vector<SPVertex>& vertices, std::vector<uint16_t>& indices) {
    const PVector3 faces[6][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    const float half = 0.2f;
    for (const auto& [n, u, v] : faces) {
        const auto first = static_cast<uint16_t>(vertices.size());
        const PVector3 corners[4] = {n - u - v, n + u - v, n + u + v, n - u + v};
        const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
        for (int i = 0; i < 4; ++i) {
            SPVertex vertex{};
            vertex.position = {corners[i].x * half, corners[i].y * half, corners[i].z * half};
            vertex.normal = n;
            vertex.diffuse = 0xFFFFFFFFu;
            vertex.tex0 = {uv[i][0], uv[i][1]};
            vertices.push_back(vertex);
        }
        for (uint16_t corner : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(first + corner));
    }
}

// The engine around a started renderer on a 640 × 480 window, and the scene.
class FrameScene {
public:
    explicit FrameScene(bool prebuilt)
        : m_engine(VX_SAMPLE_DATA, "render frame", {0.0f, -30.0f, 12.0f}, {0.0f, 0.0f, 0.0f}, kFirstLayer) {
        if (!m_engine.Ready()) return;
        BuildMeshes(prebuilt);
        BuildSprites();
    }

    bool Ready() const { return m_engine.Ready(); }
    CPRender& Render() { return m_engine.Render(); }

    // The handing over of one frame; returns its seconds.
    double HandOver() {
        const int64_t start = platform::GetClock().Counter();
        const TPtr<CPRenderBlock> block = Render().GetRenderBlock();
        for (const TPtr<CPGameObject>& object : m_objects) block->AddObjectTree(object);
        return Seconds(platform::GetClock().Counter() - start);
    }

private:
    void BuildMeshes(bool prebuilt) {
        std::vector<SPVertex> vertices;
        std::vector<uint16_t> indices;
        BoxGeometry(vertices, indices);
        SPMeshBuffers* buffers = Render().GetMeshBuffers("bench_box", vertices.data(), indices.data(),
                                                          static_cast<int32_t>(vertices.size()),
                                                          static_cast<int32_t>(indices.size()));
        std::vector<TPtr<CPMaterial>> materials;
        for (int i = 0; i < kMaterials; ++i) {
            materials.push_back(GetMaterialManager()->GetMaterial(kFirstLayer + i, "sample_mesh.fx", {"sample_checker.tga"}));
        }
        for (int i = 0; i < kMeshes; ++i) {
            TPtr<CPGameObject> object(new CPGameObject("box"));
            object->SetPosition({static_cast<float>(i % 50) - 25.0f, static_cast<float>(i / 50) - 20.0f, 0.0f});
            object->UpdateTransform();
            TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
            mesh->SetGeometry(vertices, indices);
            mesh->SetMaterial(materials[static_cast<size_t>(i % kMaterials)]);
            if (prebuilt) {
                mesh->SetType(CPRenderObjectBase::Static);
                mesh->SetMeshBuffers("bench_box", buffers);
                mesh->SetWorld(object->GetWorld());
            }
            object->SetAttachment(CPGameObject::kMesh, mesh);
            m_objects.push_back(object);
        }
    }

    void BuildSprites() {
        TPtr<CPMaterial> material = GetMaterialManager()->GetMaterial(kFirstLayer + kMaterials, "sample_sprite.fx",
                                                                       {"sample_glow.tga"});
        for (int i = 0; i < kSprites; ++i) {
            TPtr<CPGameObject> object(new CPGameObject("glow"));
            object->SetPosition({static_cast<float>(i % 25) * 2.0f - 25.0f, static_cast<float>(i / 25) * 2.0f - 20.0f, 3.0f});
            object->UpdateTransform();
            TPtr<CPSprite> sprite(new CPSprite(0.5f));
            sprite->SetOwner(object.Get());
            sprite->SetMaterial(material);
            object->SetAttachment(CPGameObject::kSprite, sprite);
            m_objects.push_back(object);
        }
    }

    BenchRenderer m_engine;
    std::vector<TPtr<CPGameObject>> m_objects;
};

void RenderFrame(benchmark::State& state) {
    const bool prebuilt = state.range(0) != 0;
    FrameScene scene(prebuilt);
    if (!scene.Ready()) {
        state.SkipWithError("the renderer could not start");
        return;
    }
    // The first frames fill the caches and the ring.
    for (int frame = 0; frame < 3; ++frame) {
        scene.HandOver();
        scene.Render().Update();
    }
    double queueSeconds = 0.0;
    double rendererSeconds = 0.0;
    for (auto _ : state) {
        const double queue = scene.HandOver();
        scene.Render().Update();
        queueSeconds += queue;
        rendererSeconds += scene.Render().GetFrameSeconds();
        state.SetIterationTime(queue + scene.Render().GetFrameSeconds());
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["queue_ms"] = queueSeconds * 1000.0 / frames;
    state.counters["renderer_ms"] = rendererSeconds * 1000.0 / frames;
    state.counters["dynamic_draws"] = scene.Render().GetDrawCalls();
    state.counters["dynamic_triangles"] = scene.Render().GetTrianglesDrawn();
    state.counters["prebuilt_draws"] = prebuilt ? kMeshes : 0;
}

BENCHMARK(RenderFrame)->Arg(0)->Arg(1)->ArgName("prebuilt")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
