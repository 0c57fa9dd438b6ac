#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "platform/Clock.h"
#include "platform/WindowMessage.h"

namespace {

// A clock that moves only when the test says so: a counter of 1,000,000 per second and a
// millisecond count.
class FakeClock : public platform::IClock {
public:
    bool HasCounter() const override { return hasCounter; }
    int64_t Counter() const override { return counter; }
    int64_t CounterFrequency() const override { return 1'000'000; }
    uint32_t Milliseconds() const override { return milliseconds; }

    void Advance(double seconds) {
        counter += static_cast<int64_t>(seconds * 1'000'000.0);
        milliseconds += static_cast<uint32_t>(seconds * 1000.0 + 0.5);
    }

    bool hasCounter = true;
    int64_t counter = 5'000'000;
    uint32_t milliseconds = 5000;
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&m_clock);
        g_frameDelta = 0.0f;
        g_totalTime = 0.0;
        g_frameCounter = 0;
        g_timeScale = 1.0f;
    }
    void TearDown() override {
        m_timer.Reset();
        CollectGarbage();
        platform::SetClock(nullptr);
        g_timeScale = 1.0f;
    }

    // Advances the clock and runs one update.
    void Frame(double seconds) {
        m_clock.Advance(seconds);
        m_timer->Update();
    }

    FakeClock m_clock;
    TPtr<CPGlobalTimer> m_timer{new CPGlobalTimer};
};

TEST_F(TimerTest, FirstUpdateMeasuresFromStart) {
    g_frameDelta = 0.5f;
    m_clock.Advance(3.0);  // before the start: not counted
    ASSERT_TRUE(m_timer->Start());
    EXPECT_EQ(g_frameDelta, 0.0f);
    EXPECT_FALSE(m_timer->IsStopped());

    Frame(0.02);
    EXPECT_FLOAT_EQ(g_frameDelta, 0.02f);
    EXPECT_DOUBLE_EQ(g_totalTime, static_cast<double>(0.02f));
    EXPECT_EQ(g_frameCounter, 1);
}

TEST_F(TimerTest, TimeScaleScalesDeltaAndTotalButNotTheCounter) {
    m_timer->Start();
    g_timeScale = 0.5f;
    Frame(0.04);
    Frame(0.04);
    EXPECT_FLOAT_EQ(g_frameDelta, 0.02f);
    EXPECT_NEAR(g_totalTime, 0.04, 1e-7);
    EXPECT_EQ(g_frameCounter, 2);
}

TEST_F(TimerTest, StopAndStartKeepTheTotalsAndRestartTheMeasurement) {
    m_timer->Start();
    Frame(0.1);
    Frame(0.1);
    m_timer->Stop();
    EXPECT_TRUE(m_timer->IsStopped());
    EXPECT_TRUE(m_timer->IsKilled());
    EXPECT_FALSE(m_timer->IsRunning());
    const double total = g_totalTime;

    m_clock.Advance(30.0);  // paused
    ASSERT_TRUE(m_timer->Start());
    EXPECT_FALSE(m_timer->IsStopped());
    EXPECT_EQ(g_frameCounter, 2);
    EXPECT_EQ(g_totalTime, total);
    EXPECT_EQ(g_frameDelta, 0.0f);

    Frame(0.05);
    EXPECT_FLOAT_EQ(g_frameDelta, 0.05f);
    EXPECT_EQ(g_frameCounter, 3);
}

TEST_F(TimerTest, MillisecondClockWithoutCounter) {
    struct Case {
        uint32_t start;
        double seconds;
        float expected;
    };
    const Case cases[] = {
        {5000, 0.016, 0.016f},
        {0xFFFFFFF0u, 0.032, 0.032f},  // across the wrap of the millisecond count
    };
    m_clock.hasCounter = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        m_clock.milliseconds = c.start;
        m_timer->Stop();
        m_timer->Start();
        EXPECT_FALSE(m_timer->IsHighResolution());
        Frame(c.seconds);
        EXPECT_FLOAT_EQ(g_frameDelta, c.expected);
    }
}

// The millisecond difference is turned into seconds in double precision and only then stored as
// a float, so a whole number of milliseconds gives the float nearest to it.
TEST_F(TimerTest, MillisecondDeltaIsTheNearestFloat) {
    m_clock.hasCounter = false;
    m_timer->Start();
    for (uint32_t milliseconds : {5u, 7u, 16u, 33u, 100u, 1234u}) {
        SCOPED_TRACE(milliseconds);
        m_clock.milliseconds += milliseconds;
        m_timer->Update();
        EXPECT_EQ(g_frameDelta, static_cast<float>(milliseconds * 0.001));
    }
}

// The timer as the game runs it: first task of every pass, suspended by the window procedure.
class TimerInKernelTest : public TimerTest {
protected:
    void SetUp() override {
        TimerTest::SetUp();
        platform::GetMessageQueue().Clear();
        m_timer->SetPriority(10);
        ASSERT_TRUE(m_kernel.AddTask(m_timer));
    }
    void TearDown() override {
        platform::GetMessageQueue().Clear();
        TimerTest::TearDown();
    }

    CPKernel m_kernel;
};

class ScriptTask : public IPTask {
public:
    explicit ScriptTask(std::function<void(int)> update) : m_update(std::move(update)) { SetPriority(20); }
    void Update() override { m_update(++m_passes); }
    int32_t GetType() const override { return 2; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "ScriptTask"; }

private:
    std::function<void(int)> m_update;
    int m_passes = 0;
};

TEST_F(TimerInKernelTest, LongSuspensionDoesNotJumpTheClock) {
    m_clock.Advance(0.01);
    m_kernel.SuspendTask(m_timer);
    m_clock.Advance(10.0);
    m_kernel.ResumeTask(m_timer);
    m_clock.Advance(0.016);

    float measured = -1.0f;
    m_kernel.AddTask(TPtr<IPTask>(new ScriptTask([&](int) {
        measured = g_frameDelta;
        m_kernel.KillAllTasks();
    })));
    m_kernel.Run();
    EXPECT_FLOAT_EQ(measured, 0.016f);
}

TEST_F(TimerInKernelTest, RestartingWithinAPassNeverRunsItTwice) {
    std::vector<int32_t> counters;
    m_kernel.AddTask(TPtr<IPTask>(new ScriptTask([&](int pass) {
        counters.push_back(g_frameCounter);
        if (pass == 2) {
            // StopGlobalTimer and StartGlobalTimer from one script update.
            m_timer->Stop();
            g_frameDelta = 0.0f;
            m_kernel.AddTask(m_timer);
        }
        if (pass == 4) m_kernel.KillAllTasks();
    })));
    m_kernel.Run();
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 2, 3, 4}));
}

}  // namespace
