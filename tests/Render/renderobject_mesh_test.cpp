#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "Render/PAnimTexModifier.h"
#include "Render/PFadeModifier.h"
#include "Render/PGameObject.h"
#include "Render/PLight.h"
#include "Render/PMaterial.h"
#include "Render/PMovingTexModifier.h"
#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "core/PSmartPointer.h"
#include "math/PMath.h"
#include "platform/Random.h"

namespace {

constexpr float kEps = 1e-4f;

void ExpectNear(const PVector3& expected, const PVector3& actual, const char* what, int i)
{
    EXPECT_NEAR(expected.x, actual.x, kEps) << what << " " << i;
    EXPECT_NEAR(expected.y, actual.y, kEps) << what << " " << i;
    EXPECT_NEAR(expected.z, actual.z, kEps) << what << " " << i;
}

SPVertex MakeVertex(PVector3 position, PVector3 normal, PVector2 tex0)
{
    SPVertex v{};
    v.position = position;
    v.normal = normal;
    v.diffuse = 0xFF808080u;
    v.specular = 0xFF000000u;
    v.tex0 = tex0;
    return v;
}

// A triangle of three vertices and a mesh owned by a scene object; the destination buffers are
// larger than the mesh and filled with a marker, so anything written past the counts shows.
class MeshTest : public ::testing::Test {
protected:
    static constexpr int kRoom = 8;
    static constexpr uint16_t kMarker = 0xBEEF;

    void SetUp() override
    {
        m_savedDelta = g_frameDelta;
        g_frameDelta = 0.0f;
        m_owner = TPtr<CPGameObject>(new CPGameObject("hull"));
        m_mesh = TPtr<CPRenderObject>(new CPRenderObject(m_owner.Get()));
        m_mesh->SetGeometry({MakeVertex({1, 0, 0}, {0, 0, 1}, {0, 0}), MakeVertex({0, 2, 0}, {1, 0, 0}, {1, 0}),
                             MakeVertex({0, 0, 3}, {0, 1, 0}, {0, 1})},
                            {0, 1, 2});
        m_owner->SetAttachment(CPGameObject::kMesh, m_mesh);
    }

    void TearDown() override
    {
        g_frameDelta = m_savedDelta;
        m_mesh.Reset();
        m_owner.Reset();
        CollectGarbage();
    }

    void Write(CPRenderObject& mesh, uint16_t base = 0)
    {
        for (SPVertex& v : m_vertices) v = MakeVertex({-99, -99, -99}, {}, {});
        for (uint16_t& i : m_indices) i = kMarker;
        mesh.WriteGeometry(m_vertices, m_indices, base);
    }

    // Places the owner and updates its transforms: turned a quarter about z, then moved.
    void PlaceOwner(const PVector3& position)
    {
        m_owner->SetRotation(QuaternionRotationAxis({0, 0, 1}, kHalfPi));
        m_owner->SetPosition(position);
        m_owner->UpdateTransform();
    }

    TPtr<CPGameObject> m_owner;
    TPtr<CPRenderObject> m_mesh;
    SPVertex m_vertices[kRoom] = {};
    uint16_t m_indices[kRoom] = {};

private:
    float m_savedDelta = 0.0f;
};

TEST_F(MeshTest, DynamicMeshIsWrittenInTheOwnersWorld)
{
    PlaceOwner({10, 20, 30});
    Write(*m_mesh, 100);

    // A quarter turn about z carries x to y and y to -x; then the translation.
    const PVector3 positions[3] = {{10, 21, 30}, {8, 20, 30}, {10, 20, 33}};
    const PVector3 normals[3] = {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        ExpectNear(positions[i], m_vertices[i].position, "position", i);
        ExpectNear(normals[i], m_vertices[i].normal, "normal", i);
        EXPECT_EQ(m_vertices[i].diffuse, 0xFF808080u);
    }
    EXPECT_EQ(m_vertices[3].position.x, -99.0f) << "nothing past the vertex count";
    EXPECT_EQ(m_indices[0], 100);
    EXPECT_EQ(m_indices[1], 101);
    EXPECT_EQ(m_indices[2], 102);
    EXPECT_EQ(m_indices[3], kMarker) << "nothing past the index count";
    EXPECT_FALSE(m_owner->IsMoved()) << "the mesh took the move";
}

TEST_F(MeshTest, NothingIsTransformedAgainUntilTheOwnerMoves)
{
    PlaceOwner({10, 20, 30});
    Write(*m_mesh);

    // Change the model without moving: the cached world vertices are written as they were.
    m_mesh->GetVertices()[0].position = {5, 0, 0};
    Write(*m_mesh);
    ExpectNear({10, 21, 30}, m_vertices[0].position, "cached", 0);

    // Updating without a change keeps the cache too.
    m_owner->UpdateTransform();
    Write(*m_mesh);
    ExpectNear({10, 21, 30}, m_vertices[0].position, "still cached", 0);

    PlaceOwner({0, 0, 0});
    Write(*m_mesh);
    ExpectNear({0, 5, 0}, m_vertices[0].position, "moved", 0);
}

TEST_F(MeshTest, NewGeometryOrANewOwnerIsPlacedAtTheNextWrite)
{
    PlaceOwner({10, 20, 30});
    Write(*m_mesh);

    m_mesh->SetGeometry({MakeVertex({2, 0, 0}, {0, 0, 1}, {0, 0})}, {0, 0, 0});
    Write(*m_mesh);
    ExpectNear({10, 22, 30}, m_vertices[0].position, "new geometry", 0);

    TPtr<CPGameObject> other(new CPGameObject("other"));
    other->SetPosition({-1, -1, -1});
    other->UpdateTransform();
    Write(*m_mesh);  // the first owner has not moved: still there
    m_mesh->SetOwner(other.Get());
    Write(*m_mesh);
    ExpectNear({1, -1, -1}, m_vertices[0].position, "new owner", 0);
}

TEST_F(MeshTest, MeshesThatAreNotDynamicWriteNothing)
{
    for (int32_t type : {CPRenderObjectBase::Static, CPRenderObjectBase::Animated}) {
        m_mesh->SetType(type);
        PlaceOwner({1, 2, 3});
        Write(*m_mesh);
        EXPECT_EQ(m_vertices[0].position.x, -99.0f) << "type " << type;
        EXPECT_EQ(m_indices[0], kMarker) << "type " << type;
        EXPECT_EQ(m_mesh->GetVertexCount(), 3) << "the counts are still the lists'";
        EXPECT_EQ(m_mesh->GetIndexCount(), 3);
    }
}

TEST_F(MeshTest, WithoutAnOwnerTheModelIsTheWorld)
{
    TPtr<CPRenderObject> mesh(new CPRenderObject(nullptr));
    mesh->SetGeometry({MakeVertex({1, 2, 3}, {0, 0, 1}, {0, 0})}, {0});
    Write(*mesh);
    ExpectNear({1, 2, 3}, m_vertices[0].position, "unowned", 0);
}

TEST_F(MeshTest, BrokenListsNeverWriteBeyondTheirCounts)
{
    PlaceOwner({0, 0, 0});
    // An index past the last vertex is drawn as the first vertex instead.
    m_mesh->GetIndices() = {0, 2, 7, 65535};
    // A world list of the wrong length: the written count is still the vertex count.
    m_mesh->GetWorldVertices().resize(6);
    Write(*m_mesh, 10);
    const uint16_t expected[4] = {10, 12, 10, 10};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(m_indices[k], expected[k]) << k;
    EXPECT_EQ(m_indices[4], kMarker);
    ExpectNear({0, 1, 0}, m_vertices[0].position, "re-placed", 0);
    EXPECT_EQ(m_vertices[3].position.x, -99.0f);
    EXPECT_EQ(m_mesh->GetWorldVertices().size(), 3u);
}

TEST_F(MeshTest, VertexEffectsRunInOrderOverTheWorldVertices)
{
    PlaceOwner({0, 0, 0});
    // Atlas first (two columns, cell 0), then a scroll: u × 0.5 + offset, not (u + offset) × 0.5.
    m_mesh->AddVertexEffect(std::make_unique<CPAnimTexModifier>(2, 1, 0.0f));
    platform::Srand(5);
    const float phase = static_cast<float>(platform::Rand());
    platform::Srand(5);
    m_mesh->AddVertexEffect(std::make_unique<CPMovingTexModifier>(0.3f, 0.0f));
    m_mesh->AddVertexEffect(std::make_unique<CPFadeModifier>(100.0f));
    m_mesh->AddVertexEffect(nullptr);
    EXPECT_EQ(m_mesh->GetVertexEffects().size(), 3u);

    g_frameDelta = 1.0f;
    Write(*m_mesh);
    const float offset = WrapTextureOffset(phase * 0.3f + 0.3f);
    ASSERT_GT(offset, 0.01f);
    EXPECT_FLOAT_EQ(m_vertices[1].tex0.x, 0.5f + offset);
    EXPECT_EQ(m_vertices[1].diffuse, 0x9BFFFFFFu);
    ExpectNear({-2, 0, 0}, m_vertices[1].position, "placed", 1);
    // The world vertices themselves are untouched by the effects.
    EXPECT_EQ(m_mesh->GetWorldVertices()[1].diffuse, 0xFF808080u);
    EXPECT_EQ(m_mesh->GetWorldVertices()[1].tex0.x, 1.0f);

    // Each write is one frame of every effect: the fade goes on from where it was.
    Write(*m_mesh);
    EXPECT_EQ(m_vertices[0].diffuse, 0x37FFFFFFu);
}

TEST_F(MeshTest, CopiesShareNoEffectsAndKeepTheirType)
{
    m_mesh->AddVertexEffect(std::make_unique<CPFadeModifier>(100.0f));
    m_mesh->AddVertexEffect(std::make_unique<CPAnimTexModifier>(4, 2, 8.0f));
    m_mesh->SetMeshBuffers("hull", nullptr);
    TPtr<CPMaterial> material(new CPMaterial(20, nullptr, nullptr));
    m_mesh->SetMaterial(material);

    TPtr<CPRenderObject> copy(new CPRenderObject(nullptr));
    copy->CopyFrom(m_mesh);
    EXPECT_EQ(copy->GetMaterial(), material) << "the material is shared";
    EXPECT_EQ(material->GetRefCount(), 3);
    EXPECT_EQ(copy->GetOwner(), m_owner.Get());
    EXPECT_EQ(copy->GetType(), CPRenderObjectBase::Dynamic);
    EXPECT_EQ(copy->GetVertexCount(), 3);
    EXPECT_EQ(copy->GetIndexCount(), 3);
    EXPECT_TRUE(copy->GetMeshName().empty()) << "a dynamic mesh has no prebuilt buffers";
    ASSERT_EQ(copy->GetVertexEffects().size(), 2u);
    for (size_t i = 0; i < 2; ++i) EXPECT_NE(copy->GetVertexEffects()[i].get(), m_mesh->GetVertexEffects()[i].get());

    copy->GetVertexEffects()[0]->Update(1.0f);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(copy->GetVertexEffects()[0].get())->GetAlpha(), 155.0f);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(m_mesh->GetVertexEffects()[0].get())->GetAlpha(), 255.0f);
    copy->GetVertices()[0].position = {7, 7, 7};
    EXPECT_EQ(m_mesh->GetVertices()[0].position, (PVector3{1, 0, 0}));

    m_mesh->SetType(CPRenderObjectBase::Static);
    TPtr<CPRenderObject> staticCopy(new CPRenderObject(nullptr));
    staticCopy->AddVertexEffect(std::make_unique<CPFadeModifier>(1.0f));
    staticCopy->CopyFrom(m_mesh);
    EXPECT_EQ(staticCopy->GetType(), CPRenderObjectBase::Static);
    EXPECT_EQ(staticCopy->GetMeshName(), "hull");
    EXPECT_EQ(staticCopy->GetVertexEffects().size(), 2u) << "a copy's effects are the source's only";
    EXPECT_EQ(staticCopy->GetClassName(), "CPRenderObject");
}

TEST_F(MeshTest, ALightFollowsItsObject)
{
    TPtr<CPLight> light(new CPLight);
    EXPECT_EQ(light->GetLight().position, (PVector3{0, 0, 0}));
    platform::gfx::Light record{};
    record.type = platform::gfx::LightType::Point;
    record.diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    record.range = 40.0f;
    record.attenuation1 = 0.1f;
    light->SetLight(record);
    light->SetFollowed(m_owner.Get());

    PlaceOwner({3, 4, 5});
    const platform::gfx::Light& lit = light->GetLight();
    EXPECT_EQ(lit.position, (PVector3{3, 4, 5}));
    EXPECT_EQ(lit.type, platform::gfx::LightType::Point);
    EXPECT_EQ(lit.diffuse, record.diffuse);
    EXPECT_EQ(lit.range, 40.0f);
    EXPECT_EQ(lit.attenuation1, 0.1f);

    PlaceOwner({-1, 0, 2});
    EXPECT_EQ(light->GetLight().position, (PVector3{-1, 0, 2}));
    EXPECT_EQ(light->GetClassName(), "CPLight");
}

}  // namespace
