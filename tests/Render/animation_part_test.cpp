// Part animation: passes through the keys, loop or stop, "animation_end" to the target's script,
// the blended matrix on the part, and time that no key duration can hold up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Render/PPartAnimation.h"
#include "core/PGlobalTimer.h"
#include "gameobject_fixture.h"
#include "script/ScriptHandles.h"

namespace {

class PartAnimationTest : public SceneObjectTest {
protected:
    void SetUp() override {
        SceneObjectTest::SetUp();
        m_target = Make("turret");
        m_script = NewScript();
        m_script->Start();
        m_target->SetScript(m_script);
    }

    void TearDown() override {
        m_animation = nullptr;
        m_script = nullptr;
        g_frameDelta = 0.0f;
        SceneObjectTest::TearDown();
    }

    // Keys k = a move of 10 k along x, with the given durations.
    void MakeAnimation(const std::vector<float>& durations, bool loop) {
        std::vector<PMatrix> keys;
        for (size_t k = 0; k < durations.size(); ++k) keys.push_back(MatrixTranslation(10.0f * k, 0.0f, 0.0f));
        m_animation = TPtr<CPPartAnimation>(new CPPartAnimation);
        m_animation->SetKeys(keys, durations);
        m_animation->SetTarget(m_target.Get());
        m_animation->SetLoop(loop);
        m_animation->Start();
    }

    // Updates with that frame delta; the number of "animation_end" the script got.
    int Run(float delta, int updates) {
        g_frameDelta = delta;
        for (int i = 0; i < updates; ++i) m_animation->Update();
        int ends = 0;
        for (const std::string& command : testsupport::ReceivedCommands(*m_script)) {
            EXPECT_EQ(command, "animation_end(" + HandleToString(m_target.Get()) + ")");
            ++ends;
        }
        return ends;
    }

    float BlendedX() const { return m_target->GetAnimationMatrix().m[3][0]; }

    TPtr<CPGameObject> m_target;
    TPtr<CPLuaScript> m_script;
    TPtr<CPPartAnimation> m_animation;
};

TEST_F(PartAnimationTest, ALoopEndsAPassEveryTwoSecondsAndNeverUsesTheLastKey) {
    MakeAnimation({1.0f, 1.0f, 1.0f, 1.0f}, true);
    float highest = 0.0f;
    std::vector<int> ends;
    for (int second = 0; second < 8; ++second) {
        int endsThisSecond = 0;
        for (int i = 0; i < 4; ++i) {
            endsThisSecond += Run(0.25f, 1);
            highest = std::max(highest, BlendedX());
        }
        ends.push_back(endsThisSecond);
    }
    // A pass ends in the first update past 2 s, 4 s, 6 s.
    EXPECT_EQ(ends, (std::vector<int>{0, 0, 1, 0, 1, 0, 1, 0}));
    EXPECT_LE(highest, 20.0f) << "blends between keys 0-1 and 1-2 only";
    EXPECT_FALSE(m_animation->IsKilled());
}

TEST_F(PartAnimationTest, WithoutLoopOnePassThenTheLastBlendAndAStop) {
    MakeAnimation({1.0f, 1.0f, 1.0f, 1.0f}, false);
    EXPECT_EQ(Run(0.25f, 8), 0);
    EXPECT_EQ(Run(0.25f, 1), 1);
    EXPECT_TRUE(m_animation->IsKilled());
    EXPECT_EQ(m_animation->GetKeyIndex(), 2);
    EXPECT_FLOAT_EQ(BlendedX(), 22.5f) << "key 2 towards key 3 with the time left over";
    EXPECT_EQ(Run(5.0f, 3), 0) << "updates after the end change nothing";
    EXPECT_FLOAT_EQ(BlendedX(), 22.5f);
    // Started again after its pass, it plays from key 0.
    m_animation->Start();
    EXPECT_EQ(Run(0.25f, 1), 0);
    EXPECT_FLOAT_EQ(BlendedX(), 2.5f);
}

TEST_F(PartAnimationTest, ALargeDeltaEndsEveryPassItCovers) {
    MakeAnimation({1.0f, 1.0f, 1.0f, 1.0f}, true);
    EXPECT_EQ(Run(5.0f, 1), 2);
    EXPECT_EQ(m_animation->GetKeyIndex(), 0);
    EXPECT_FLOAT_EQ(BlendedX(), 10.0f);
}

TEST_F(PartAnimationTest, ZeroOrTinyDurationsCannotHoldUpTheUpdate) {
    for (const float duration : {0.0f, 1e-30f, -1.0f}) {
        MakeAnimation({duration, duration, duration, duration}, true);
        const int ends = Run(1000.0f, 3);
        EXPECT_GE(ends, 1) << duration;
        EXPECT_LE(ends, 3 * CPPartAnimation::kMaxPassesPerUpdate) << duration;
    }
}

TEST_F(PartAnimationTest, TooFewKeysStopAtOnce) {
    MakeAnimation({1.0f, 1.0f}, true);
    EXPECT_EQ(Run(5.0f, 1), 0);
    EXPECT_TRUE(m_animation->IsKilled());
}

TEST_F(PartAnimationTest, TheBlendMovesThePartAndItsChildren) {
    const TPtr<CPGameObject> base = Make("base");
    const TPtr<CPGameObject> barrel = Make("barrel");
    base->AddChild(m_target);
    m_target->AddChild(barrel);
    m_target->SetPosition({1.0f, 2.0f, 0.0f});
    barrel->SetPosition({0.0f, 0.0f, 3.0f});
    base->UpdateTransform();
    MakeAnimation({1.0f, 1.0f, 1.0f}, true);
    m_target->SetMoved(false);
    Run(0.5f, 1);
    EXPECT_TRUE(m_target->IsMoved()) << "the change reaches the part's render object";
    EXPECT_FLOAT_EQ(m_target->GetWorld().m[3][0], 6.0f);
    EXPECT_FLOAT_EQ(m_target->GetWorld().m[3][1], 2.0f);
    EXPECT_FLOAT_EQ(barrel->GetWorld().m[3][0], 6.0f);
    EXPECT_FLOAT_EQ(barrel->GetWorld().m[3][2], 3.0f);
}

TEST_F(PartAnimationTest, ACopyPlaysTheSameKeysOnItsOwnObject) {
    MakeAnimation({1.0f, 1.0f, 1.0f}, false);
    m_target->AddPartAnimation("idle", m_animation);
    const TPtr<CPGameObject> copy = Make("copy");
    copy->CopyFrom(m_target);
    const TPtr<CPPartAnimation>& copied = copy->GetUpdateTask();
    ASSERT_TRUE(copied);
    EXPECT_NE(copied.Get(), m_animation.Get());
    EXPECT_EQ(copied->GetTarget(), copy.Get());
    EXPECT_TRUE(copied->IsLooping()) << "idle loops";
    EXPECT_EQ(copied->GetKeys().size(), 3u);
}

}  // namespace
