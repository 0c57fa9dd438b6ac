#include "physics/engine/PhysicsPerfTimers.h"

#include <algorithm>
#include <chrono>

namespace {

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void PhysicsPerfTimers::Calibrate()
{
    int64_t smallest = 200;
    for (int i = 0; i < 20; ++i) {
        const int64_t a = Now();
        const int64_t b = Now();
        smallest = std::min(smallest, b - a);
    }
    overhead = std::max<int64_t>(smallest, 0);
}

void PhysicsPerfTimers::Reset()
{
    std::fill(std::begin(accumulator), std::end(accumulator), 0.0f);
    Mark();
}

void PhysicsPerfTimers::Mark() { previous = Now(); }

void PhysicsPerfTimers::Measure(int32_t phase)
{
    const int64_t now = Now();
    const int64_t elapsed = std::max<int64_t>(now - previous - overhead, 0);
    accumulator[phase] += static_cast<float>(static_cast<double>(elapsed) * 1e-9);
    previous = now;
}

float PhysicsPerfTimers::Total() const
{
    float total = 0.0f;
    for (float value : accumulator) total += value;
    return total;
}
