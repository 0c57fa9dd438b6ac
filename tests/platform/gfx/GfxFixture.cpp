#include "GfxFixture.h"

namespace gfxtest {

void GfxTest::SetUp()
{
    WindowTest::SetUp();
    if (HasFatalFailure()) return;
    std::string error;
    device_ = Device::Create(GetWindow(), error, Options());
    ASSERT_NE(device_, nullptr) << error;
}

void GfxTest::TearDown()
{
    device_.reset();
    WindowTest::TearDown();
}

std::vector<uint32_t> GfxTest::ReadTarget()
{
    const Texture* target = Dev().GetRenderTarget();
    const int32_t width = target != nullptr ? static_cast<int32_t>(target->Width()) : Dev().BackBufferWidth();
    const int32_t height = target != nullptr ? static_cast<int32_t>(target->Height()) : Dev().BackBufferHeight();
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    EXPECT_TRUE(Dev().ReadPixels({0, 0, width, height}, pixels.data()));
    return pixels;
}

uint32_t GfxTest::Pixel(int32_t x, int32_t y)
{
    uint32_t pixel = 0;
    EXPECT_TRUE(Dev().ReadPixels({x, y, x + 1, y + 1}, &pixel));
    return pixel;
}

void GfxTest::DrawScreenRect(float left, float top, float right, float bottom, uint32_t colour, float u0, float v0,
                             float u1, float v1)
{
    const ScreenVertex quad[4] = {
        {right, top, 0.5f, 1.0f, colour, u1, v0},
        {right, bottom, 0.5f, 1.0f, colour, u1, v1},
        {left, top, 0.5f, 1.0f, colour, u0, v0},
        {left, bottom, 0.5f, 1.0f, colour, u0, v1},
    };
    EXPECT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad));
}

void GfxTest::DrawFullScreen(uint32_t colour)
{
    const Texture* target = Dev().GetRenderTarget();
    const float width = static_cast<float>(target != nullptr ? target->Width() : Dev().BackBufferWidth());
    const float height = static_cast<float>(target != nullptr ? target->Height() : Dev().BackBufferHeight());
    DrawScreenRect(-0.5f, -0.5f, width - 0.5f, height - 0.5f, colour);
}

void GfxTest::UseVertexColour()
{
    Dev().SetRenderState(RenderState::Lighting, false);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    Dev().SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    Dev().SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg2);
    Dev().SetTextureStageState(0, TextureStageState::AlphaArg2, TextureArg::Diffuse);
}

Vertex MakeVertex(float x, float y, float z, uint32_t colour, float u, float v)
{
    return Vertex{x, y, z, 0.0f, 0.0f, -1.0f, colour, 0, u, v, u, v};
}

}  // namespace gfxtest
