// The object loader builds scene object trees from descriptions and mesh files.
#include <gtest/gtest.h>

#include "Render/PAnimatedObject.h"
#include "Render/PEffect.h"
#include "Render/PLight.h"
#include "Render/PMaterial.h"
#include "Render/PMeshBuffers.h"
#include "Render/PSprite.h"
#include "Render/PTexture.h"
#include "Render/PTextureBlock.h"
#include "core/PGlobalTimer.h"
#include "objectloader_fixture.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/PathResolver.h"
#include "support/LogCapture.h"

namespace {

using namespace modeltest;
using loadertest::ObjectLoaderTest;

std::string EffectOf(const TPtr<CPMaterial>& material) {
    return material && material->GetEffect() ? material->GetEffect()->GetName() : "(none)";
}

std::string FirstTextureOf(const TPtr<CPMaterial>& material) {
    CPTextureBlock* block = material ? material->GetTextureBlock() : nullptr;
    CPTexture* texture = block ? block->GetTexture(0) : nullptr;
    return texture ? texture->GetName() : "(none)";
}

TEST_F(ObjectLoaderTest, TheRootIsTheOnlyNodeOrAGroupNamedAfterTheDescription) {
    struct Case {
        std::vector<SPMeshNode> nodes;
        const char* rootName;
        CPGameObject::Kind kind;
        size_t children;
    };
    const Case cases[] = {
        {{}, "Group.rdf", CPGameObject::kNothing, 0},
        {{Node("Only", {Node("child")})}, "only", CPGameObject::kMesh, 1},
        {{Node("one"), Node("two")}, "Group.rdf", CPGameObject::kNothing, 2},
    };
    for (const Case& c : cases) {
        WriteMesh("group.msh", MeshFile(false, c.nodes));
        WriteDescription("group.rdf", "mesh = group.msh\n");
        const TPtr<CPGameObject> root = Load("Group.rdf");
        ASSERT_TRUE(root) << c.rootName;
        EXPECT_EQ(root->GetName(), c.rootName);
        EXPECT_EQ(root->GetKind(), c.kind) << c.rootName;
        EXPECT_EQ(root->GetChildren().size(), c.children) << c.rootName;
        EXPECT_FALSE(root->IsActive());
    }
}

TEST_F(ObjectLoaderTest, NodePropertiesGiveMaterialsAndFlags) {
    WriteMesh("parts.msh", MeshFile(false, {Node("plain"), Node("tree"), Node("burner")}));
    WriteDescription("parts.rdf",
                     "Mesh = Parts.MSH\n"
                     "[Plain]\n"
                     "EffectFile = HOLEY.FX\n"
                     "TextureFile1 = Error.TGA\n"
                     "type = 3\n"
                     "shadow = 0\n"
                     "collision = 0\n"
                     "param = Gate\n"
                     "[tree]\n"
                     "effectfile = holey_tree.fx\n"
                     "texturefile1 = error.tga\n"
                     "[burner]\n"
                     "flametype = 5\n"
                     "visible = 0\n");
    const TPtr<CPGameObject> root = Load("parts.rdf", 20);
    ASSERT_TRUE(root);
    const TPtr<CPGameObject> plain = root->GetChild("plain");
    ASSERT_TRUE(plain && Mesh(plain));
    const TPtr<CPMaterial> material = Mesh(plain)->GetMaterial();
    ASSERT_TRUE(material);
    EXPECT_EQ(material->GetLayer(), 23);
    EXPECT_EQ(EffectOf(material), "holey.fx");
    EXPECT_EQ(FirstTextureOf(material), "error.tga");
    EXPECT_FALSE(plain->CastsShadow());
    EXPECT_FALSE(plain->HasCollision());
    EXPECT_EQ(plain->GetParam(), "gate");
    EXPECT_EQ(plain->GetShadowMaterial()->GetLayer(), 16) << "the shadow choice comes before the shadow flag";
    EXPECT_EQ(EffectOf(plain->GetShadowMaterial()), "holey_shadow.fx");

    const TPtr<CPGameObject> tree = root->GetChild("tree");
    EXPECT_EQ(EffectOf(tree->GetShadowMaterial()), "holey_shadow.fx");
    EXPECT_EQ(FirstTextureOf(tree->GetShadowMaterial()), "error.tga");
    EXPECT_EQ(tree->GetShadowMaterial()->GetLayer(), 16);

    const TPtr<CPGameObject> burner = root->GetChild("burner");
    EXPECT_EQ(burner->GetShadowMaterial(), Render().GetShadowMaterial()) << "any other effect: the renderer's";
    EXPECT_EQ(burner->GetFlameIndex(), 3);
    EXPECT_EQ(burner->GetDamageClass(), 3);
    EXPECT_FLOAT_EQ(burner->GetHealth(), 5.0f);
    EXPECT_FLOAT_EQ(burner->GetReward(), 5.0f);
    EXPECT_FALSE(burner->IsVisible());
    EXPECT_EQ(Mesh(burner)->GetMaterial()->GetLayer(), 20) << "no type: the layer base";
}

TEST_F(ObjectLoaderTest, ADamagedMaterialOnlyWhenTheFireTextureIsOnDisk) {
    std::filesystem::copy_file(std::filesystem::path(VX_SAMPLE_SOURCE) / "data/textures/error.tga",
                               "data/textures/wall_fire.tga");
    platform::InvalidateListings();
    WriteMesh("walls.msh", MeshFile(false, {Node("dotted"), Node("bare"), Node("rock")}));
    WriteDescription("walls.rdf",
                     "m = walls.msh\n[dotted]\ntexturefile1 = wall.tga\n[bare]\ntexturefile1 = wall\n"
                     "[rock]\ntexturefile1 = rock.tga\n");
    const TPtr<CPGameObject> root = Load("walls.rdf");
    ASSERT_TRUE(root);
    for (const char* name : {"dotted", "bare"}) {
        const TPtr<CPMaterial> damaged = root->GetChild(name)->GetDamagedMaterial();
        ASSERT_TRUE(damaged) << name;
        EXPECT_EQ(damaged->GetLayer(), 20);
        EXPECT_EQ(EffectOf(damaged), "holey.fx");
        EXPECT_EQ(FirstTextureOf(damaged), "wall_fire.tga");
    }
    EXPECT_FALSE(root->GetChild("rock")->GetDamagedMaterial());
}

TEST_F(ObjectLoaderTest, SpritesLightsAndEmittersFindTheirParents) {
    WriteMesh("lamp.msh", MeshFile(false, {Node("lamp", {Node("arm", {Node("tip")})})}));
    WriteDescription("lamp.rdf",
                     "m = lamp.msh\n"
                     "sprite = glow,1,2,3,0.5,\n"
                     "sprite = spark,0,0,0,0.25,tip\n"
                     "sprite = lost,0,0,0,0.25,nowhere\n"
                     "light = bulb,arm,x,1,2,3,0.5,0.25,1,0.1,12\n"
                     "light = orphan,,x,0,0,0,1,1,1,0,1\n"
                     "psystem = smoke,arm,0,0,1,0.5,puff,soot\n"
                     "psystem = deep,tip,0,0,0,0.5,puff\n"
                     "[glow]\ntype = 1\n");
    const TPtr<CPGameObject> root = Load("lamp.rdf", 20);
    ASSERT_TRUE(root);
    const TPtr<CPGameObject> glow = root->GetChild("glow");
    ASSERT_TRUE(glow) << "an empty parent: the root";
    EXPECT_EQ(glow->GetKind(), CPGameObject::kSprite);
    EXPECT_FALSE(glow->CastsShadow());
    EXPECT_EQ(glow->GetPosition(), (PVector3{1.0f, 2.0f, 3.0f}));
    EXPECT_FLOAT_EQ(glow->GetAttachment().Get<CPSprite>()->GetSpriteSize(), 0.5f);
    EXPECT_EQ(glow->GetAttachment().Get<CPSprite>()->GetMaterial()->GetLayer(), 21);
    EXPECT_TRUE(root->FindChild("tip")->GetChild("spark")) << "a sprite finds its parent anywhere";
    EXPECT_FALSE(root->FindChild("lost"));

    const TPtr<CPGameObject> bulb = root->FindChild("arm")->GetChild("bulb");
    ASSERT_TRUE(bulb);
    const platform::gfx::Light& light = bulb->GetAttachment().Get<CPLight>()->GetLight();
    EXPECT_EQ(light.type, platform::gfx::LightType::Point);
    EXPECT_FLOAT_EQ(light.diffuse.g, 0.25f);
    EXPECT_FLOAT_EQ(light.ambient.r, 0.5f);
    EXPECT_FLOAT_EQ(light.attenuation1, 0.1f);
    EXPECT_FLOAT_EQ(light.range, 12.0f);
    EXPECT_FLOAT_EQ(bulb->GetObb().GetHalfSize().x, 12.0f);
    EXPECT_FALSE(root->FindChild("orphan")) << "an empty parent attaches a light only to a root without a name";

    const TPtr<CPGameObject> smoke = root->GetChild("arm")->GetChild("smoke");
    ASSERT_TRUE(smoke) << "an emitter under a child of the root";
    EXPECT_EQ(smoke->GetKind(), CPGameObject::kEmitter);
    EXPECT_FALSE(root->FindChild("deep")) << "an emitter whose parent is a grandchild is discarded";
}

TEST_F(ObjectLoaderTest, SpritesLightsAndEmittersWithNumbersThatAreNotFiniteAreLeftOut) {
    WriteMesh("lamp.msh", MeshFile(false, {Node("lamp")}));
    WriteDescription("lamp.rdf",
                     "m = lamp.msh\n"
                     "sprite = glow,1,2,3,0.5,\n"
                     "sprite = hot,1,inf,3,0.5,\n"
                     "sprite = huge,0,0,0,1e39,\n"
                     "light = lit,lamp,x,0,0,0,1,1,1,0,1\n"
                     "light = dark,lamp,x,0,0,0,nan,1,1,0,1\n"
                     "psystem = steam,lamp,0,0,1,0.5,puff\n"
                     "psystem = smoke,lamp,0,0,1,-inf,puff\n");
    TPtr<CPGameObject> root;
    const std::string log = testsupport::LogOf([&] { root = Load("lamp.rdf"); });
    ASSERT_TRUE(root);
    for (const char* kept : {"glow", "lit", "steam"}) EXPECT_TRUE(root->GetChild(kept)) << kept;
    for (const char* left : {"hot", "huge", "dark", "smoke"}) {
        EXPECT_FALSE(root->GetChild(left)) << left;
        EXPECT_NE(log.find(std::string("\"") + left + "\" left out"), std::string::npos) << log;
    }
    EXPECT_NE(log.find("lamp.rdf: the sprite \"hot\""), std::string::npos) << log;
}

TEST_F(ObjectLoaderTest, AnInfiniteSpeedInTheDescriptionNeverReachesTheAnimation) {
    WriteAnimation("beast.ani", AnimatedFile(AnimatedNode("beast")));
    WriteDescription("beast.rdf", "x = anim;idle,beast.ani\nspeed = inf\n");
    const TPtr<CPGameObject> beast = Load("beast.rdf");
    ASSERT_TRUE(beast);
    CPAnimatedObject* animated = beast->GetAttachment().Get<CPAnimatedObject>();
    ASSERT_TRUE(animated);
    EXPECT_FLOAT_EQ(animated->speed, 1.0f);
}

TEST_F(ObjectLoaderTest, TheSameDescriptionTwiceGivesTwoTreesSharingTheirMeshes) {
    WriteMesh("crate.msh", MeshFile(false, {Node("crate")}));
    WriteDescription("crate.rdf", "m = crate.msh\n");
    const TPtr<CPGameObject> first = Load("crate.rdf");
    const TPtr<CPGameObject> second = Load("crate.rdf");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.Get(), second.Get());
    ASSERT_TRUE(Mesh(first)->GetMeshBuffers());
    EXPECT_EQ(Mesh(first)->GetMeshBuffers(), Mesh(second)->GetMeshBuffers());
    EXPECT_EQ(Mesh(first)->GetType(), CPRenderObjectBase::Static);
    EXPECT_EQ(Mesh(first)->GetVertexCount(), 0) << "no copy stays with the render object";
    EXPECT_EQ(Mesh(first)->GetMeshBuffers()->vertices.at(0).diffuse, 0xFFFFFFFFu) << "the loader's colour starts white";
}

TEST_F(ObjectLoaderTest, MeshKeysOfDifferentFilesNeverMeet) {
    // "ab.m" + "sh" and "ab.msh" + "" would make the same key if the names were only joined.
    SPMeshNode wide = Node("sh");
    SetSquare(wide.vertices, wide.indices, 5.0f);
    WriteMesh("ab.m", MeshFile(false, {wide}));
    WriteMesh("ab.msh", MeshFile(false, {Node("")}));
    WriteDescription("one.rdf", "m = ab.m\n");
    WriteDescription("two.rdf", "m = ab.msh\n");
    const TPtr<CPGameObject> one = Load("one.rdf");
    const TPtr<CPGameObject> two = Load("two.rdf");
    ASSERT_TRUE(one && two && Mesh(one)->GetMeshBuffers() && Mesh(two)->GetMeshBuffers());
    EXPECT_NE(Mesh(one)->GetMeshBuffers(), Mesh(two)->GetMeshBuffers());
    EXPECT_FLOAT_EQ(Mesh(two)->GetMeshBuffers()->vertices[0].position.z, 0.0f);
}

TEST_F(ObjectLoaderTest, LandKeepsItsGeometryAndVertexEffectsKeepAPartDynamic) {
    WriteMesh("ground.msh", MeshFile(false, {Node("land"), Node("water")}));
    WriteDescription("ground.rdf", "m = ground.msh\n[water]\nvertexeffect = movingtex 0.1,0;bogus 1\n");
    Loader().SetVertexColour(0xFF102030u);
    const TPtr<CPGameObject> root = Load("ground.rdf");
    ASSERT_TRUE(root);
    for (const char* name : {"land", "water"}) {
        CPRenderObject* mesh = Mesh(root->GetChild(name));
        EXPECT_EQ(mesh->GetType(), CPRenderObjectBase::Dynamic) << name;
        ASSERT_EQ(mesh->GetVertexCount(), 4) << name;
        EXPECT_EQ(mesh->GetVertices()[0].diffuse, 0xFF102030u);
    }
    EXPECT_EQ(Mesh(root->GetChild("water"))->GetVertexEffects().size(), 1u) << "an unknown keyword adds nothing";
    EXPECT_FALSE(root->GetChild("water")->IsStatic());
}

TEST_F(ObjectLoaderTest, PhysicsNodesCarryTheirBodyShapesAndTransform) {
    SPMeshNode car = Node("Car", {Node("fr")});
    car.transform.position = {1.0f, 2.0f, 3.0f};
    car.transform.rotation = {0.0f, 0.0f, 0.70710678f, 0.70710678f};
    car.body = Box(2.0f, 1.0f, 4.0f, {0.0f, 0.0f, 0.0f});
    car.body.mass = 150.0f;
    SPShapeRecord turned = Box(2.0f, 4.0f, 6.0f, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.70710678f, 0.70710678f});
    SPShapeRecord wheel = Box(0.0f, 0.5f, 0.0f, {1.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.70710678f, 0.70710678f});
    wheel.type = kShapeCylinder;
    wheel.diameter = 0.8f;
    SPShapeRecord odd = Box(1.0f, 1.0f, 1.0f, {0.0f, 0.0f, 0.0f});
    odd.type = 7;
    car.shapes = {turned, wheel, odd};
    WriteMesh("car.p3d", MeshFile(true, {car}));
    WriteDescription("car.rdf", "m = CAR.P3D\n");

    const TPtr<CPGameObject> root = Load("car.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetName(), "car");
    EXPECT_EQ(root->GetPosition(), (PVector3{1.0f, 2.0f, 3.0f}));
    EXPECT_FLOAT_EQ(root->GetRotation().z, -0.70710678f) << "the conjugate of the stored rotation";
    const CPPhysicData* physics = root->GetPhysicData().Get();
    ASSERT_TRUE(physics);
    EXPECT_FLOAT_EQ(physics->mass, 1.5f);
    EXPECT_EQ(physics->mainSizes, (PVector3{1.0f, 2.0f, 4.0f})) << "height, sizeX, sizeY";
    EXPECT_EQ(root->GetObb().GetHalfSize().x, 1.0f) << "the box of the vertices";

    ASSERT_EQ(physics->shapes.size(), 2u) << "other shape types are skipped";
    const CPPhysicShape& box = physics->shapes[0];
    EXPECT_EQ(box.position, (PVector3{0.0f, 0.0f, 3.0f}));
    EXPECT_EQ(box.s0, 2.0f);
    EXPECT_EQ(box.s1, 4.0f);
    EXPECT_EQ(box.s2, 6.0f);
    EXPECT_FLOAT_EQ(box.rotation.z, 0.70710678f) << "a box shape keeps the stored rotation";
    EXPECT_FLOAT_EQ(box.mass, 1.0f);
    ASSERT_EQ(root->GetParts().size(), 1u) << "only boxes get part boxes";
    const CPObb& part = root->GetParts()[0];
    EXPECT_EQ(part.GetHalfSize().x, 1.0f);
    EXPECT_EQ(part.GetHalfSize().y, 3.0f);
    EXPECT_EQ(part.GetHalfSize().z, 2.0f);
    // The part box turns the other way: its local x axis goes to -y.
    const PVector3 axis = Vec3TransformNormal({1.0f, 0.0f, 0.0f}, part.GetLocal());
    EXPECT_NEAR(axis.y, -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(part.GetLocal().m[3][2], 3.0f);
    const CPPhysicShape& cylinder = physics->shapes[1];
    EXPECT_EQ(cylinder.type, CPPhysicShape::Cylinder);
    EXPECT_EQ(cylinder.position, (PVector3{1.0f, 1.0f, 0.0f}));
    EXPECT_FLOAT_EQ(cylinder.rotation.z, -0.70710678f);
    EXPECT_EQ(cylinder.s0, 5.0f);
    EXPECT_FLOAT_EQ(cylinder.s3, 0.8f);
    EXPECT_TRUE(root->GetChild("fr")->GetPhysicData());
}

TEST_F(ObjectLoaderTest, AMatrixTableAfterTheNodesIsSkippedAndPlacesTheTree) {
    SPMeshNode car = Node("car", {Node("fr")});
    car.children[0].transform.position = {1.0f, 2.0f, 0.5f};
    SPMeshFile file = MeshFile(true, {car});
    WriteMesh("plain.p3d", file);
    file.hasMatrixTable = true;
    file.matrices = {SPMatrixEntry{"car", {}}};
    WriteMesh("table.p3d", file);
    WriteDescription("plain.rdf", "m = plain.p3d\n");
    WriteDescription("table.rdf", "m = table.p3d\n");
    const TPtr<CPGameObject> placed = Load("table.rdf");
    const TPtr<CPGameObject> unplaced = Load("plain.rdf");
    ASSERT_TRUE(placed && unplaced);
    EXPECT_FLOAT_EQ(placed->GetChild("fr")->GetWorld().m[3][1], 2.0f) << "the tree's transforms are made";
    EXPECT_FLOAT_EQ(unplaced->GetChild("fr")->GetWorld().m[3][1], 0.0f) << "left to the caller";
}

TEST_F(ObjectLoaderTest, ScaleActsOnlyOnVertexAnimatedObjects) {
    SPMeshNode crate = Node("crate");
    crate.body = Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f});
    crate.shapes = {Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f})};
    WriteMesh("crate.p3d", MeshFile(true, {crate}));
    WriteDescription("big.rdf", "m = crate.p3d\nscale = 2\n");
    const TPtr<CPGameObject> stat = Load("big.rdf");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->GetPhysicData()->mainSizes, (PVector3{2.0f, 1.0f, 1.0f}));
    EXPECT_EQ(stat->GetParts()[0].GetHalfSize().z, 1.0f);

    SPAnimatedNode node = AnimatedNode("beast");
    node.body = Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f});
    node.bounds = Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f});
    node.body.mass = 300.0f;
    WriteAnimation("beast.ani", AnimatedFile(node));
    WriteDescription("beast.rdf", "x = anim;idle,beast.ani\nscale = 2\n");
    const TPtr<CPGameObject> beast = Load("beast.rdf");
    ASSERT_TRUE(beast);
    EXPECT_EQ(beast->GetKind(), CPGameObject::kAnimated);
    EXPECT_EQ(beast->GetPhysicData()->mainSizes, (PVector3{4.0f, 2.0f, 2.0f}));
    EXPECT_FLOAT_EQ(beast->GetPhysicData()->mass, 3.0f) << "the mass is not scaled";
    const PVector4& half = beast->GetObb().GetHalfSize();
    EXPECT_EQ((PVector3{half.x, half.y, half.z}), (PVector3{2.0f, 2.0f, 4.0f})) << "the full scaled sizes";
    EXPECT_FLOAT_EQ(beast->GetObb().GetLocal().m[3][2], 2.0f);
}

TEST_F(ObjectLoaderTest, ACrateFromAPhysicsMeshFallsInThePhysicsWorld) {
    SPMeshNode crate = Node("crate");
    crate.transform.position = {0.0f, 0.0f, 10.0f};
    crate.body = Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f});
    crate.body.mass = 300.0f;
    crate.shapes = {Box(1.0f, 2.0f, 1.0f, {0.0f, 0.0f, 0.0f})};
    WriteMesh("crate.p3d", MeshFile(true, {crate}));
    WriteDescription("crate.rdf", "m = crate.p3d\n");
    const TPtr<CPGameObject> object = Load("crate.rdf");
    ASSERT_TRUE(object && object->GetPhysicData());

    TPtr<CPPhysics> physics(new CPPhysics);
    physics->Init();
    object->GetPhysicData()->AddToWorld();
    physics->TrackObject(object);
    const PhysicsRigidBody* body = object->GetPhysicData()->rigidBody;
    ASSERT_TRUE(body);
    EXPECT_FLOAT_EQ(body->GetMass(), 3.0f) << "the stored mass × 0.01";
    const float before = g_frameDelta;
    for (int frame = 0; frame < 10; ++frame) {
        g_frameDelta = 0.04f;
        physics->Update();
    }
    g_frameDelta = before;
    EXPECT_LT(object->GetPosition().z, 7.0f) << "it fell";
    EXPECT_FLOAT_EQ(object->GetWorld().m[3][2], object->GetPosition().z);
    physics->Stop();
}

}  // namespace
