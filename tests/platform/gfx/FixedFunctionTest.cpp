#include <gtest/gtest.h>

#include <vector>

#include "GfxFixture.h"

namespace gfxtest {
namespace {

struct Step {
    const char* change;
    bool stage;  // a texture stage state, else a render state
    uint32_t index;
    uint32_t state;
    uint32_t value;
    uint32_t expected;
};

// The built-in pipeline draws with a program made for the states that steer it. One state changes
// before each draw, and the very next draw must follow it, back and forth, in one frame.
class FixedFunctionTest : public GfxTest {
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        if (HasFatalFailure()) return;
        target_ = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
        ASSERT_NE(target_, nullptr);
        first_ = Filled(0x80FF8040u);
        second_ = Filled(0xFF4080FFu);
        Dev().SetTexture(0, first_.get());
        Dev().SetTexture(1, second_.get());
        Dev().SetRenderState(RenderState::CullMode, CullMode::None);
        Dev().SetRenderState(RenderState::Lighting, false);
        Dev().SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
        Dev().SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg1);
        Dev().SetTextureStageState(1, TextureStageState::ColorOp, TextureOp::Disable);
        Dev().SetTextureStageState(1, TextureStageState::AlphaOp, TextureOp::Disable);
    }

    std::unique_ptr<Texture> Filled(uint32_t colour)
    {
        auto texture = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
        EXPECT_NE(texture, nullptr);
        const std::vector<uint32_t> texels(16, colour);
        EXPECT_TRUE(texture->Update(0, nullptr, texels.data(), 16));
        return texture;
    }

    // The target after clearing it to transparent black and drawing engine vertices over it,
    // with the identity transforms.
    uint32_t Draw()
    {
        EXPECT_TRUE(Dev().SetRenderTarget(target_.get()));
        ClearAll(0);
        const Vertex quad[4] = {MakeVertex(-1, 1, 0.5f, kDiffuse, 0, 0), MakeVertex(1, 1, 0.5f, kDiffuse, 1, 0),
                                MakeVertex(-1, -1, 0.5f, kDiffuse, 0, 1), MakeVertex(1, -1, 0.5f, kDiffuse, 1, 1)};
        EXPECT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad));
        const uint32_t pixel = Pixel(1, 1);
        EXPECT_TRUE(Dev().SetRenderTarget(nullptr));
        return pixel;
    }

    // Sets the step's state to value; returns the value it had.
    uint32_t Set(const Step& step, uint32_t value)
    {
        if (step.stage) {
            const auto state = static_cast<TextureStageState>(step.state);
            const uint32_t old = Dev().GetTextureStageState(step.index, state);
            Dev().SetTextureStageState(step.index, state, value);
            return old;
        }
        const auto state = static_cast<RenderState>(step.state);
        const uint32_t old = Dev().GetRenderState(state);
        Dev().SetRenderState(state, value);
        return old;
    }

    static constexpr uint32_t kDiffuse = 0x80808080u;
    std::unique_ptr<Texture> target_;
    std::unique_ptr<Texture> first_;   // 0x80FF8040
    std::unique_ptr<Texture> second_;  // 0xFF4080FF
};


constexpr uint32_t Of(TextureStageState s) { return static_cast<uint32_t>(s); }
constexpr uint32_t Of(RenderState s) { return static_cast<uint32_t>(s); }
constexpr uint32_t Of(TextureOp v) { return static_cast<uint32_t>(v); }
constexpr uint32_t Of(TextureArg v) { return static_cast<uint32_t>(v); }
constexpr uint32_t Of(CompareFunc v) { return static_cast<uint32_t>(v); }

TEST_F(FixedFunctionTest, EveryStateSteeringThePipelineTakesEffectOnTheNextDraw)
{
    using TSS = TextureStageState;
    using RS = RenderState;
    // The vertex colour is 0x80808080, the first texture 0x80FF8040, the second 0xFF4080FF; the
    // lit colour without lights is black with the material's alpha (1).
    const Step steps[] = {
        {"start: the first texture", true, 0, 0, Of(TextureOp::SelectArg1), 0x80FF8040u},
        {"colour from the vertex", true, 0, Of(TSS::ColorArg1), Of(TextureArg::Diffuse), 0x80808080u},
        {"colour: vertex × vertex", true, 0, Of(TSS::ColorOp), Of(TextureOp::Modulate), 0x80404040u},
        {"colour: vertex × texture", true, 0, Of(TSS::ColorArg2), Of(TextureArg::Texture), 0x80804020u},
        {"alpha: texture × current", true, 0, Of(TSS::AlphaOp), Of(TextureOp::Modulate), 0x40804020u},
        {"second stage adds its texture", true, 1, Of(TSS::ColorOp), Of(TextureOp::Add), 0x40C0C0FFu},
        {"second stage's alpha from its texture", true, 1, Of(TSS::AlphaOp), Of(TextureOp::SelectArg1), 0xFFC0C0FFu},
        {"second stage adds the vertex colour", true, 1, Of(TSS::ColorArg1), Of(TextureArg::Diffuse), 0xFFFFC0A0u},
        {"alpha test, greater than 0x80", false, 0, Of(RS::AlphaTestEnable), 1, 0xFFFFC0A0u},
        {"alpha test, less than 0x80", false, 0, Of(RS::AlphaFunc), Of(CompareFunc::Less), 0u},
        {"second stage's alpha off", true, 1, Of(TSS::AlphaOp), Of(TextureOp::Disable), 0x40FFC0A0u},
        {"alpha test, greater again", false, 0, Of(RS::AlphaFunc), Of(CompareFunc::Greater), 0u},
        {"alpha test off", false, 0, Of(RS::AlphaTestEnable), 0, 0x40FFC0A0u},
        {"second stage off", true, 1, Of(TSS::ColorOp), Of(TextureOp::Disable), 0x40804020u},
        {"lighting on", false, 0, Of(RS::Lighting), 1, 0x80000000u},
        {"lighting off", false, 0, Of(RS::Lighting), 0, 0x40804020u},
    };
    Dev().SetRenderState(RenderState::AlphaRef, 0x80);
    Dev().SetRenderState(RenderState::AlphaFunc, CompareFunc::Greater);
    std::vector<uint32_t> replaced;
    for (const Step& step : steps) {
        replaced.push_back(Set(step, step.value));
        EXPECT_TRUE(ColourNear(step.expected, Draw(), 1)) << step.change;
    }
    // Back through the same states: each draw still follows its states.
    for (size_t i = std::size(steps); i-- > 1;) {
        Set(steps[i], replaced[i]);
        EXPECT_TRUE(ColourNear(steps[i - 1].expected, Draw(), 1)) << "undoing " << steps[i].change;
    }
}

}  // namespace
}  // namespace gfxtest
