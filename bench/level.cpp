// A level of 200 x 200 units with 2,000 objects (1,800 static boxes, 200 crates the level parks):
//
// Load: CPLevel::Load as a whole (file, objects, fog border, 400 terrain tiles, level tree, car,
//   navigation grid of 100 x 100 cells), with the object loader reading warm files; without a
//   physics world, so the simulator's creation is not in it.
// PhysicsInit: CPPhysics::Init on the level's terrain quad alone, the part of a load left out above.
// Ray/Tree and Ray/Scan: one 40-unit segment through the level, by the level tree and by a scan
//   of the level's static objects. Sphere/Tree and Sphere/Scan: one sphere of radius 5 the same.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>

#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRayQuery.h"
#include "Render/PRenderObject.h"
#include "core/PFileWriter.h"
#include "core/PMMObject.h"
#include "game/LevelFile.h"
#include "game/PLevel.h"
#include "game/PLevelBranch.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr float kHalfSize = 100.0f;
constexpr int kStatics = 1800;
constexpr int kCrates = 200;

// The sample data's meshes and a level file of the benchmark's level, in a fresh folder.
class LevelFolder {
public:
    LevelFolder()
    {
        fs::create_directories(m_folder.Path() / "data");
        fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "meshes", m_folder.Path() / "data" / "meshes",
                 fs::copy_options::recursive);
        SPLevelFile level;
        level.halfWidth = level.halfDepth = kHalfSize;
        level.lightCount = 1;
        level.light.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
        std::mt19937 random(7);
        std::uniform_real_distribution<float> place(-kHalfSize + 5.0f, kHalfSize - 5.0f);
        for (int i = 0; i < kStatics + kCrates; ++i) {
            level.records.push_back({i < kStatics ? "box" : "crate", {place(random), place(random), 0.8f},
                                     {0.0f, 0.0f, 0.0f, 1.0f}, {}});
        }
        level.records.push_back({"player", {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}});
        const std::vector<uint8_t> bytes = WriteLevelFile(level);
        m_folder.Write("data/levels/bench.lvl", std::string(bytes.begin(), bytes.end()));
        platform::InvalidateListings();
    }

private:
    testsupport::WorkingFolder m_folder;
};

void Load(benchmark::State& state)
{
    LevelFolder folder;
    CPObjectLoader loader;
    TPtr<AI_Task> ai(new AI_Task);
    { CPLevel warmUp; warmUp.Load("bench"); }
    CollectGarbage();
    for (auto _ : state) {
        auto level = std::make_unique<CPLevel>();
        if (!level->Load("bench")) state.SkipWithError("the level did not load");
        state.PauseTiming();
        level.reset();
        CollectGarbage();
        state.ResumeTiming();
    }
    ai = nullptr;
    CollectGarbage();
}
BENCHMARK(Load)->Unit(benchmark::kMillisecond)->Iterations(10);

void PhysicsInit(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TPtr<CPPhysics> physics(new CPPhysics);
        TPtr<CPGameObject> terrain(new CPGameObject("terrain"));
        TPtr<CPRenderObject> quad(new CPRenderObject(terrain.Get()));
        std::vector<SPVertex> vertices(4, SPVertex{});
        vertices[0].position = {-kHalfSize, -kHalfSize, 0.0f};
        vertices[1].position = {kHalfSize, -kHalfSize, 0.0f};
        vertices[2].position = {kHalfSize, kHalfSize, 0.0f};
        vertices[3].position = {-kHalfSize, kHalfSize, 0.0f};
        quad->SetGeometry(std::move(vertices), std::vector<uint16_t>{0, 1, 2, 0, 2, 3});
        terrain->SetAttachment(CPGameObject::kMesh, quad);
        terrain->UpdateTransform();
        physics->AddTerrainObject(quad);
        state.ResumeTiming();
        physics->Init();
        state.PauseTiming();
        physics->Stop();
        physics = nullptr;
        terrain = nullptr;
        quad = nullptr;
        CollectGarbage();
        state.ResumeTiming();
    }
}
BENCHMARK(PhysicsInit)->Unit(benchmark::kMillisecond)->Iterations(10);

// The loaded level and the static objects of its tree, for the query benchmarks.
class LoadedLevel {
public:
    LoadedLevel() : m_ai(new AI_Task)
    {
        m_level.Load("bench");
        Collect(*m_level.tree);
    }
    ~LoadedLevel()
    {
        m_statics.clear();
        m_ai = nullptr;
    }

    CPLevelBranch& Tree() { return *m_level.tree; }
    const std::vector<TPtr<CPGameObject>>& Statics() const { return m_statics; }

private:
    void Collect(const CPLevelBranch& node)
    {
        if (!node.IsLeaf()) {
            Collect(*node.GetFirst());
            Collect(*node.GetSecond());
            return;
        }
        m_statics.insert(m_statics.end(), node.GetObjects().begin(), node.GetObjects().end());
    }

    LevelFolder m_folder;
    CPObjectLoader m_loader;
    TPtr<AI_Task> m_ai;
    CPLevel m_level;
    std::vector<TPtr<CPGameObject>> m_statics;
};

SPRayQuery Segment(std::mt19937& random)
{
    std::uniform_real_distribution<float> place(-kHalfSize, kHalfSize), angle(0.0f, 6.2831853f);
    SPRayQuery query;
    query.origin = {place(random), place(random), 0.5f};
    const float a = angle(random);
    query.direction = {std::cos(a), std::sin(a), 0.0f};
    query.distance = 40.0f;
    return query;
}

void Ray(benchmark::State& state)
{
    LoadedLevel level;
    std::mt19937 random(3);
    const bool byTree = state.range(0) != 0;
    int64_t hits = 0;
    for (auto _ : state) {
        SPRayQuery query = Segment(random);
        bool hit = false;
        if (byTree) {
            hit = level.Tree().CrossRay(query);
        } else {
            for (const TPtr<CPGameObject>& object : level.Statics()) hit = object->RayHit(query) || hit;
        }
        hits += hit;
    }
    state.counters["hit share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    state.SetLabel(byTree ? "tree" : "scan");
}
BENCHMARK(Ray)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void Sphere(benchmark::State& state)
{
    LoadedLevel level;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-kHalfSize, kHalfSize);
    const bool byTree = state.range(0) != 0;
    std::vector<TPtr<CPGameObject>> found;
    found.reserve(64);
    for (auto _ : state) {
        found.clear();
        const PVector3 centre{place(random), place(random), 0.5f};
        if (byTree) {
            level.Tree().QuerySphere(centre, 5.0f, found);
        } else {
            for (const TPtr<CPGameObject>& object : level.Statics()) {
                if (object->GetPartBounds().IntersectsSphere(centre, 5.0f)) found.push_back(object);
            }
        }
        benchmark::DoNotOptimize(found.data());
    }
    state.SetLabel(byTree ? "tree" : "scan");
}
BENCHMARK(Sphere)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
