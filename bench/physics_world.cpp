// The physics world's task per frame: 100 tracked boxes (a 10 × 10 grid, 1.5 apart, so neighbours
// touch) falling onto a terrain tile of 200 triangles, one frame of 1/60 s per iteration (2.5
// steps of 1/150 s at the game's time factor of 1.5), motion copied back into the scene objects.
// The boxes are put back at their start every 30 frames (not timed), so they stay around the
// terrain. Reports µs per frame.
//
// Run: build/bench/bench/bench_physics_world
#include <benchmark/benchmark.h>

#include <vector>

#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"

namespace {

constexpr int kGrid = 10;
constexpr int kTileCells = 10;
constexpr int kFramesPerDrop = 30;

TPtr<CPRenderObject> TerrainTile(CPGameObject& land) {
    TPtr<CPRenderObject> mesh(new CPRenderObject(&land));
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
    for (int y = 0; y <= kTileCells; ++y) {
        for (int x = 0; x <= kTileCells; ++x) {
            SPVertex vertex{};
            vertex.position = {x * 3.0f - 15.0f, y * 3.0f - 15.0f, 0.1f * static_cast<float>((x * y) % 3)};
            vertices.push_back(vertex);
        }
    }
    for (int y = 0; y < kTileCells; ++y) {
        for (int x = 0; x < kTileCells; ++x) {
            const uint16_t a = static_cast<uint16_t>(y * (kTileCells + 1) + x);
            const uint16_t b = static_cast<uint16_t>(a + 1);
            const uint16_t c = static_cast<uint16_t>(a + kTileCells + 1);
            const uint16_t d = static_cast<uint16_t>(c + 1);
            indices.insert(indices.end(), {a, b, d, a, d, c});
        }
    }
    mesh->SetGeometry(std::move(vertices), std::move(indices));
    return mesh;
}

TPtr<CPGameObject> Box(PVector3 position) {
    TPtr<CPGameObject> object(new CPGameObject("crate"));
    TPtr<CPPhysicData> data(new CPPhysicData(object.Get()));
    data->mass = 1.0f;
    data->mainSizes = {1.0f, 1.0f, 1.0f};
    CPPhysicShape shape;
    shape.s0 = shape.s1 = shape.s2 = 1.0f;
    data->shapes.push_back(shape);
    object->SetPhysicData(data);
    object->SetPosition(position);
    return object;
}

PVector3 StartOf(int i) {
    return {(i % kGrid) * 1.5f - 7.0f, (i / kGrid) * 1.5f - 7.0f, 1.0f + 0.1f * static_cast<float>(i % 7)};
}

void BM_PhysicsFrame(benchmark::State& state) {
    TPtr<CPPhysics> physics(new CPPhysics);
    TPtr<CPGameObject> land(new CPGameObject("land"));
    land->UpdateTransform();
    physics->AddTerrainObject(TerrainTile(*land));
    physics->Init();
    std::vector<TPtr<CPGameObject>> boxes;
    for (int i = 0; i < kGrid * kGrid; ++i) {
        boxes.push_back(Box(StartOf(i)));
        boxes.back()->GetPhysicData()->AddToWorld();
        physics->TrackObject(boxes.back());
    }
    g_frameDelta = 1.0f / 60.0f;
    int frame = 0;
    for (auto _ : state) {
        if (++frame % kFramesPerDrop == 0) {
            state.PauseTiming();
            for (int i = 0; i < kGrid * kGrid; ++i) {
                boxes[i]->SetPosition(StartOf(i));
                CPPhysicData& data = *boxes[i]->GetPhysicData();
                data.SetupBody();
                data.rigidBody->SetVelocity({0.0f, 0.0f, 0.0f, 0.0f});
                data.rigidBody->SetAngularMomentum({0.0f, 0.0f, 0.0f, 0.0f});
            }
            state.ResumeTiming();
        }
        physics->Update();
    }
    g_frameDelta = 0.0f;
    state.counters["bodies"] = static_cast<double>(boxes.size());
    physics->Stop();
}
BENCHMARK(BM_PhysicsFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
