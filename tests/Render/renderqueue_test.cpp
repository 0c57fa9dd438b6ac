// The layered queue and the render block: what is handed over in a frame is batched per
// material and drawn in layer order, in that frame only.
#include <gtest/gtest.h>

#include "Render/PGameObject.h"
#include "Render/PIVBlock.h"
#include "Render/PLight.h"
#include "Render/PSprite.h"
#include "platform/gfx/Effect.h"
#include "renderer_fixture.h"

namespace rendertest {
namespace {

class RenderQueueTest : public RendererTest {
protected:
    // A scene object showing a full-screen quad of that colour on the material.
    static TPtr<CPGameObject> QuadObject(const std::string& name, const TPtr<CPMaterial>& material, uint32_t colour) {
        TPtr<CPGameObject> object(new CPGameObject(name));
        object->SetAttachment(CPGameObject::kMesh, FullScreenQuad(material, colour));
        return object;
    }

    static TPtr<CPGameObject> LightObject(float red) {
        TPtr<CPLight> light(new CPLight);
        platform::gfx::Light record{};
        record.type = platform::gfx::LightType::Directional;
        record.diffuse = {red, 0.0f, 0.0f, 1.0f};
        record.direction = {0.0f, 0.0f, 1.0f};
        light->SetLight(record);
        TPtr<CPGameObject> object(new CPGameObject("light"));
        object->SetAttachment(CPGameObject::kLight, light);
        return object;
    }
};

struct LayerOrderCase {
    const char* name;
    bool lowLayerFirst;
};

class LayerOrderTest : public RenderQueueTest, public ::testing::WithParamInterface<LayerOrderCase> {};

TEST_P(LayerOrderTest, Layer10IsDrawnBeforeLayer300WhateverTheSubmissionOrder) {
    Render().SetLayerCamera(10, PixelCamera());
    TPtr<CPRenderObject> low = FullScreenQuad(Material(10), kRed);
    TPtr<CPRenderObject> high = Quad(Material(300), 0.0f, 0.0f, kWidth / 2, kHeight, kGreen);
    const CapturedFrame frame = Drawn([&] {
        if (GetParam().lowLayerFirst) Block().AddRenderObject(low);
        Block().AddRenderObject(high);
        if (!GetParam().lowLayerFirst) Block().AddRenderObject(low);
    });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kGreen, frame.Pixel(kWidth / 4, kMiddleY)));
    EXPECT_TRUE(ColourNear(kRed, frame.Pixel(3 * kWidth / 4, kMiddleY)));
}

INSTANTIATE_TEST_SUITE_P(SubmissionOrders, LayerOrderTest,
                         ::testing::Values(LayerOrderCase{"LowFirst", true}, LayerOrderCase{"HighFirst", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RenderQueueTest, AnObjectNotHandedOverAgainDisappearsInTheNextFrame) {
    TPtr<CPRenderObject> quad = FullScreenQuad(Material(200), kWhite);
    const CapturedFrame shown = Drawn([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(shown.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, shown.Pixel(kWidth / 2, kMiddleY)));

    const CapturedFrame next = Frame();
    ASSERT_FALSE(next.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, next.Pixel(kWidth / 2, kMiddleY)));
    EXPECT_EQ(quad->GetRefCount(), 1) << "the frame let go of the object";
}

// A script may give back the last reference to a scene object after it was handed over and
// before the frame is drawn: the frame keeps it until the frame ends, as the sprite reads its
// owner's place while its geometry is written.
TEST_F(RenderQueueTest, ASceneObjectReleasedAfterItWasHandedOverIsDrawnAndLetGoAfterTheFrame) {
    Frame([&] { Block().AddRenderObject(FullScreenQuad(Material(200), kBlack)); });  // makes the batch
    TPtr<CPSprite> sprite(new CPSprite(8.0f));
    sprite->SetMaterial(Material(200));
    TPtr<CPGameObject> spark(new CPGameObject("spark"));
    spark->SetAttachment(CPGameObject::kSprite, sprite);
    sprite->SetOwner(spark.Get());
    spark->SetPosition({kMiddleX, kMiddleY, 0.5f});
    spark->UpdateTransform();

    Block().AddObject(spark);
    spark = nullptr;
    CollectGarbage();
    const CapturedFrame frame = Frame();
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(kMiddleX, kMiddleY))) << "drawn where its owner stood";
    CollectGarbage();
    EXPECT_EQ(sprite->GetRefCount(), 1) << "the owner was freed once the frame ended";
}

TEST_F(RenderQueueTest, ObjectsOfOneMaterialShareOneDrawCall) {
    TPtr<CPMaterial> material = Material(200);
    TPtr<CPRenderObject> left = Quad(material, 0.0f, 0.0f, kWidth / 2, kHeight, kRed);
    TPtr<CPRenderObject> right = Quad(material, kWidth / 2, 0.0f, kWidth, kHeight, kBlue);
    const CapturedFrame frame = Drawn([&] {
        Block().AddRenderObject(left);
        Block().AddRenderObject(right);
    });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kRed, frame.Pixel(kWidth / 4, kMiddleY)));
    EXPECT_TRUE(ColourNear(kBlue, frame.Pixel(3 * kWidth / 4, kMiddleY)));
    EXPECT_EQ(Render().GetDrawCalls(), 1);
    EXPECT_EQ(Render().GetTrianglesDrawn(), 4);
}

TEST_F(RenderQueueTest, AHiddenObjectIsNotDrawnNorAreItsChildrenThroughTheTree) {
    TPtr<CPGameObject> parent = QuadObject("parent", Material(200), kRed);
    TPtr<CPGameObject> child = QuadObject("child", Material(201), kGreen);
    ASSERT_TRUE(parent->AddChild(child));
    parent->SetEnabled(false);
    child->SetEnabled(true);

    const CapturedFrame hidden = Drawn([&] { Block().AddObjectTree(parent); });
    ASSERT_FALSE(hidden.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, hidden.Pixel(kWidth / 2, kMiddleY)));

    parent->SetEnabled(true);
    const CapturedFrame shown = Drawn([&] { Block().AddObjectTree(parent); });
    ASSERT_FALSE(shown.pixels.empty());
    EXPECT_TRUE(ColourNear(kGreen, shown.Pixel(kWidth / 2, kMiddleY))) << "the child, on the later layer, on top";
}

TEST_F(RenderQueueTest, AnObjectIsDrawnWithAGivenMaterialOnlyWhenItCastsAShadow) {
    TPtr<CPMaterial> own = Material(10);
    TPtr<CPMaterial> shadow = Material(250);
    TPtr<CPGameObject> object(new CPGameObject("caster"));
    object->SetAttachment(CPGameObject::kMesh, Quad(own, 0.0f, 0.0f, kWidth / 2, kHeight, kBlue));
    object->SetShadow(false);

    const CapturedFrame without = Drawn([&] { Block().AddObjectTreeWithMaterial(shadow, object); });
    ASSERT_FALSE(without.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, without.Pixel(kWidth / 4, kMiddleY)));

    object->SetShadow(true);
    const CapturedFrame with = Drawn([&] { Block().AddObjectTreeWithMaterial(shadow, object); });
    ASSERT_FALSE(with.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlue, with.Pixel(kWidth / 4, kMiddleY)));
}

TEST_F(RenderQueueTest, ThirtyLightsAreTakenInAFrameAndTheThirtyFirstIsIgnored) {
    TPtr<CPGameObject> light = LightObject(1.0f);
    for (int32_t i = 0; i < CPRender::kMaxLights; ++i) Block().AddObject(light);
    EXPECT_EQ(Render().GetLightCount(), CPRender::kMaxLights);
    Block().AddObject(light);
    EXPECT_EQ(Render().GetLightCount(), CPRender::kMaxLights);
    Frame();
    EXPECT_EQ(Render().GetLightCount(), 0) << "lights last one frame";
}

TEST_F(RenderQueueTest, StaticMeshesAreDrawnWithTheirWorldTimesTheLayerWorldAndLetGoAfterTheFrame) {
    const SPVertex corners[4] = {
        {{0.0f, 0.0f, 0.5f}, {}, kWhite, 0, {}, {}},
        {{16.0f, 0.0f, 0.5f}, {}, kWhite, 0, {}, {}},
        {{16.0f, 16.0f, 0.5f}, {}, kWhite, 0, {}, {}},
        {{0.0f, 16.0f, 0.5f}, {}, kWhite, 0, {}, {}},
    };
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    SPMeshBuffers* mesh = Render().GetMeshBuffers("Tile", corners, indices, 4, 6);
    ASSERT_NE(mesh, nullptr);
    TPtr<CPRenderObject> tile(new CPRenderObject(nullptr));
    tile->SetType(CPRenderObjectBase::Static);
    tile->SetMeshBuffers("tile", mesh);
    tile->SetMaterial(Material(30));
    tile->SetWorld(MatrixTranslation(32.0f, 16.0f, 0.0f));
    Render().SetLayerCamera(30, PixelCamera());
    Render().SetLayerWorldMatrix(MatrixTranslation(0.0f, 8.0f, 0.0f), 30);

    const CapturedFrame frame = Drawn([&] { Block().AddRenderObject(tile); });
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, frame.Pixel(40, 32)));
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(40, 20))) << "moved by the layer's world matrix";
    EXPECT_TRUE(ColourNear(kBlack, frame.Pixel(8, 8))) << "placed by its own world matrix";
    EXPECT_EQ(Render().GetDrawCalls(), 0) << "static draws are not counted";
    EXPECT_EQ(tile->GetRefCount(), 1) << "the finished frame keeps no static object alive";
}

TEST_F(RenderQueueTest, AGroupWhoseEffectCannotBeginIsSkippedAndItsMaterialsKeepNoBatches) {
    TPtr<CPMaterial> material = Material(200);
    TPtr<CPRenderObject> quad = FullScreenQuad(material, kWhite);
    Drawn([&] { Block().AddRenderObject(quad); });

    platform::gfx::Effect& effect = *material->GetEffect()->GetEffect();
    uint32_t passes = 0;
    ASSERT_TRUE(effect.Begin(passes));  // a second Begin now fails
    for (int frame = 0; frame < 3; ++frame) {
        const CapturedFrame skipped = Frame([&] { Block().AddRenderObject(quad); });
        ASSERT_FALSE(skipped.pixels.empty());
        EXPECT_TRUE(ColourNear(kBlack, skipped.Pixel(kWidth / 2, kMiddleY)));
        EXPECT_TRUE(material->GetDrawList().empty()) << "frame " << frame;
    }
    effect.End();

    const CapturedFrame again = Frame([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(again.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, again.Pixel(kWidth / 2, kMiddleY)));
    EXPECT_EQ(Render().GetDrawCalls(), 1) << "drawn once, not once per skipped frame";
}

TEST_F(RenderQueueTest, AMaterialIdleForMoreThanTenFramesLeavesTheQueueAndComesBackWhenQueued) {
    TPtr<CPMaterial> material = Material(200);
    TPtr<CPRenderObject> quad = FullScreenQuad(material, kWhite);
    Drawn([&] { Block().AddRenderObject(quad); });
    EXPECT_TRUE(material->IsRegistered());

    for (int frame = 0; frame < 10; ++frame) Frame();
    EXPECT_TRUE(material->IsRegistered()) << "ten idle frames keep the entry";
    Frame();
    EXPECT_FALSE(material->IsRegistered()) << "the eleventh drops it";
    EXPECT_EQ(material->GetRefCount(), 2) << "held by the test and the quad, no more by the queue";

    const CapturedFrame back = Drawn([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(back.pixels.empty());
    EXPECT_TRUE(material->IsRegistered());
    EXPECT_TRUE(ColourNear(kWhite, back.Pixel(kWidth / 2, kMiddleY)));
}

TEST_F(RenderQueueTest, TheFirstFrameOfANewBlockDrawsNoDynamicGeometry) {
    TPtr<CPRenderObject> quad = FullScreenQuad(Material(200), kWhite);
    const CapturedFrame first = Frame([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(first.pixels.empty());
    EXPECT_TRUE(ColourNear(kBlack, first.Pixel(kWidth / 2, kMiddleY)));
    const CapturedFrame second = Frame([&] { Block().AddRenderObject(quad); });
    ASSERT_FALSE(second.pixels.empty());
    EXPECT_TRUE(ColourNear(kWhite, second.Pixel(kWidth / 2, kMiddleY)));
}

}  // namespace
}  // namespace rendertest
