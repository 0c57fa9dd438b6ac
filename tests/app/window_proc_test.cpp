// The game window's procedure driven with platform messages through the kernel's main loop.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "Render/PRender.h"
#include "app/WindowProc.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/WindowMessage.h"
#include "platform/gfx/Device.h"

namespace {

using platform::MessageType;
using platform::WindowMessage;

// A clock that moves only when the test moves it (milliseconds).
class FakeClock : public platform::IClock {
public:
    bool HasCounter() const override { return true; }
    int64_t Counter() const override { return now; }
    int64_t CounterFrequency() const override { return 1000; }
    uint32_t Milliseconds() const override { return static_cast<uint32_t>(now); }
    int64_t now = 0;
};

// Notes each Update (with the pass number and the frame delta it sees) and each Stop.
class ProbeTask : public IPTask {
public:
    ProbeTask(std::string name, int32_t priority, std::string& trace) : m_name(std::move(name)), m_trace(trace) {
        SetPriority(priority);
    }
    void Update() override { updates.push_back({pass, g_frameDelta}); }
    void Stop() override {
        IPTask::Stop();
        m_trace += m_name + ".stop ";
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "ProbeTask"; }

    struct Seen {
        int pass;
        float delta;
    };
    std::vector<Seen> updates;
    int pass = 0;

private:
    std::string m_name;
    std::string& m_trace;
};

// A kernel with the frame timer, two probes, the renderer in a small window and the game's window
// procedure. Each pass advances the clock by 16 ms and posts the messages scripted for it; the
// loop ends with a Close.
class WindowProcTest : public ::testing::Test {
protected:
    static constexpr int64_t kFrameMs = 16;

    void SetUp() override {
        platform::SetClock(&m_clock);
        platform::GetMessageQueue().Clear();
        g_windowActive = true;
        g_shutdown = false;
        m_kernel = new CPKernel;
        m_kernel->SetWindowProcedure(WindowProc);
        m_kernel->SetEventPump([this] { Pump(); });
        std::string error;
        m_window = platform::Window::Create({"test", 64, 48}, error);
        ASSERT_NE(m_window, nullptr) << error;
        m_kernel->SetWindow(m_window.get());
        m_render = new CPRender;
        m_render->SetPriority(10000);
        ASSERT_TRUE(m_kernel->AddTask(m_render));
        m_timer = new CPGlobalTimer;
        m_timer->SetPriority(10);
        m_kernel->AddTask(m_timer);
        m_early = new ProbeTask("early", 20, m_trace);
        m_late = new ProbeTask("late", 50, m_trace);
        m_kernel->AddTask(m_early);
        m_kernel->AddTask(m_late);
    }

    void TearDown() override {
        m_early.Reset();
        m_late.Reset();
        m_timer.Reset();
        m_render.Reset();
        delete m_kernel;
        CollectGarbage();
        m_window.reset();
        platform::GetMessageQueue().Clear();
        platform::SetClock(nullptr);
        g_windowActive = true;
        g_shutdown = false;
    }

    void Pump() {
        ++m_pass;
        m_early->pass = m_late->pass = m_pass;
        m_clock.now += kFrameMs;
        deltaAtPassStart[m_pass] = g_frameDelta;
        resetAtPassStart[m_pass] = m_render->GetDevice() && DeviceWasReset();
        for (const WindowMessage& message : messages[m_pass]) platform::GetMessageQueue().Post(message);
    }

    std::vector<int> PassesSeen() const {
        std::vector<int> passes;
        for (const ProbeTask::Seen& seen : m_late->updates) passes.push_back(seen.pass);
        return passes;
    }

    // A state the engine never sets, which a device reset puts back to its default.
    void DisturbDevice() { m_render->GetDevice()->SetRenderState(platform::gfx::RenderState::CullMode, platform::gfx::CullMode::None); }
    bool DeviceWasReset() const {
        return m_render->GetDevice()->GetRenderState(platform::gfx::RenderState::CullMode) ==
               static_cast<uint32_t>(platform::gfx::CullMode::CCW);
    }

    bool TimerSuspended() const {
        for (const TPtr<IPTask>& task : m_kernel->GetSuspendedTasks()) {
            if (task == m_timer) return true;
        }
        return false;
    }

    // Messages posted at the start of a pass (passes count from 1).
    std::map<int, std::vector<WindowMessage>> messages;
    std::map<int, float> deltaAtPassStart;
    std::map<int, bool> resetAtPassStart;

    FakeClock m_clock;
    std::unique_ptr<platform::Window> m_window;
    CPKernel* m_kernel = nullptr;
    TPtr<CPRender> m_render;
    TPtr<CPGlobalTimer> m_timer;
    TPtr<ProbeTask> m_early;
    TPtr<ProbeTask> m_late;
    std::string m_trace;
    int m_pass = 0;
};

TEST_F(WindowProcTest, MinimisedNoTaskRunsAndTheDeltaStaysZeroRestoredTimeGoesOnWithoutAJump) {
    messages[3] = {{MessageType::Size, platform::SizeMinimized}};
    messages[7] = {{MessageType::Size, platform::SizeRestored, 640, 480}};
    messages[10] = {{MessageType::Close}};
    DisturbDevice();

    m_kernel->Run();

    EXPECT_EQ(PassesSeen(), (std::vector<int>{1, 2, 7, 8, 9, 10}));
    for (int pass : {4, 5, 6, 7}) EXPECT_EQ(deltaAtPassStart[pass], 0.0f) << "pass " << pass;
    EXPECT_FALSE(resetAtPassStart[7]);
    EXPECT_TRUE(resetAtPassStart[8]) << "restoring resets the device";
    const std::vector<ProbeTask::Seen>& seen = m_late->updates;
    EXPECT_FLOAT_EQ(seen[1].delta, 0.016f);
    EXPECT_EQ(seen[2].delta, 0.0f) << "the first frame after restoring measures from the restore";
    EXPECT_FLOAT_EQ(seen[3].delta, 0.016f);
}

TEST_F(WindowProcTest, HiddenSuspendsLikeMinimised) {
    messages[2] = {{MessageType::Size, platform::SizeHidden}};
    messages[4] = {{MessageType::Close}};
    m_kernel->Run();
    EXPECT_EQ(PassesSeen(), (std::vector<int>{1}));
}

TEST_F(WindowProcTest, ClosingEndsTheRunWithEveryTaskStoppedInPriorityOrder) {
    messages[3] = {{MessageType::Close}};
    EXPECT_EQ(m_kernel->Run(), 0);
    EXPECT_EQ(PassesSeen(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(m_trace, "early.stop late.stop ");
    EXPECT_TRUE(m_kernel->GetActiveTasks().empty());
    EXPECT_TRUE(m_timer->IsStopped());
}

// Focus changes: only losing the focus suspends; gaining it by any means (a click included)
// resumes the timer, resets the device and makes the window active.
struct Activation {
    int32_t kind;
    bool active;
};

void PrintTo(const Activation& activation, std::ostream* out) {
    *out << "kind " << activation.kind << (activation.active ? " activates" : " deactivates");
}

class ActivationTest : public WindowProcTest, public ::testing::WithParamInterface<Activation> {};

TEST_P(ActivationTest, SetsTheActiveFlagAndTheTimer) {
    WindowProc({MessageType::Activate, platform::ActivateInactive});
    ASSERT_FALSE(g_windowActive);
    ASSERT_TRUE(TimerSuspended());
    DisturbDevice();

    WindowProc({MessageType::Activate, GetParam().kind});

    EXPECT_EQ(g_windowActive, GetParam().active);
    EXPECT_EQ(TimerSuspended(), !GetParam().active);
    EXPECT_EQ(DeviceWasReset(), GetParam().active);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ActivationTest,
                         ::testing::Values(Activation{platform::ActivateInactive, false},
                                           Activation{platform::ActivateActive, true},
                                           Activation{platform::ActivateClick, true}));

TEST_F(WindowProcTest, ActivationAfterTheApplicationIsGoneChangesNothing) {
    g_shutdown = true;
    WindowProc({MessageType::Activate, platform::ActivateInactive});
    EXPECT_TRUE(g_windowActive);
    EXPECT_FALSE(TimerSuspended());
}

}  // namespace
