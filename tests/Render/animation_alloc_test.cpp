// Playing animations allocates nothing per frame: vertex-animated objects advancing through
// their frames and passes, and part animations blending their keys onto a part with a child.
#include <gtest/gtest.h>

#include "Render/ModelFile.h"
#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Render/PGameObject.h"
#include "Render/PPartAnimation.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "support/AllocationCounter.h"

namespace {

TEST(AnimationAllocations, AdvancingAndBlendingAllocateNothing) {
    modelfile::SPAnimationBlock block;
    block.frameTimeTicks = 240.0f;
    block.frames.resize(4);
    TPtr<CPAnimation> animation(new CPAnimation("bench&anim"));
    animation->Load(block, 1.0f);
    TPtr<CPGameObject> walker(new CPGameObject("walker"));
    TPtr<CPAnimatedObject> animated(new CPAnimatedObject(walker.Get()));
    animated->AddAnimation("walk", animation);
    walker->SetAttachment(CPGameObject::kAnimated, animated);

    TPtr<CPGameObject> blade(new CPGameObject("blade"));
    blade->AddChild(TPtr<CPGameObject>(new CPGameObject("tip")));
    TPtr<CPPartAnimation> turn(new CPPartAnimation);
    turn->SetKeys({MatrixIdentity(), MatrixRotationZ(1.0f), MatrixRotationZ(2.0f), MatrixIdentity()},
                  {0.1f, 0.1f, 0.1f, 0.1f});
    turn->SetTarget(blade.Get());
    turn->SetLoop(true);

    testsupport::ResetCountedAllocations();
    testsupport::SetCountingAllocations(true);
    for (int frame = 0; frame < 100; ++frame) {
        g_frameDelta = 0.03f;
        g_totalTime += g_frameDelta;
        animated->WriteGeometry(nullptr, nullptr, 0);
        turn->Update();
    }
    testsupport::SetCountingAllocations(false);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
    EXPECT_GT(animated->GetLoopsPlayed(), 2);
    g_frameDelta = 0.0f;
    g_totalTime = 0.0;
    walker = nullptr;
    blade = nullptr;
    CollectGarbage();
}

}  // namespace
