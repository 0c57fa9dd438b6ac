#include <gtest/gtest.h>

#include "GfxFixture.h"
#include "platform/gfx/DeviceListener.h"

namespace gfxtest {
namespace {

// Holds what a Direct3D reset loses, the way the engine's device objects do: released when the
// device is lost, made again when it is reset.
class Owner : public DeviceListener {
public:
    explicit Owner(Device& device) : device_(device) { Create(); }

    void OnDeviceLost() override
    {
        ++lost;
        EXPECT_FALSE(ring->IsLost());  // still usable while being released
        ring.reset();
        target.reset();
    }
    void OnDeviceReset() override
    {
        ++reset;
        Create();
    }

    std::unique_ptr<VertexBuffer> ring;
    std::unique_ptr<Texture> target;
    int lost = 0;
    int reset = 0;

private:
    void Create()
    {
        ring = device_.CreateVertexBuffer(3, Usage::Dynamic, Pool::Default);
        target = device_.CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    }
    Device& device_;
};

class ResetTest : public GfxTest {
protected:
    // Streams a full-target triangle pair of one colour through the owner's ring into its
    // target and reads the target's centre.
    uint32_t DrawThroughRing(Owner& owner, uint32_t colour)
    {
        Vertex* v = owner.ring->Lock(0, 0, LockDiscard);
        if (v == nullptr) return 0;
        v[0] = MakeVertex(-1, -1, 0.5f, colour);
        v[1] = MakeVertex(-1, 3, 0.5f, colour);
        v[2] = MakeVertex(3, -1, 0.5f, colour);
        EXPECT_TRUE(owner.ring->Unlock());
        EXPECT_TRUE(Dev().SetRenderTarget(owner.target.get()));
        UseVertexColour();
        ClearAll(kBlack);
        Dev().SetStreamSource(owner.ring.get());
        EXPECT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));
        const uint32_t centre = Pixel(4, 4);
        EXPECT_TRUE(Dev().SetRenderTarget(nullptr));
        return centre;
    }
};

TEST_F(ResetTest, ResetRecreatesDynamicBuffersAndTargetsAndDrawingContinues)
{
    Owner owner(Dev());
    Dev().SetListener(&owner);
    ASSERT_EQ(DrawThroughRing(owner, kRed), kRed);
    Dev().Reset();
    EXPECT_EQ(owner.lost, 1);
    EXPECT_EQ(owner.reset, 1);
    ASSERT_NE(owner.ring, nullptr);
    ASSERT_NE(owner.target, nullptr);
    EXPECT_FALSE(owner.ring->IsLost());
    EXPECT_EQ(DrawThroughRing(owner, kGreen), kGreen);
    Dev().SetListener(nullptr);
}

TEST_F(ResetTest, ManagedResourcesSurviveAndForgottenDefaultOnesAreLost)
{
    auto managed = Dev().CreateVertexBuffer(3, Usage::Static, Pool::Managed);
    auto texture = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    auto forgotten = Dev().CreateVertexBuffer(3, Usage::Dynamic, Pool::Default);
    auto forgottenTarget = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    Vertex* v = managed->Lock(0, 0, LockNone);
    v[0] = MakeVertex(-1, -1, 0.5f, kBlue);
    v[1] = MakeVertex(-1, 3, 0.5f, kBlue);
    v[2] = MakeVertex(3, -1, 0.5f, kBlue);
    ASSERT_TRUE(managed->Unlock());
    ASSERT_TRUE(Dev().SetRenderTarget(forgottenTarget.get()));
    Dev().SetStreamSource(forgotten.get());

    Dev().Reset();
    EXPECT_EQ(Dev().GetRenderTarget(), nullptr);
    EXPECT_TRUE(forgotten->IsLost());
    EXPECT_TRUE(forgottenTarget->IsLost());
    EXPECT_EQ(forgotten->Lock(0, 0, LockDiscard), nullptr);
    EXPECT_FALSE(Dev().SetRenderTarget(forgottenTarget.get()));
    EXPECT_FALSE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));  // the binding went with it
    Dev().SetStreamSource(forgotten.get());
    EXPECT_FALSE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));

    EXPECT_FALSE(managed->IsLost());
    EXPECT_FALSE(texture->IsLost());
    UseVertexColour();
    ClearAll(kBlack);
    Dev().SetStreamSource(managed.get());
    ASSERT_TRUE(Dev().DrawPrimitive(PrimitiveType::TriangleList, 0, 1));
    EXPECT_EQ(Pixel(10, 10), kBlue);
}

TEST_F(ResetTest, ResetReturnsEveryStateToItsDefault)
{
    Dev().SetRenderState(RenderState::CullMode, CullMode::None);
    Dev().SetRenderState(RenderState::AlphaBlendEnable, true);
    Dev().SetSamplerState(1, SamplerState::AddressU, TextureAddress::Clamp);
    Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::Add);
    Dev().SetTransform(TransformType::World, MatrixTranslation(1, 2, 3));
    ASSERT_TRUE(Dev().SetViewport({1, 1, 4, 4, 0, 1}));
    Dev().Reset();
    EXPECT_EQ(Dev().GetRenderState(RenderState::CullMode), static_cast<uint32_t>(CullMode::CCW));
    EXPECT_EQ(Dev().GetRenderState(RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(Dev().GetSamplerState(1, SamplerState::AddressU), static_cast<uint32_t>(TextureAddress::Wrap));
    EXPECT_EQ(Dev().GetTextureStageState(0, TextureStageState::ColorOp), static_cast<uint32_t>(TextureOp::Modulate));
    EXPECT_EQ(Dev().GetTransform(TransformType::World), MatrixIdentity());
    EXPECT_EQ(Dev().GetViewport().width, kWidth);
}

TEST(DeviceLifetime, ResourcesOutlivingTheirDeviceAreLost)
{
    platform::WindowConfig config;
    config.width = 16;
    config.height = 16;
    std::string error;
    auto window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    auto device = Device::Create(*window, error);
    ASSERT_NE(device, nullptr) << error;
    auto buffer = device->CreateVertexBuffer(3, Usage::Static, Pool::Managed);
    auto texture = device->CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
    std::string messages;
    auto effect = device->CreateEffect("technique T { pass P { } }", messages);
    ASSERT_NE(effect, nullptr) << messages;
    device.reset();
    EXPECT_TRUE(buffer->IsLost());
    EXPECT_TRUE(texture->IsLost());
    EXPECT_TRUE(effect->IsLost());
    EXPECT_EQ(buffer->Lock(0, 0, LockNone), nullptr);
    uint32_t passes = 0;
    EXPECT_FALSE(effect->Begin(passes));
}

}  // namespace
}  // namespace gfxtest
