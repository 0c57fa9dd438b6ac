#include "platform/Clock.h"

#include <ctime>

namespace platform {
namespace {

constexpr int64_t kNanosecondsPerSecond = 1'000'000'000;

// CLOCK_MONOTONIC in nanoseconds: never jumps when the wall clock is set.
class MonotonicClock final : public IClock {
public:
    bool HasCounter() const override { return true; }
    int64_t Counter() const override {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return int64_t(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
    }
    int64_t CounterFrequency() const override { return kNanosecondsPerSecond; }
    // Wraps around after about 49.7 days, as the millisecond clock it stands in for.
    uint32_t Milliseconds() const override { return uint32_t(Counter() / 1'000'000); }
};

MonotonicClock systemClock;
IClock* currentClock = &systemClock;

}  // namespace

IClock& GetClock() { return *currentClock; }

void SetClock(IClock* clock) { currentClock = clock ? clock : &systemClock; }

}  // namespace platform
