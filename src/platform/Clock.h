#pragma once
#include <cstdint>

namespace platform {

// The clock the frame timer reads: a high-resolution counter and a millisecond count, both
// monotonic. Tests install their own clock with SetClock.
class IClock {
public:
    virtual ~IClock() = default;
    // False when no high-resolution counter is available (the timer then uses Milliseconds).
    virtual bool HasCounter() const = 0;
    virtual int64_t Counter() const = 0;
    virtual int64_t CounterFrequency() const = 0;
    virtual uint32_t Milliseconds() const = 0;
};

// The current clock: the monotonic system clock unless a test replaced it.
IClock& GetClock();
// Replaces the clock; null restores the system clock. The caller keeps ownership.
void SetClock(IClock* clock);

}  // namespace platform
