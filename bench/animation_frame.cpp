// One frame of animated models: 200 vertex-animated objects (8 frames of 500 triangles each) and
// 200 parts turned by their part animations are advanced and handed to the render block, then
// the renderer queues and draws them.
//
// The time reported per frame is the CPU time of the part animations' updates and the handing
// over plus the renderer's update up to presenting (the driver's swap is left out: manual
// timing). Counters: the two parts of the time and the heap allocations per frame in steady
// state, in the part animations and handing over (advance_allocs) and in the whole frame
// (frame_allocs).
//
// Run it headless, e.g.: xvfb-run -a build/bench/bench/bench_animation_frame
#include <benchmark/benchmark.h>

#include "bench_renderer.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "Render/ModelFile.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Render/PAnimationCache.h"
#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PPartAnimation.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "Render/ViewCamera.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PPack.h"
#include "platform/Clock.h"
#include "support/AllocationCounter.h"

namespace {

constexpr int kAnimated = 200;
constexpr int kParts = 200;
constexpr int kFrames = 8;
constexpr int kTriangles = 500;
constexpr int32_t kLayer = 20;
constexpr float kFrameDelta = 1.0f / 60.0f;

double Seconds(int64_t counts) {
    return static_cast<double>(counts) / static_cast<double>(platform::GetClock().CounterFrequency());
}

// A strip of kTriangles triangles whose height waves with the frame number.
modelfile::SPAnimationBlock WavingStrip() {
    modelfile::SPAnimationBlock block;
    block.frameTimeTicks = 240.0f;
    block.frames.resize(kFrames);
    for (int f = 0; f < kFrames; ++f) {
        modelfile::SPFrameRecord& frame = block.frames[static_cast<size_t>(f)];
        for (int i = 0; i < kTriangles / 2 + 1; ++i) {
            for (int side = 0; side < 2; ++side) {
                SPVertex vertex{};
                vertex.position = {i * 0.01f, side * 0.2f, 0.1f * std::sin(i * 0.1f + f)};
                vertex.normal = {0.0f, 0.0f, 1.0f};
                vertex.diffuse = 0xFFFFFFFFu;
                frame.vertices.push_back(vertex);
            }
        }
        for (int t = 0; t < kTriangles; ++t) {
            for (int corner = 0; corner < 3; ++corner) frame.indices.push_back(static_cast<uint16_t>(t + corner));
        }
    }
    return block;
}

std::vector<PMatrix> TurnKeys() {
    std::vector<PMatrix> keys;
    for (int k = 0; k <= 9; ++k) keys.push_back(MatrixRotationZ(std::min(k, 8) * 0.785398f));
    return keys;
}

class AnimationScene {
public:
    AnimationScene() : m_engine(VX_SAMPLE_DATA, "animation frame", {0.0f, -30.0f, 12.0f}, {0.0f, 0.0f, 0.0f}, kLayer) {
        if (!m_engine.Ready()) return;
        m_material = GetMaterialManager()->GetMaterial(kLayer, "sample_mesh.fx", {"sample_checker.tga"});
        BuildAnimated();
        BuildParts();
    }

    bool Ready() const { return m_engine.Ready(); }
    CPRender& Render() { return m_engine.Render(); }

    // The part animations' updates and the handing over of one frame; returns its seconds.
    double Advance() {
        const int64_t start = platform::GetClock().Counter();
        g_frameDelta = kFrameDelta;
        g_totalTime += kFrameDelta;
        for (const TPtr<CPPartAnimation>& part : m_parts) part->Update();
        const TPtr<CPRenderBlock> block = Render().GetRenderBlock();
        for (const TPtr<CPGameObject>& object : m_objects) block->AddObjectTree(object);
        return Seconds(platform::GetClock().Counter() - start);
    }

private:
    void BuildAnimated() {
        const modelfile::SPAnimationBlock block = WavingStrip();
        const TPtr<CPAnimation> animation = m_cache->GetAnimation("strip&bench", block, 1.0f);
        for (int i = 0; i < kAnimated; ++i) {
            TPtr<CPGameObject> object(new CPGameObject("strip"));
            object->SetPosition({static_cast<float>(i % 20) * 2.0f - 20.0f, static_cast<float>(i / 20) * 2.0f - 10.0f, 0.0f});
            TPtr<CPAnimatedObject> animated(new CPAnimatedObject(object.Get()));
            animated->SetType(CPRenderObjectBase::Animated);
            animated->SetMaterial(m_material);
            animated->AddAnimation("wave", animation);
            object->SetAttachment(CPGameObject::kAnimated, animated);
            object->UpdateTransform();
            m_objects.push_back(object);
        }
    }

    void BuildParts() {
        std::vector<SPVertex> vertices(4);
        for (int i = 0; i < 4; ++i) vertices[static_cast<size_t>(i)].position = {i % 2 * 1.0f, i / 2 * 0.2f, 0.0f};
        const std::vector<uint16_t> indices = {0, 1, 2, 2, 1, 3};
        SPMeshBuffers* buffers = Render().GetMeshBuffers("bench_blade", vertices.data(), indices.data(), 4, 6);
        const std::vector<PMatrix> keys = TurnKeys();
        const std::vector<float> durations(keys.size(), 0.125f);
        for (int i = 0; i < kParts; ++i) {
            TPtr<CPGameObject> post(new CPGameObject("post"));
            post->SetPosition({static_cast<float>(i % 20) * 2.0f - 20.0f, static_cast<float>(i / 20) * 2.0f + 12.0f, 0.0f});
            TPtr<CPGameObject> blade(new CPGameObject("blade"));
            TPtr<CPRenderObject> mesh(new CPRenderObject(blade.Get()));
            mesh->SetType(CPRenderObjectBase::Static);
            mesh->SetMeshBuffers("bench_blade", buffers);
            mesh->SetMaterial(m_material);
            blade->SetAttachment(CPGameObject::kMesh, mesh);
            post->AddChild(blade);
            TPtr<CPPartAnimation> turn(new CPPartAnimation);
            turn->SetKeys(keys, durations);
            turn->SetTarget(blade.Get());
            blade->AddPartAnimation("idle", turn);
            post->UpdateTransform();
            m_parts.push_back(turn);
            m_objects.push_back(post);
        }
    }

    BenchRenderer m_engine;
    std::unique_ptr<CPAnimationCache> m_cache = std::make_unique<CPAnimationCache>();
    TPtr<CPMaterial> m_material;
    std::vector<TPtr<CPGameObject>> m_objects;
    std::vector<TPtr<CPPartAnimation>> m_parts;
};

void AnimationFrame(benchmark::State& state) {
    AnimationScene scene;
    if (!scene.Ready()) {
        state.SkipWithError("the renderer could not start");
        return;
    }
    // The first frames fill the caches and the ring, and let the driver build what it needs.
    for (int frame = 0; frame < 100; ++frame) {
        scene.Advance();
        scene.Render().Update();
    }
    const BenchFrameSums sums = MeasureFrames(state, scene.Render(), [&] { return scene.Advance(); });
    const double frames = static_cast<double>(state.iterations());
    state.counters["advance_ms"] = sums.workSeconds * 1000.0 / frames;
    state.counters["renderer_ms"] = sums.rendererSeconds * 1000.0 / frames;
    state.counters["advance_allocs"] = static_cast<double>(sums.workAllocations) / frames;
    state.counters["frame_allocs"] = static_cast<double>(sums.frameAllocations) / frames;
}

BENCHMARK(AnimationFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
