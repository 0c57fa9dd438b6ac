// Vertex animation: the frame shown over time, passes, loop limits, reports and marks, the
// animation cache and what a reload of a cached animation leaves to the objects drawing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "Render/ModelFile.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Render/PAnimationCache.h"
#include "Render/PAnimationRequest.h"
#include "core/PGlobalTimer.h"
#include "gameobject_fixture.h"
#include "script/ScriptHandles.h"

namespace {

// A block of frameCount frames, each one triangle whose x positions are the frame number.
modelfile::SPAnimationBlock Block(int32_t frameCount, float ticks) {
    modelfile::SPAnimationBlock block;
    block.frameTimeTicks = ticks;
    block.frames.resize(static_cast<size_t>(frameCount));
    for (int32_t i = 0; i < frameCount; ++i) {
        block.frames[static_cast<size_t>(i)].vertices.resize(3);
        for (SPVertex& vertex : block.frames[static_cast<size_t>(i)].vertices) {
            vertex.position = {static_cast<float>(i), 0.0f, 0.0f};
        }
        block.frames[static_cast<size_t>(i)].indices = {0, 1, 2};
    }
    return block;
}

TPtr<CPAnimation> Loaded(const std::string& name, int32_t frameCount, float ticks, float scale = 1.0f) {
    TPtr<CPAnimation> animation(new CPAnimation(name));
    animation->Load(Block(frameCount, ticks), scale);
    return animation;
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr float kInfinityTicks = std::numeric_limits<float>::infinity();

struct FrameCase {
    int32_t frameCount;
    float ticks;
    double t;
    int32_t frame;
};

TEST(AnimationFrameTest, TheFrameAtATimeWrapsClampsAndNeverHangs) {
    const FrameCase cases[] = {
        {10, 160.0f, 0.0, 0},                  // frame time 1/15 s, duration 2/3 s
        {10, 160.0f, 0.1, 1},
        {10, 160.0f, 2.0 / 3.0, 9},            // equal to the duration: not wrapped, clamped
        {10, 2400.0f, 25.0, 5},                // 2.5 durations: half the duration
        {10, 160.0f, -1.0, 0},                 // before the start
        {4, 2400.0f, 1e12 + 1.5, 1},           // far past the end: wraps at once
        {4, 2400.0f, 8.0, 3},                  // a whole number of durations stays at the end
        {4, 0.0f, 100.0, 0},                   // zero duration: frame 0, never wraps
        {4, -2400.0f, 3.0, 0},                 // negative frame time
        {0, 160.0f, 1.0, -1},                  // no frames
        {1, 2400.0f, 5.5, 0},
        {10, 160.0f, kInfinity, 0},            // a time that is not finite (an infinite speed)
        {10, 160.0f, -kInfinity, 0},
        {10, 160.0f, std::nan(""), 0},
        {10, kInfinityTicks, kInfinity, 0},    // an infinite frame time at its own duration
    };
    for (const FrameCase& c : cases) {
        EXPECT_EQ(Loaded("a", c.frameCount, c.ticks)->FrameIndexAt(c.t), c.frame)
            << c.frameCount << " frames of " << c.ticks << " ticks at " << c.t;
    }
    const int32_t tiny = Loaded("a", 4, 1e-30f)->FrameIndexAt(1e9);  // a duration too small to count
    EXPECT_TRUE(tiny >= 0 && tiny < 4) << tiny;
    const TPtr<CPAnimation> animation = Loaded("a", 10, 160.0f);
    EXPECT_FLOAT_EQ(animation->GetFrameTime(), 1.0f / 15.0f);
    EXPECT_FLOAT_EQ(animation->GetDuration(), 2.0f / 3.0f);
}

class AnimatedObjectTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        g_totalTime = 0.0;
        m_owner = Make("walker");
        m_animated = TPtr<CPAnimatedObject>(new CPAnimatedObject(m_owner.Get()));
        m_animated->SetType(CPRenderObjectBase::Animated);
        m_owner->SetAttachment(CPGameObject::kAnimated, m_animated);
        m_listener = NewScript();
        m_listener->Start();
    }

    void TearDown() override {
        m_animated = nullptr;
        m_listener = nullptr;
        g_totalTime = 0.0;
        SceneObjectTest::TearDown();
    }

    void Play(int32_t loops, int32_t reportFrame, int32_t markFrame, float speed = 1.0f) {
        SPAnimationRequest request;
        request.name = "walk";
        request.speed = speed;
        request.loops = loops;
        request.reportFrame = reportFrame;
        request.markFrame = markFrame;
        request.listener = m_listener;
        m_owner->PlayAnimation(request, true);
    }

    // One render frame at the time.
    int32_t ShowAt(double time) {
        g_totalTime = time;
        m_animated->WriteGeometry(nullptr, nullptr, 0);
        return m_animated->GetShownFrame()->index;
    }

    std::string Event(const char* name) const { return std::string(name) + "(" + HandleToString(m_listener.Get()) + ")"; }

    TPtr<CPGameObject> m_owner;
    TPtr<CPAnimatedObject> m_animated;
    TPtr<CPLuaScript> m_listener;
};

TEST_F(AnimatedObjectTest, ALoopLimitStopsOnThatWrapAndLeavesTheFrameBeforeTheLast) {
    // Four frames of one second.
    m_animated->AddAnimation("walk", Loaded("walk", 4, 2400.0f));
    Play(2, -1, -1);
    std::vector<int32_t> shown;
    for (double t = 0.5; t < 9.0; t += 1.0) {
        shown.push_back(ShowAt(t));
        if (t == 7.5) {
            EXPECT_TRUE(testsupport::ReceivedCommands(*m_listener).empty()) << "not stopped before the second wrap";
        }
    }
    EXPECT_EQ(shown, (std::vector<int32_t>{0, 1, 2, 3, 0, 1, 2, 3, 2}));
    EXPECT_TRUE(m_animated->IsStopped());
    EXPECT_EQ(testsupport::ReceivedCommands(*m_listener), std::vector<std::string>{Event("animation_stopped")});
    EXPECT_EQ(ShowAt(100.25), 2) << "a stopped animation no longer follows the time";
    EXPECT_TRUE(testsupport::ReceivedCommands(*m_listener).empty()) << "stopped once";
    EXPECT_TRUE(m_animated->GetCurrentName().empty());
}

TEST_F(AnimatedObjectTest, LoopLimitsBelowOneNeverStop) {
    m_animated->AddAnimation("walk", Loaded("walk", 4, 240.0f));
    for (const int32_t loops : {0, -1}) {
        Play(loops, -1, -1);
        const double start = g_totalTime;
        for (int step = 1; step <= 400; ++step) ShowAt(start + step * 0.037);
        EXPECT_FALSE(m_animated->IsStopped()) << loops;
        EXPECT_GT(m_animated->GetLoopsPlayed(), 30) << loops;
        EXPECT_TRUE(testsupport::ReceivedCommands(*m_listener).empty()) << loops;
    }
}

TEST_F(AnimatedObjectTest, AOneFrameAnimationNeverEndsAPass) {
    m_animated->AddAnimation("walk", Loaded("walk", 1, 2400.0f));
    Play(1, -1, -1);
    for (int step = 1; step <= 50; ++step) EXPECT_EQ(ShowAt(step * 0.7), 0);
    EXPECT_EQ(m_animated->GetLoopsPlayed(), 0);
    EXPECT_FALSE(m_animated->IsStopped());
}

TEST_F(AnimatedObjectTest, ReportAndMarkArriveOncePerPassAndAMissedReportIsRearmed) {
    // Six frames of one second, played at speed 2.
    m_animated->AddAnimation("walk", Loaded("walk", 6, 2400.0f));
    Play(0, 4, 2, 2.0f);
    std::vector<int32_t> markedAt;
    for (double t = 0.25; t < 3.0; t += 0.25) {  // frames 0..5, one pass
        ShowAt(t);
        markedAt.push_back(m_animated->GetMarkedFrame());
    }
    EXPECT_EQ(testsupport::ReceivedCommands(*m_listener), std::vector<std::string>{Event("animation_report")});
    EXPECT_EQ(std::count(markedAt.begin(), markedAt.end(), -1), 3) << "armed until frame 2";
    EXPECT_EQ(markedAt.back(), 2) << "fired once, at the first frame at or past it";
    // The second pass jumps from frame 3 to a wrapped frame 1: its report is missed and re-armed.
    ShowAt(3.25);
    EXPECT_EQ(m_animated->GetMarkedFrame(), -1);
    ShowAt(4.75);
    ShowAt(6.75);
    EXPECT_TRUE(testsupport::ReceivedCommands(*m_listener).empty());
    ShowAt(8.25);  // frame 4 of the fourth pass
    EXPECT_EQ(testsupport::ReceivedCommands(*m_listener), std::vector<std::string>{Event("animation_report")});
}

TEST_F(AnimatedObjectTest, WithoutRestartThePlayingAnimationGoesOn) {
    m_animated->AddAnimation("walk", Loaded("walk", 4, 2400.0f));
    Play(0, -1, -1);
    EXPECT_EQ(ShowAt(2.5), 2);
    SPAnimationRequest again;
    again.name = "walk";
    again.speed = 1.0f;
    m_owner->PlayAnimation(again, false);
    EXPECT_EQ(ShowAt(2.6), 2) << "not restarted";
    m_owner->PlayAnimation(again, true);
    EXPECT_EQ(ShowAt(2.7), 0) << "restarted from now";
    again.startOffset = 5.0f;
    m_owner->PlayAnimation(again, true);
    EXPECT_EQ(ShowAt(2.8), 0) << "a start in the future shows frame 0";
}

TEST(AnimationCacheTest, AReloadKeepsTheFramesThatObjectsDrawAndRecomputesTheBox) {
    CPAnimationCache cache;
    const TPtr<CPAnimation> first = cache.GetAnimation("leg&walk", Block(4, 2400.0f), 1.0f);
    CPAnimatedObject animated(nullptr);
    animated.AddAnimation("walk", first);
    g_totalTime = 3.5;
    animated.WriteGeometry(nullptr, nullptr, 0);
    const SPAnimationFrame* shown = animated.GetShownFrame();
    ASSERT_EQ(shown->index, 3);
    const std::string shownName = shown->name;
    // The same name again, now with a block of two frames scaled by 2.
    const TPtr<CPAnimation> second = cache.GetAnimation("leg&walk", Block(2, 100.0f), 2.0f);
    EXPECT_EQ(second.Get(), first.Get()) << "shared by name";
    EXPECT_EQ(cache.GetCount(), 1u);
    ASSERT_EQ(first->GetFrames().size(), 4u) << "the frames being drawn stay";
    EXPECT_EQ(animated.GetShownFrame(), shown);
    EXPECT_EQ(animated.GetShownFrame()->name, shownName);
    EXPECT_FLOAT_EQ(first->GetDuration(), 4.0f);
    EXPECT_FLOAT_EQ(first->GetBox().GetHalfSize().x, 1.0f) << "the box follows the new positions, 0..2";
    g_totalTime = 0.0;
}

TEST(AnimationCacheTest, AnAnimationLeavesTheCacheWithItsLastUser) {
    CPAnimationCache cache;
    {
        const TPtr<CPAnimation> animation = cache.GetAnimation("a&b", Block(2, 100.0f), 1.0f);
        EXPECT_EQ(cache.GetCount(), 1u);
    }
    CollectGarbage();
    EXPECT_EQ(cache.GetCount(), 0u);
}

}  // namespace
