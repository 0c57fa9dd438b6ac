#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

class FixedClock : public platform::IClock {
public:
    bool HasCounter() const override { return false; }
    int64_t Counter() const override { return 0; }
    int64_t CounterFrequency() const override { return 0; }
    uint32_t Milliseconds() const override { return 1234; }
};

TEST(Clock, SystemClockIsMonotonicInNanoseconds) {
    const platform::IClock& clock = platform::GetClock();
    ASSERT_TRUE(clock.HasCounter());
    EXPECT_EQ(clock.CounterFrequency(), 1'000'000'000);

    const int64_t startCounter = clock.Counter();
    const uint32_t startMs = clock.Milliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const int64_t elapsedNs = clock.Counter() - startCounter;
    const uint32_t elapsedMs = clock.Milliseconds() - startMs;

    EXPECT_GE(elapsedNs, 30'000'000);
    EXPECT_LT(elapsedNs, 5'000'000'000);
    // Both readings come from the same clock: they agree to within a millisecond or two.
    EXPECT_NEAR(double(elapsedMs), double(elapsedNs) / 1e6, 2.0);
}

TEST(Clock, TestsCanReplaceTheClockAndRestoreTheSystemOne) {
    platform::IClock& system = platform::GetClock();
    FixedClock fixed;
    platform::SetClock(&fixed);
    EXPECT_EQ(&platform::GetClock(), &fixed);
    EXPECT_EQ(platform::GetClock().Milliseconds(), 1234u);
    platform::SetClock(nullptr);
    EXPECT_EQ(&platform::GetClock(), &system);
}

}  // namespace
