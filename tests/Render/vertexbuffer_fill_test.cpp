// FillBlock: where batches land in the ring, what happens when a pair overflows, and what is
// refused.
#include <gtest/gtest.h>

#include "Render/PIVertexBuffer.h"
#include "vertexbuffer_fixture.h"

namespace restest {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// Padding objects fill most of a pair: their vertices sit outside the screen.
constexpr int32_t kBigVertices = 40000;

class FillTest : public StreamingTest {
protected:
    void SetUp() override
    {
        StreamingTest::SetUp();
        if (HasFatalFailure()) return;
        m_ring = new CPIVertexBuffer;
        ASSERT_TRUE(m_ring->Create(false, 0, 0));
        ASSERT_TRUE(m_ring->Lock(0, 0));
    }

    // A quad in one of the four quarters of the screen: 0 top-left, 1 top-right, 2 bottom-left,
    // 3 bottom-right.
    TPtr<QuadObject> Corner(int quarter, uint32_t colour)
    {
        const float x = quarter % 2 == 0 ? -1.0f : 0.0f;
        const float y = quarter < 2 ? 1.0f : 0.0f;
        return Quad(x, y, x + 1.0f, y - 1.0f, colour);
    }
    TPtr<QuadObject> Big(int32_t vertices = kBigVertices) { return Quad(5.0f, 5.0f, 6.0f, 4.0f, kWhite, vertices, 6); }
    uint32_t CornerPixel(int quarter) { return PixelAt(quarter % 2 == 0 ? -0.5f : 0.5f, quarter < 2 ? 0.5f : -0.5f); }

    // Unlocks the ring and draws the batches.
    void Draw(const std::vector<TPtr<CPIVBlock>>& batches)
    {
        ASSERT_TRUE(m_ring->Unlock());
        BeginDrawing();
        for (const auto& batch : batches) DrawBatch(*batch);
    }

    TPtr<CPIVertexBuffer> m_ring;
};

TEST_F(FillTest, BatchesFollowEachOtherInAPairWithAbsoluteIndices)
{
    TPtr<CPIVBlock> first = Batch(m_ring, {Corner(0, kRed), Corner(1, kGreen)});
    TPtr<CPIVBlock> second = Batch(m_ring, {Corner(2, kBlue), Corner(3, kWhite)});
    ASSERT_TRUE(m_ring->FillBlock(*first));
    ASSERT_TRUE(m_ring->FillBlock(*second));
    EXPECT_TRUE(first->written);
    EXPECT_EQ(first->firstVertex, 0);
    EXPECT_EQ(first->vertexCount, 8);
    EXPECT_EQ(first->indexCount, 12);
    EXPECT_EQ(second->firstVertex, 8);
    EXPECT_EQ(second->startIndex, 12);
    EXPECT_EQ(second->vertexBuffer, first->vertexBuffer);
    Draw({first, second});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(1), kGreen);
    EXPECT_EQ(CornerPixel(2), kBlue);
    EXPECT_EQ(CornerPixel(3), kWhite);
}

TEST_F(FillTest, ABatchThatDoesNotFitStartsTheNextPairWhole)
{
    TPtr<CPIVBlock> first = Batch(m_ring, {Big(), Corner(0, kRed)});
    TPtr<CPIVBlock> second = Batch(m_ring, {Corner(1, kGreen), Big(), Corner(2, kBlue)});
    ASSERT_TRUE(m_ring->FillBlock(*first));
    ASSERT_TRUE(m_ring->FillBlock(*second));
    EXPECT_EQ(first->vertexBuffer, m_ring->GetVertexBuffer(0));
    EXPECT_EQ(second->vertexBuffer, m_ring->GetVertexBuffer(1));
    EXPECT_EQ(second->firstVertex, 0);
    EXPECT_EQ(second->vertexCount, kBigVertices + 8) << "no object lost";
    Draw({first, second});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(1), kGreen);
    EXPECT_EQ(CornerPixel(2), kBlue);
}

TEST_F(FillTest, ABatchThatGrowsPastThePairMovesWholeToTheNextPair)
{
    TPtr<CPIVBlock> first = Batch(m_ring, {Big(), Corner(0, kRed)});
    TPtr<QuadObject> growing = Corner(2, kBlue);
    TPtr<CPIVBlock> second = Batch(m_ring, {Corner(1, kGreen), growing, Corner(3, kWhite)});
    // The object grew after it was handed over: the totals no longer warn of the overflow.
    growing->SetCounts(kBigVertices, 6);
    ASSERT_TRUE(m_ring->FillBlock(*first));
    ASSERT_TRUE(m_ring->FillBlock(*second));
    EXPECT_EQ(second->vertexBuffer, m_ring->GetVertexBuffer(1));
    EXPECT_EQ(second->firstVertex, 0);
    EXPECT_EQ(second->vertexCount, kBigVertices + 8);
    Draw({first, second});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(1), kGreen);
    EXPECT_EQ(CornerPixel(2), kBlue);
    EXPECT_EQ(CornerPixel(3), kWhite);
}

TEST_F(FillTest, WhatOneBatchCannotHoldInAWholePairIsDroppedAlone)
{
    TPtr<CPIVBlock> batch = Batch(m_ring, {Corner(0, kRed), Big(), Big(), Corner(3, kWhite)});
    ASSERT_TRUE(m_ring->FillBlock(*batch));
    EXPECT_EQ(batch->vertexBuffer, m_ring->GetVertexBuffer(0)) << "an empty pair gains nothing by moving";
    EXPECT_EQ(batch->vertexCount, 4 + kBigVertices + 4);
    Draw({batch});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(3), kWhite);
}

TEST_F(FillTest, AnObjectThatWouldCrowdTheOthersOutOfTheirPairIsTheOneDropped)
{
    // The large object fits a pair by itself, but the four corners with it do not.
    TPtr<CPIVBlock> batch =
        Batch(m_ring, {Corner(0, kRed), Big(65520), Corner(1, kGreen), Corner(2, kBlue), Corner(3, kWhite)});
    ASSERT_TRUE(m_ring->FillBlock(*batch));
    EXPECT_EQ(batch->vertexCount, 16);
    Draw({batch});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(1), kGreen);
    EXPECT_EQ(CornerPixel(2), kBlue);
    EXPECT_EQ(CornerPixel(3), kWhite);
}

TEST_F(FillTest, TheLimitsOfAPairAreExclusive)
{
    const struct {
        int32_t vertices;
        int32_t indices;
        bool fits;
    } cases[] = {
        {65535, 6, true},
        {65536, 6, false},
        {4, 262143, true},
        {4, 262144, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vertices << " vertices, " << c.indices << " indices");
        TPtr<CPIVBlock> batch = Batch(m_ring, {Quad(5.0f, 5.0f, 6.0f, 4.0f, kWhite, c.vertices, c.indices)});
        ASSERT_TRUE(m_ring->FillBlock(*batch));
        EXPECT_EQ(batch->vertexCount, c.fits ? c.vertices : 0);
        EXPECT_EQ(m_ring->GetUsedIndices(), c.fits ? c.indices : 0);
        ASSERT_TRUE(m_ring->Unlock());
        ASSERT_TRUE(m_ring->Lock(0, 0));
    }
}

TEST_F(FillTest, TheRingNeverComesRoundToAPairThisFrameStillDraws)
{
    std::vector<TPtr<CPIVBlock>> batches;
    const uint32_t colours[4] = {kRed, kGreen, kBlue, kWhite};
    for (int i = 0; i < 4; ++i) {
        batches.push_back(Batch(m_ring, {Big(), Corner(i, colours[i])}));
        ASSERT_TRUE(m_ring->FillBlock(*batches.back()));
    }
    EXPECT_EQ(batches[0]->vertexBuffer, m_ring->GetVertexBuffer(0));
    EXPECT_EQ(batches[1]->vertexBuffer, m_ring->GetVertexBuffer(1));
    EXPECT_EQ(batches[2]->vertexBuffer, m_ring->GetVertexBuffer(2));
    EXPECT_EQ(batches[3]->vertexBuffer, m_ring->GetVertexBuffer(2)) << "the last pair takes what it can";
    EXPECT_EQ(batches[3]->vertexCount, 4);
    Draw(batches);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(CornerPixel(i), colours[i]) << "quarter " << i;
}

TEST_F(FillTest, AnObjectWritingIndicesOutsideItsVerticesIsDropped)
{
    TPtr<QuadObject> bad = Corner(1, kGreen);
    bad->WriteIndexPastTheEnd();
    TPtr<CPIVBlock> batch = Batch(m_ring, {Corner(0, kRed), bad, Corner(3, kWhite)});
    ASSERT_TRUE(m_ring->FillBlock(*batch));
    EXPECT_EQ(batch->vertexCount, 8);
    EXPECT_EQ(batch->indexCount, 12);
    Draw({batch});
    EXPECT_EQ(CornerPixel(0), kRed);
    EXPECT_EQ(CornerPixel(1), kBlack);
    EXPECT_EQ(CornerPixel(3), kWhite);
}

}  // namespace
}  // namespace restest
