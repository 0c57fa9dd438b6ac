#include "vertexbuffer_fixture.h"

#include "math/PMatrix.h"

namespace restest {

using namespace platform::gfx;

QuadObject::QuadObject(float left, float top, float right, float bottom, uint32_t colour, int32_t vertices,
                       int32_t indices)
    : m_left(left), m_top(top), m_right(right), m_bottom(bottom), m_colour(colour), m_vertices(vertices),
      m_indices(indices)
{
}

void QuadObject::SetCounts(int32_t vertices, int32_t indices)
{
    m_vertices = vertices;
    m_indices = indices;
}

void QuadObject::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base)
{
    const PVector3 corners[4] = {{m_left, m_top, 0.5f}, {m_right, m_top, 0.5f}, {m_right, m_bottom, 0.5f},
                                 {m_left, m_bottom, 0.5f}};
    for (int32_t i = 0; i < m_vertices; ++i) {
        vertices[i] = SPVertex{corners[i % 4], {0.0f, 0.0f, -1.0f}, m_colour, 0, {0.0f, 0.0f}, {0.0f, 0.0f}};
    }
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    for (int32_t i = 0; i < m_indices; ++i) indices[i] = static_cast<uint16_t>(base + (i < 6 ? quad[i] : 0));
    if (m_badIndex && m_indices > 0) indices[0] = static_cast<uint16_t>(base + m_vertices);
}

TPtr<QuadObject> StreamingTest::Quad(float left, float top, float right, float bottom, uint32_t colour,
                                     int32_t vertices, int32_t indices)
{
    return TPtr<QuadObject>(new QuadObject(left, top, right, bottom, colour, vertices, indices));
}

TPtr<CPIVBlock> StreamingTest::Batch(const TPtr<CPIVertexBuffer>& ring, const std::vector<TPtr<QuadObject>>& objects)
{
    TPtr<CPIVBlock> batch(new CPIVBlock(ring));
    for (const TPtr<QuadObject>& object : objects) batch->AddRenderObject(object);
    return batch;
}

void StreamingTest::BeginDrawing()
{
    const PMatrix identity = MatrixIdentity();
    Dev().SetTransform(TransformType::World, identity);
    Dev().SetTransform(TransformType::View, identity);
    Dev().SetTransform(TransformType::Projection, identity);
    Dev().SetRenderState(RenderState::Lighting, false);
    Dev().SetRenderState(RenderState::CullMode, CullMode::None);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Diffuse);
    Dev().Clear(ClearTarget | ClearZBuffer, 0xFF000000u, 1.0f);
}

void StreamingTest::DrawBatch(const CPIVBlock& batch)
{
    Dev().SetStreamSource(batch.vertexBuffer);
    Dev().SetIndices(batch.indexBuffer);
    EXPECT_TRUE(Dev().DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, static_cast<uint32_t>(batch.firstVertex),
                                           static_cast<uint32_t>(batch.vertexCount),
                                           static_cast<uint32_t>(batch.startIndex),
                                           static_cast<uint32_t>(batch.indexCount / 3)));
}

uint32_t StreamingTest::PixelAt(float x, float y)
{
    const int32_t px = static_cast<int32_t>((x + 1.0f) * 0.5f * static_cast<float>(Dev().BackBufferWidth()));
    const int32_t py = static_cast<int32_t>((1.0f - y) * 0.5f * static_cast<float>(Dev().BackBufferHeight()));
    uint32_t pixel = 0;
    EXPECT_TRUE(Dev().ReadPixels({px, py, px + 1, py + 1}, &pixel));
    return pixel;
}

}  // namespace restest
