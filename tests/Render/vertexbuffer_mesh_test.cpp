// The static mesh cache, and static meshes in the batches: grouped by mesh and drawn from it.
#include <gtest/gtest.h>

#include <vector>

#include "Render/PIVertexBuffer.h"
#include "Render/PRenderObject.h"
#include "vertexbuffer_fixture.h"

namespace restest {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u;

// A quad over the whole screen followed by padding vertices.
std::vector<SPVertex> QuadVertices(uint32_t colour, size_t count = 4)
{
    const PVector3 corners[4] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
    std::vector<SPVertex> vertices(count);
    for (size_t i = 0; i < count; ++i) vertices[i] = SPVertex{corners[i % 4], {0, 0, -1}, colour, 0, {0, 0}, {0, 0}};
    return vertices;
}
const std::vector<uint16_t> kQuadIndices = {0, 1, 2, 0, 2, 3};

class MeshCacheTest : public StreamingTest {};

TEST_F(MeshCacheTest, OneRecordPerNameInAnyCaseHoldingTheMesh)
{
    const std::vector<SPVertex> vertices = QuadVertices(kRed);
    SPMeshBuffers* mesh = Render().GetMeshBuffers("Car\\Body", vertices.data(), kQuadIndices.data(), 4, 6);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->vertexCount, 4);
    EXPECT_EQ(mesh->triangleCount, 2);
    EXPECT_EQ(mesh->indices, kQuadIndices);
    EXPECT_EQ(mesh->vertices.size(), 4u);
    EXPECT_EQ(Render().GetMeshBuffers("car\\BODY", nullptr, nullptr, 0, 0), mesh) << "the data of later requests is ignored";

    BeginDrawing();
    Dev().SetStreamSource(mesh->vertexBuffer.get());
    Dev().SetIndices(mesh->indexBuffer.get());
    EXPECT_TRUE(Dev().DrawIndexedPrimitive(platform::gfx::PrimitiveType::TriangleList, 0, 0, 4, 0, 2));
    EXPECT_EQ(PixelAt(0.5f, -0.5f), kRed);
}

TEST_F(MeshCacheTest, MeshesThatCannotBeDrawnSafelyAreRefusedAndNotCached)
{
    const std::vector<SPVertex> tooMany = QuadVertices(kRed, 65536);
    const std::vector<SPVertex> most = QuadVertices(kRed, 65535);
    const std::vector<uint16_t> pastTheEnd = {0, 1, 4};
    const std::vector<SPVertex> four = QuadVertices(kRed);
    EXPECT_EQ(Render().GetMeshBuffers("big", tooMany.data(), kQuadIndices.data(), 65536, 6), nullptr);
    EXPECT_NE(Render().GetMeshBuffers("most", most.data(), kQuadIndices.data(), 65535, 6), nullptr);
    EXPECT_EQ(Render().GetMeshBuffers("broken", four.data(), pastTheEnd.data(), 4, 3), nullptr);
    EXPECT_EQ(Render().GetMeshBuffers("empty", four.data(), kQuadIndices.data(), 4, 0), nullptr);
    // A refused name can still be made once its data is sound.
    EXPECT_NE(Render().GetMeshBuffers("broken", four.data(), kQuadIndices.data(), 4, 6), nullptr);
}

TEST_F(MeshCacheTest, StaticObjectsOfABatchAreGroupedByMeshInSubmissionOrder)
{
    const std::vector<SPVertex> vertices = QuadVertices(kRed);
    SPMeshBuffers* a = Render().GetMeshBuffers("a", vertices.data(), kQuadIndices.data(), 4, 6);
    SPMeshBuffers* b = Render().GetMeshBuffers("b", vertices.data(), kQuadIndices.data(), 4, 6);
    std::vector<TPtr<CPRenderObject>> objects;
    for (SPMeshBuffers* mesh : {a, b, a, b, a}) {
        objects.emplace_back(new CPRenderObject(nullptr));
        objects.back()->SetType(CPRenderObjectBase::Static);
        objects.back()->SetMeshBuffers(mesh == a ? "a" : "b", mesh);
    }
    TPtr<CPIVertexBuffer> ring(new CPIVertexBuffer);
    ASSERT_TRUE(ring->Create(false, 0, 0));
    TPtr<CPIVBlock> batch(new CPIVBlock(ring));
    batch->AddRenderObject(Quad(-1, 1, 0, 0, kRed));
    for (const auto& object : objects) batch->AddRenderObject(object);
    ASSERT_TRUE(ring->Lock(0, 0));
    ASSERT_TRUE(ring->FillBlock(*batch));
    ASSERT_TRUE(ring->Unlock());
    EXPECT_EQ(batch->vertexCount, 4) << "static meshes are not streamed";
    ASSERT_EQ(batch->staticObjects.size(), 5u);
    std::vector<CPRenderObjectBase*> order;
    for (const auto& object : batch->staticObjects) order.push_back(object.Get());
    const std::vector<CPRenderObjectBase*> aFirst = {objects[0].Get(), objects[2].Get(), objects[4].Get(),
                                                     objects[1].Get(), objects[3].Get()};
    const std::vector<CPRenderObjectBase*> bFirst = {objects[1].Get(), objects[3].Get(), objects[0].Get(),
                                                     objects[2].Get(), objects[4].Get()};
    EXPECT_TRUE(order == aFirst || order == bFirst);
}

}  // namespace
}  // namespace restest
