// Streaming a frame's batches is per-frame work: once the batches have been filled once, later
// fills allocate nothing (starting a further pair when one overflows is the device's work).
#include <gtest/gtest.h>

#include <vector>

#include "Render/PIVertexBuffer.h"
#include "Render/PMeshBuffers.h"
#include "Render/PRenderObject.h"
#include "support/AllocationCounter.h"
#include "vertexbuffer_fixture.h"

namespace restest {
namespace {

class FillAllocationTest : public StreamingTest {};

TEST_F(FillAllocationTest, FillingTheSameBatchesAgainAllocatesNothing)
{
    TPtr<CPIVertexBuffer> ring(new CPIVertexBuffer);
    ASSERT_TRUE(ring->Create(false, 0, 0));
    SPMeshBuffers meshes[2];
    std::vector<TPtr<CPIVBlock>> batches;
    std::vector<TPtr<CPRenderObject>> statics;
    for (int b = 0; b < 3; ++b) {
        batches.push_back(Batch(ring, {Quad(-1, 1, 0, 0, 0xFFFF0000u), Quad(0, 0, 1, -1, 0xFF00FF00u, 20000, 600)}));
        for (int s = 0; s < 4; ++s) {
            statics.emplace_back(new CPRenderObject(nullptr));
            statics.back()->SetType(CPRenderObjectBase::Static);
            statics.back()->SetMeshBuffers("mesh", &meshes[s % 2]);
            batches.back()->AddRenderObject(statics.back());
        }
    }
    const auto fillFrame = [&](bool counting) {
        ASSERT_TRUE(ring->Lock(0, 0));
        testsupport::SetCountingAllocations(counting);
        for (const auto& batch : batches) ring->FillBlock(*batch);
        testsupport::SetCountingAllocations(false);
        ASSERT_TRUE(ring->Unlock());
    };
    fillFrame(false);
    testsupport::ResetCountedAllocations();
    for (int frame = 0; frame < 10; ++frame) fillFrame(true);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
    EXPECT_EQ(batches[2]->staticObjects.size(), 4u);
}

}  // namespace
}  // namespace restest
