// Materials that share an effect but not their textures.
#include <gtest/gtest.h>

#include "renderer_fixture.h"

namespace rendertest {
namespace {

constexpr char kTwoTextures[] = R"(
texture tex0;
texture tex1;
technique Textured {
    pass {
        Lighting = false;
        CullMode = None;
        ColorOp[0] = SelectArg1;
        ColorArg1[0] = Texture;
    }
}
)";

using MaterialTexturesTest = RendererTest;

// The second material binds fewer textures than the first had: the unit it leaves unset must
// not keep the first material's texture, which has been freed.
TEST_F(MaterialTexturesTest, AMaterialWithFewerTexturesDrawsAfterTheOneBeforeIsFreed) {
    WriteEffect("two.fx", kTwoTextures);
    WriteTexture("red.tga", kRed);
    WriteTexture("green.tga", kGreen);
    Render().SetLayerCamera(40, PixelCamera());
    TPtr<CPMaterial> one = GetMaterialManager()->GetMaterial(40, "two.fx", {"green.tga", "red.tga"});
    TPtr<CPMaterial> other = GetMaterialManager()->GetMaterial(40, "two.fx", {"green.tga"});
    TPtr<CPRenderObject> first = FullScreenQuad(one, kWhite);
    Drawn([&] { Block().AddRenderObject(first); });

    first = nullptr;
    one = nullptr;
    TPtr<CPRenderObject> second = FullScreenQuad(other, kWhite);
    CapturedFrame frame;
    for (int i = 0; i < 14; ++i) {  // until the first material has left the renderer's queue
        CollectGarbage();
        frame = Frame([&] { Block().AddRenderObject(second); });
    }
    ASSERT_FALSE(frame.pixels.empty());
    EXPECT_TRUE(ColourNear(kGreen, frame.Pixel(kMiddleX, kMiddleY)));
}

}  // namespace
}  // namespace rendertest
