// What scene objects do with their displayed things: copies get attachments of their own, a mesh
// follows its object's world matrix, wrecks show their damaged material.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "Render/PFadeModifier.h"
#include "Render/PGameObject.h"
#include "Render/PLight.h"
#include "Render/PMaterial.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/PVertex.h"

namespace {

class AttachmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedDelta = g_frameDelta;
        g_frameDelta = 0.0f;
    }

    void TearDown() override {
        g_frameDelta = m_savedDelta;
        m_objects.clear();
        CollectGarbage();
    }

    TPtr<CPGameObject> Make(const std::string& name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    // An object showing a one-triangle mesh with a fade modifier, at x = 2.
    TPtr<CPGameObject> MeshObject(const std::string& name) {
        TPtr<CPGameObject> object = Make(name);
        TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
        SPVertex vertex{};
        vertex.position = {1.0f, 0.0f, 0.0f};
        mesh->SetGeometry({vertex, vertex, vertex}, {0, 1, 2});
        mesh->SetMaterial(NewMaterial());
        mesh->AddVertexEffect(std::make_unique<CPFadeModifier>(100.0f));
        object->SetAttachment(CPGameObject::kMesh, mesh);
        object->SetPosition({2.0f, 0.0f, 0.0f});
        object->UpdateTransform();
        return object;
    }

    static TPtr<CPMaterial> NewMaterial() { return TPtr<CPMaterial>(new CPMaterial(20, nullptr, nullptr)); }

    static CPRenderObject* MeshOf(const TPtr<CPGameObject>& object) { return object->GetAttachment().Get<CPRenderObject>(); }

    static float Alpha(const CPRenderObject* mesh) {
        return static_cast<const CPFadeModifier*>(mesh->GetVertexEffects()[0].get())->GetAlpha();
    }

    std::vector<TPtr<CPGameObject>> m_objects;
    float m_savedDelta = 0.0f;
};

TEST_F(AttachmentTest, AMeshFollowsItsObjectsWorldMatrix) {
    TPtr<CPGameObject> object = MeshObject("hull");
    EXPECT_EQ(MeshOf(object)->GetWorld(), object->GetWorld());
    object->SetRotation(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, 1.0f));
    object->UpdateTransform();
    EXPECT_EQ(MeshOf(object)->GetWorld(), object->GetWorld());
}

TEST_F(AttachmentTest, ACopiedMeshIsANewMeshWithItsOwnModifiers) {
    TPtr<CPGameObject> source = MeshObject("hull");
    TPtr<CPGameObject> copy = Make("copy");
    copy->CopyFrom(source);

    CPRenderObject* original = MeshOf(source);
    CPRenderObject* mesh = MeshOf(copy);
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(mesh, original);
    EXPECT_EQ(copy->GetKind(), CPGameObject::kMesh);
    EXPECT_EQ(mesh->GetOwner(), copy.Get());
    EXPECT_EQ(original->GetOwner(), source.Get());
    EXPECT_EQ(mesh->GetMaterial().Get(), original->GetMaterial().Get());  // materials are shared
    EXPECT_EQ(mesh->GetVertexCount(), 3);
    EXPECT_EQ(mesh->GetWorld(), copy->GetWorld());
    ASSERT_EQ(mesh->GetVertexEffects().size(), 1u);
    EXPECT_NE(mesh->GetVertexEffects()[0].get(), original->GetVertexEffects()[0].get());

    // Fading the copy out, moving it and changing its geometry leave the source as it was.
    mesh->GetVertexEffects()[0]->Update(1.0f);
    mesh->GetVertices()[0].position.x = 50.0f;
    copy->SetPosition({9.0f, 0.0f, 0.0f});
    copy->UpdateTransform();
    EXPECT_FLOAT_EQ(Alpha(mesh), 155.0f);
    EXPECT_FLOAT_EQ(Alpha(original), 255.0f);
    EXPECT_FLOAT_EQ(original->GetVertices()[0].position.x, 1.0f);
    EXPECT_FLOAT_EQ(original->GetWorld().m[3][0], 2.0f);
}

TEST_F(AttachmentTest, ACopiedSpriteKeepsSizeAngleAndMaterial) {
    TPtr<CPGameObject> source = Make("glow");
    TPtr<CPSprite> sprite(new CPSprite(1.5f));
    sprite->SetOwner(source.Get());
    sprite->SetAngle(0.25f);
    sprite->SetMaterial(NewMaterial());
    source->SetAttachment(CPGameObject::kSprite, sprite);

    TPtr<CPGameObject> copy = Make("copy");
    copy->CopyFrom(source);
    const CPSprite* copied = copy->GetAttachment().Get<CPSprite>();
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, sprite.Get());
    EXPECT_EQ(copied->GetOwner(), copy.Get());
    EXPECT_EQ(copied->GetSpriteSize(), 1.5f);
    EXPECT_EQ(copied->GetAngle(), 0.25f);
    EXPECT_EQ(copied->GetMaterial().Get(), sprite->GetMaterial().Get());
}

TEST_F(AttachmentTest, ACopiedLightFollowsTheCopy) {
    TPtr<CPGameObject> source = Make("lamp");
    TPtr<CPLight> light(new CPLight);
    platform::gfx::Light record{};
    record.range = 12.0f;
    record.attenuation1 = 0.5f;
    light->SetLight(record);
    light->SetFollowed(source.Get());
    source->SetAttachment(CPGameObject::kLight, light);
    source->SetPosition({1.0f, 1.0f, 1.0f});
    source->UpdateTransform();

    TPtr<CPGameObject> copy = Make("copy");
    copy->CopyFrom(source);
    copy->SetPosition({4.0f, 5.0f, 6.0f});
    copy->UpdateTransform();
    CPLight* copied = copy->GetAttachment().Get<CPLight>();
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, light.Get());
    EXPECT_EQ(copied->GetFollowed(), copy.Get());
    EXPECT_EQ(copied->GetLight().range, 12.0f);
    EXPECT_EQ(copied->GetLight().attenuation1, 0.5f);
    EXPECT_EQ(copied->GetLight().position, (PVector3{4.0f, 5.0f, 6.0f}));
    EXPECT_EQ(light->GetLight().position, (PVector3{1.0f, 1.0f, 1.0f}));
}

TEST_F(AttachmentTest, AWreckedFrontShowsItsDamagedMaterial) {
    TPtr<CPGameObject> front = MeshObject("front");
    TPtr<CPMaterial> damaged = NewMaterial();
    front->SetDamagedMaterial(damaged);
    front->SetHealth(5.0f);
    front->Explode(0);
    EXPECT_EQ(MeshOf(front)->GetMaterial().Get(), damaged.Get());
    EXPECT_EQ(front->GetHealth(), 0.0f);

    // Anything else keeps its material and health on a first hit.
    TPtr<CPGameObject> wall = MeshObject("wall");
    const TPtr<CPMaterial> own = MeshOf(wall)->GetMaterial();
    wall->SetDamagedMaterial(damaged);
    wall->SetHealth(5.0f);
    wall->Explode(0);
    EXPECT_EQ(MeshOf(wall)->GetMaterial().Get(), own.Get());
    EXPECT_EQ(wall->GetHealth(), 5.0f);
}

TEST_F(AttachmentTest, SecondaryExplosionsWreckTheWholeTree) {
    TPtr<CPGameObject> root = MeshObject("tower");
    TPtr<CPGameObject> top = MeshObject("top");
    TPtr<CPGameObject> plain = MeshObject("plain");
    root->AddChild(top);
    root->AddChild(plain);
    TPtr<CPMaterial> damaged = NewMaterial();
    root->SetDamagedMaterial(damaged);
    top->SetDamagedMaterial(damaged);
    const TPtr<CPMaterial> own = MeshOf(plain)->GetMaterial();

    root->SecondaryExplosion();
    EXPECT_EQ(MeshOf(root)->GetMaterial().Get(), damaged.Get());
    EXPECT_EQ(MeshOf(top)->GetMaterial().Get(), damaged.Get());
    EXPECT_EQ(MeshOf(plain)->GetMaterial().Get(), own.Get());  // it has no damaged material
}

}  // namespace
