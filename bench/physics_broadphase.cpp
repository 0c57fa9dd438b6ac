// The broad phase of a level-sized world: 500 rigid and 1,000 animated boxes spread over a
// 120 × 120 × 12 field, with 10 % of them (picked at random) moving a little every step.
//
// BM_SweepAndPrune times the world-box update of the moved bodies and the broad phase's update
// (re-sorting the three axes, toggling pairs, keeping the overlap list). BM_BruteForce times the
// same world-box update and an O(n²) overlap check of every pair into a list. Both report µs per
// step; counters: overlapping pairs, and for sweep and prune the endpoint swaps per step.
// BM_CreateSimulator times creating and destroying a simulator of the game's sizes, whose pair
// tables take 21 MB: with the default allocator (pages that read as zero until touched) and with
// an allocator that fills the tables with zeros as it hands them out.
//
// Run: build/bench/bench/bench_physics_broadphase
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "physics/engine/PhysicsSimulator.h"

namespace {

constexpr int kRigid = 500;
constexpr int kAnimated = 1000;
constexpr int kMovingPerStep = (kRigid + kAnimated) / 10;

PhysicsSizeInfo GameSizes()
{
    PhysicsSizeInfo sizes;
    sizes.rigidBodiesCount = kRigid;
    sizes.animatedBodyCount = kAnimated;
    sizes.rigidParticleCount = 1000;
    sizes.constraintSetsCount = 500;
    sizes.pairBufferCount = 2000;
    sizes.geometriesCount = 2000;
    return sizes;
}

struct World {
    PhysicsSimulator* simulator = nullptr;
    std::vector<PhysicsBody*> bodies;
    std::mt19937 random{2026};

    World()
    {
        const PhysicsSizeInfo sizes = GameSizes();
        const PhysicsVector gravity{0, 0, 0, 0};
        simulator = PhysicsSimulator::Create(&sizes, nullptr, &gravity);
        std::uniform_real_distribution<float> across(0.0f, 120.0f), up(0.0f, 12.0f), size(0.5f, 2.5f);
        for (int i = 0; i < kRigid + kAnimated; ++i) {
            PhysicsBody* body = i < kRigid ? static_cast<PhysicsBody*>(simulator->CreateRigidBody())
                                           : static_cast<PhysicsBody*>(simulator->CreateAnimatedBody());
            body->AddGeometry()->SetBox(size(random), size(random), size(random));
            body->UpdateBoundingInfo();
            body->transform.position = {across(random), across(random), up(random), 1};
            body->UpdateWorldBox();
            bodies.push_back(body);
        }
        simulator->Region().Update();
    }
    ~World() { PhysicsSimulator::Destroy(simulator); }

    // Moves a tenth of the bodies by up to 0.15 in each direction and refreshes their world boxes.
    void MoveSome()
    {
        std::uniform_int_distribution<std::size_t> pick(0, bodies.size() - 1);
        std::uniform_real_distribution<float> nudge(-0.15f, 0.15f);
        for (int i = 0; i < kMovingPerStep; ++i) {
            PhysicsBody* body = bodies[pick(random)];
            body->transform.position += PhysicsVector{nudge(random), nudge(random), nudge(random), 0};
            body->UpdateWorldBox();
        }
    }
};

bool Overlap(const PhysicsBody& a, const PhysicsBody& b)
{
    return a.worldMin.x < b.worldMax.x && a.worldMax.x > b.worldMin.x && a.worldMin.y < b.worldMax.y &&
           a.worldMax.y > b.worldMin.y && a.worldMin.z < b.worldMax.z && a.worldMax.z > b.worldMin.z;
}

void BM_SweepAndPrune(benchmark::State& state)
{
    World world;
    int64_t swaps = 0;
    for (auto _ : state) {
        world.MoveSome();
        world.simulator->Region().Update();
        swaps += world.simulator->Region().LastSortSwaps();
    }
    state.counters["pairs"] = world.simulator->Region().Overlaps().count;
    state.counters["swaps/step"] = benchmark::Counter(static_cast<double>(swaps), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SweepAndPrune)->Unit(benchmark::kMicrosecond);

void BM_BruteForce(benchmark::State& state)
{
    World world;
    std::vector<std::pair<PhysicsBody*, PhysicsBody*>> pairs;
    pairs.reserve(100000);
    for (auto _ : state) {
        world.MoveSome();
        pairs.clear();
        const std::size_t n = world.bodies.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = i + 1; j < n; ++j)
                if (Overlap(*world.bodies[i], *world.bodies[j])) pairs.emplace_back(world.bodies[i], world.bodies[j]);
        benchmark::DoNotOptimize(pairs.data());
    }
    state.counters["pairs"] = static_cast<double>(pairs.size());
}
BENCHMARK(BM_BruteForce)->Unit(benchmark::kMicrosecond);

// The heap without zero pages: zeroed memory is filled as it is handed out.
class FillingAllocator final : public PhysicsAllocator {
public:
    void* Alloc(std::size_t size, std::size_t alignment) override
    {
        void* memory = nullptr;
        return posix_memalign(&memory, std::max(alignment, alignof(std::max_align_t)), size) == 0 ? memory : nullptr;
    }
    void Free(void* memory) override { std::free(memory); }
};

void BM_CreateSimulator(benchmark::State& state)
{
    FillingAllocator filling;
    PhysicsAllocator* allocator = state.range(0) ? &filling : nullptr;
    const PhysicsSizeInfo sizes = GameSizes();
    const PhysicsVector gravity{0, 0, -25.8f, 0};
    for (auto _ : state) {
        PhysicsSimulator* simulator = PhysicsSimulator::Create(&sizes, allocator, &gravity);
        benchmark::DoNotOptimize(simulator);
        PhysicsSimulator::Destroy(simulator);
    }
    state.SetLabel(state.range(0) ? "tables filled" : "zero pages");
}
BENCHMARK(BM_CreateSimulator)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
