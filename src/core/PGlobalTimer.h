#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

// The frame clock, the only clock the simulation reads. Written by CPGlobalTimer once per pass;
// other code only ever sets g_frameDelta to 0.
extern float g_frameDelta;     // seconds of the last frame, already multiplied by g_timeScale
extern double g_totalTime;     // seconds, the sum of every frame delta since the timer's first start
extern int32_t g_frameCounter; // timer updates since the timer's first start
extern float g_timeScale;      // multiplies every measured delta; 1 by default

// The frame timer: a system task (priority 10, the first of every pass) that measures the time
// since its previous update and publishes the frame clock. Stopping it pauses the game: it leaves
// the kernel, the delta stays 0 and physics and AI skip their work while IsStopped is true.
// With the environment variable VX_FRAME_TIME set to a positive number of seconds every frame
// lasts exactly that long, so that a run shows the same frames each time (the tests use it).
// An input replay (platform/InputTape.h) gives every frame the length it had when recorded.
class CPGlobalTimer : public IPTask, public TSingleton<CPGlobalTimer> {
public:
    CPGlobalTimer() = default;

    // Restarts the measurement; the first start also clears the total time and frame counter.
    bool Start() override;
    void Update() override;
    // Measures from now on, so the time spent suspended is not counted.
    void OnResume() override;
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPGlobalTimer"; }

    bool IsStopped() const { return m_stopped; }
    // Whether the timer measures with the high-resolution counter (else in milliseconds).
    bool IsHighResolution() const { return m_highResolution; }

private:
    int64_t ReadNow() const;
    // The measured seconds since the last update, or the fixed frame time when one is set.
    float MeasureDelta(int64_t now) const;

    float m_fixedFrameTime = 0.0f;
    bool m_highResolution = true;
    int64_t m_frequency = 0;
    int64_t m_last = 0;
    bool m_started = false;
    bool m_stopped = false;
};

// The frame timer, null before its construction and after its destruction.
inline CPGlobalTimer* GetGlobalTimer() { return CPGlobalTimer::Instance(); }
