#include <gtest/gtest.h>

#include "GfxFixture.h"
#include "math/PMatrix.h"

namespace gfxtest {
namespace {

// Triangles in clip space (identity transforms), clockwise on the screen.
void WriteTriangle(Vertex* out, float left, float right, uint32_t colour)
{
    out[0] = MakeVertex(left, -1, 0.5f, colour);
    out[1] = MakeVertex(left, 1, 0.5f, colour);
    out[2] = MakeVertex(right, -1, 0.5f, colour);
}

class BufferTest : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        if (HasFatalFailure()) return;
        UseVertexColour();
        ClearAll(kBlack);
    }
    // A pixel near the bottom of the left and of the right half of the screen.
    uint32_t Left() { return Pixel(2, kHeight - 2); }
    uint32_t Right() { return Pixel(kWidth / 2 + 2, kHeight - 2); }
};

TEST_F(BufferTest, NoOverwriteLockKeepsWhatEarlierLocksWrote)
{
    auto ring = Dev().CreateVertexBuffer(6, Usage::Dynamic, Pool::Default);
    ASSERT_NE(ring, nullptr);
    WriteTriangle(ring->Lock(0, 3, LockDiscard), -1, 0, kRed);
    ASSERT_TRUE(ring->Unlock());
    Dev().SetStreamSource(ring.get());
    ASSERT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));
    WriteTriangle(ring->Lock(3, 3, LockNoOverwrite), 0, 1, kGreen);
    ASSERT_TRUE(ring->Unlock());
    ClearAll(kBlack);
    ASSERT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 2));
    EXPECT_EQ(Left(), kRed);
    EXPECT_EQ(Right(), kGreen);

    // Discarding hands out fresh storage: what is drawn next is what was written next.
    WriteTriangle(ring->Lock(0, 3, LockDiscard), 0, 1, kBlue);
    ASSERT_TRUE(ring->Unlock());
    ClearAll(kBlack);
    ASSERT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), kBlue);
}

TEST_F(BufferTest, IndexedDrawAddsTheBaseVertex)
{
    auto vertices = Dev().CreateVertexBuffer(6, Usage::Static, Pool::Managed);
    auto indices = Dev().CreateIndexBuffer(3, Usage::Static, Pool::Managed);
    Vertex* v = vertices->Lock(0, 0, LockNone);
    WriteTriangle(v, -1, 0, kRed);
    WriteTriangle(v + 3, 0, 1, kGreen);
    ASSERT_TRUE(vertices->Unlock());
    uint16_t* i = indices->Lock(0, 0, LockNone);
    i[0] = 0;
    i[1] = 1;
    i[2] = 2;
    ASSERT_TRUE(indices->Unlock());
    Dev().SetStreamSource(vertices.get());
    Dev().SetIndices(indices.get());
    ASSERT_TRUE(Dev().DrawIndexedPrimitive(PrimitiveType::TriangleList, 3, 0, 3, 0, 1));
    EXPECT_EQ(Left(), kBlack);
    EXPECT_EQ(Right(), kGreen);
}

TEST_F(BufferTest, LocksAndDrawsOutsideTheBuffersAreRefused)
{
    auto vertices = Dev().CreateVertexBuffer(6, Usage::Static, Pool::Managed);
    auto indices = Dev().CreateIndexBuffer(6, Usage::Static, Pool::Managed);
    EXPECT_EQ(vertices->Lock(4, 3, LockNone), nullptr);
    EXPECT_EQ(vertices->Lock(6, 0, LockNone), nullptr);
    EXPECT_EQ(indices->Lock(0, 7, LockNone), nullptr);
    Vertex* v = vertices->Lock(0, 0, LockNone);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(vertices->Lock(0, 0, LockNone), nullptr);  // already locked
    Dev().SetStreamSource(vertices.get());
    Dev().SetIndices(indices.get());
    EXPECT_FALSE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));  // while locked
    ASSERT_TRUE(vertices->Unlock());
    EXPECT_FALSE(vertices->Unlock());
    ASSERT_NE(indices->Lock(0, 0, LockNone), nullptr);
    ASSERT_TRUE(indices->Unlock());

    struct Case {
        int32_t baseVertex;
        uint32_t minIndex, vertexCount, startIndex, triangles;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0, 6, 0, 2, true},  {0, 0, 6, 3, 1, true},   {0, 0, 6, 3, 2, false}, {0, 0, 6, 7, 0, false},
        {3, 0, 3, 0, 1, true},  {3, 0, 4, 0, 1, false},  {-1, 0, 3, 0, 1, false}, {-2, 2, 3, 0, 1, true},
        {0, 5, 2, 0, 1, false}, {0, 0, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Dev().DrawIndexedPrimitive(PrimitiveType::TriangleList, c.baseVertex, c.minIndex, c.vertexCount,
                                             c.startIndex, c.triangles),
                  c.accepted)
            << c.baseVertex << " " << c.minIndex << " " << c.vertexCount << " " << c.startIndex << " " << c.triangles;
    }
    EXPECT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleStrip, 0, 4));
    EXPECT_FALSE(Dev().DrawPrimitive(PrimitiveType::TriangleStrip, 1, 4));
    EXPECT_FALSE(Dev().DrawPrimitive(PrimitiveType::LineList, 0, 4));
    Dev().SetIndices(nullptr);
    EXPECT_FALSE(Dev().DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 6, 0, 1));
}

TEST_F(BufferTest, DynamicBuffersLiveInTheDefaultPool)
{
    EXPECT_EQ(Dev().CreateVertexBuffer(6, Usage::Dynamic, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateIndexBuffer(6, Usage::Dynamic, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateVertexBuffer(0, Usage::Static, Pool::Managed), nullptr);
    EXPECT_EQ(Dev().CreateVertexBuffer(0x10000000u, Usage::Static, Pool::Managed), nullptr);
}

TEST_F(BufferTest, DrawsFromMemoryOutgrowTheStream)
{
    // More than the device's stream holds at first, in one draw, then small draws again.
    std::vector<Vertex> many(30000 * 3);
    for (size_t t = 0; t + 3 <= many.size(); t += 3) WriteTriangle(&many[t], -1, 0, kRed);
    WriteTriangle(&many[many.size() - 3], 0, 1, kGreen);
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 30000, many.data()));
    EXPECT_EQ(Left(), kRed);
    EXPECT_EQ(Right(), kGreen);
    Vertex one[3];
    WriteTriangle(one, 0, 1, kBlue);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, one));
    EXPECT_EQ(Right(), kBlue);
    EXPECT_FALSE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 0, one));
}

}  // namespace
}  // namespace gfxtest
