// Writing geometry is per-frame work: once a mesh and a sprite have been written, further frames
// allocate nothing, whether or not their owners moved, with every kind of modifier running.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "Render/PAnimTexModifier.h"
#include "Render/PFadeModifier.h"
#include "Render/PFlickModifier.h"
#include "Render/PGameObject.h"
#include "Render/PMovingTexModifier.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "support/AllocationCounter.h"

namespace {

TEST(RenderObjectAllocation, WritingFramesAllocatesNothing)
{
    const float savedDelta = g_frameDelta;
    g_frameDelta = 0.02f;
    {
        TPtr<CPGameObject> owner(new CPGameObject("mesh"));
        TPtr<CPRenderObject> mesh(new CPRenderObject(owner.Get()));
        std::vector<SPVertex> vertices(300, SPVertex{});
        std::vector<uint16_t> indices(900, 0);
        mesh->SetGeometry(vertices, indices);
        mesh->AddVertexEffect(std::make_unique<CPFadeModifier>(10.0f));
        mesh->AddVertexEffect(std::make_unique<CPMovingTexModifier>(0.5f, 0.1f));
        mesh->AddVertexEffect(std::make_unique<CPFlickModifier>(3.0f, 0, 255));
        mesh->AddVertexEffect(std::make_unique<CPAnimTexModifier>(4, 4, 12.0f));
        TPtr<CPSprite> sprite(new CPSprite(2.0f));
        sprite->SetOwner(owner.Get());

        std::vector<SPVertex> vertexDestination(304);
        std::vector<uint16_t> indexDestination(906);
        auto writeFrame = [&] {
            mesh->WriteGeometry(vertexDestination.data(), indexDestination.data(), 4);
            sprite->WriteGeometry(vertexDestination.data() + 300, indexDestination.data() + 900, 0);
        };
        owner->UpdateTransform();
        writeFrame();

        testsupport::ResetCountedAllocations();
        for (int frame = 0; frame < 100; ++frame) {
            if (frame % 3 == 0) {
                owner->SetPosition({static_cast<float>(frame), 0.0f, 1.0f});
                owner->UpdateTransform();
            }
            testsupport::SetCountingAllocations(true);
            writeFrame();
            testsupport::SetCountingAllocations(false);
        }
        EXPECT_EQ(testsupport::CountedAllocations(), 0);
    }
    CollectGarbage();
    g_frameDelta = savedDelta;
}

}  // namespace
