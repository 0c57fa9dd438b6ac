#include "core/PGlobalTimer.h"

#include <cstdlib>

#include "platform/Clock.h"
#include "platform/InputTape.h"

namespace {

// The frame time VX_FRAME_TIME gives, or 0 when it gives none.
float FixedFrameTime() {
    const char* text = std::getenv("VX_FRAME_TIME");
    const float seconds = text ? std::strtof(text, nullptr) : 0.0f;
    return seconds > 0.0f && seconds < 1.0f ? seconds : 0.0f;
}

}  // namespace

float g_frameDelta = 0.0f;
double g_totalTime = 0.0;
int32_t g_frameCounter = 0;
float g_timeScale = 1.0f;

int64_t CPGlobalTimer::ReadNow() const {
    const platform::IClock& clock = platform::GetClock();
    return m_highResolution ? clock.Counter() : static_cast<int64_t>(clock.Milliseconds());
}

bool CPGlobalTimer::Start() {
    if (!m_started) {
        g_frameCounter = 0;
        g_totalTime = 0.0;
    }
    m_started = true;
    m_fixedFrameTime = FixedFrameTime();
    const platform::IClock& clock = platform::GetClock();
    m_highResolution = clock.HasCounter() && clock.CounterFrequency() > 0;
    if (m_highResolution) m_frequency = clock.CounterFrequency();
    m_last = ReadNow();
    g_frameDelta = 0.0f;
    m_stopped = false;
    return IPTask::Start();
}

void CPGlobalTimer::Update() {
    ++g_frameCounter;
    const int64_t now = ReadNow();
    // A replay plays the recorded frame lengths; a recording keeps the measured ones.
    const float delta = platform::GetInputTape().FrameTime(MeasureDelta(now));
    m_last = now;
    g_frameDelta = delta * g_timeScale;
    g_totalTime += g_frameDelta;
}

float CPGlobalTimer::MeasureDelta(int64_t now) const {
    if (m_fixedFrameTime > 0.0f) return m_fixedFrameTime;
    if (m_highResolution) {
        return static_cast<float>(static_cast<double>(now - m_last) / static_cast<double>(m_frequency));
    }
    // The millisecond count wraps after 49 days; unsigned subtraction measures across the wrap.
    return static_cast<float>(static_cast<uint32_t>(now - m_last) * 0.001);
}

void CPGlobalTimer::OnResume() { m_last = ReadNow(); }

void CPGlobalTimer::Stop() {
    IPTask::Stop();
    m_stopped = true;
}
