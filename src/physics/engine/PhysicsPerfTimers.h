#pragma once
#include <cstdint>

// Time spent in the step's phases, in seconds.
struct PhysicsPerfTimers {
    enum Phase : int32_t {
        kForces = 0,
        kPositions = 1,
        kJointControllers = 2,
        kRowIterations = 3,
        kSolver = 4,
        kBroadPhase = 5,
        kBodyNarrowPhase = 6,
        kTerrainNarrowPhase = 7,
        kTerrainSearch = 8,
        kPhaseCount = 9,
    };

    float accumulator[kPhaseCount] = {};
    int64_t previous = 0;
    int64_t overhead = 0;

    // Measures the cost of reading the clock (the smallest of 20 back-to-back reads).
    void Calibrate();
    // All accumulators 0 and a fresh reference reading.
    void Reset();
    // Adds the time since the previous measurement to one accumulator; the reference moves on.
    void Measure(int32_t phase);
    // Takes a reference reading without adding anything.
    void Mark();
    float Total() const;
};

// The caller's record of a Simulate call: values[0] is the step time (mode 1: of this call;
// otherwise the running average of calls under 100 s); values[1..9] the phase times of the call.
struct PhysicsPerfReport {
    float values[10] = {};
    int32_t mode = 0;
    float runningSum = 0.0f;
    int32_t runningCount = 0;
};
