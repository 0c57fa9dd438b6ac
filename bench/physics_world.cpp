// The physics world's task per frame in the sample scene (tests/physics/sample_world_scene.h):
// the sample land, 100 boxes in columns and the player's car driven round a circle; the particle
// manager's update for the car's dust is not timed.
//
// Steady: the boxes have landed and rest, the car drives. Landing: every 60 frames (not timed)
// the boxes are put back just above their columns, so the frames see them fall, hit and settle.
// Time is the task's own CPU time (the thread's clock); the counters give the heap allocations
// and the simulation steps per frame and the bodies awake at the end.
//
// Run: build/bench/bench/bench_physics_world
#include <benchmark/benchmark.h>

#include "physics/sample_world_scene.h"

namespace {

using namespace sampleworld;

// Runs the measured frames; prepare runs before each frame, not timed.
template <class Prepare>
void MeasureFrames(benchmark::State& state, SampleScene& scene, Prepare prepare) {
    long allocations = 0;
    const int32_t firstStep = scene.StepCounter();
    for (auto _ : state) {
        prepare();
        const FrameCost cost = scene.Frame();
        allocations += cost.allocations;
        state.SetIterationTime(cost.cpuSeconds);
    }
    if (!scene.CarOnLand()) state.SkipWithError("the car left the land or turned over: the scene is not the one measured");
    const double frames = static_cast<double>(state.iterations());
    state.counters["allocs_per_frame"] = static_cast<double>(allocations) / frames;
    state.counters["steps_per_frame"] = static_cast<double>(scene.StepCounter() - firstStep) / frames;
    state.counters["awake_boxes"] = scene.AwakeBoxes();
    state.counters["car_speed"] = scene.CarSpeed();
}

void PhysicsFrameSteady(benchmark::State& state) {
    SampleScene scene(VX_SAMPLE_DATA);
    if (!scene.Ready()) return state.SkipWithError("the sample scene could not be built");
    scene.RunSeconds(kSettleSeconds);
    MeasureFrames(state, scene, [] {});
}
BENCHMARK(PhysicsFrameSteady)->UseManualTime()->Unit(benchmark::kMillisecond);

void PhysicsFrameLanding(benchmark::State& state) {
    SampleScene scene(VX_SAMPLE_DATA);
    if (!scene.Ready()) return state.SkipWithError("the sample scene could not be built");
    int frame = 0;
    MeasureFrames(state, scene, [&] {
        if (frame++ % kFramesPerDrop == 0) scene.DropBoxes();
    });
}
BENCHMARK(PhysicsFrameLanding)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
