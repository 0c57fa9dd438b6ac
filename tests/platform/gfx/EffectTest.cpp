#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "GfxFixture.h"
#include "math/PMatrix.h"

namespace gfxtest {
namespace {

class EffectTest : public GfxTest {
protected:
    std::unique_ptr<Effect> Make(const std::string& source)
    {
        std::string messages;
        auto effect = Dev().CreateEffect(source, messages);
        EXPECT_NE(effect, nullptr) << messages;
        return effect;
    }

    // Draws a full-screen quad with every pass of the effect.
    void DrawWith(Effect& effect, uint32_t colour = kWhite)
    {
        uint32_t passes = 0;
        ASSERT_TRUE(effect.Begin(passes));
        for (uint32_t pass = 0; pass < passes; ++pass) {
            ASSERT_TRUE(effect.BeginPass(pass));
            DrawFullScreen(colour);
            ASSERT_TRUE(effect.EndPass());
        }
        ASSERT_TRUE(effect.End());
    }

    std::unique_ptr<Texture> Solid(uint32_t colour)
    {
        auto texture = Dev().CreateTexture(4, 4, 1, Format::A8R8G8B8, TextureUsage::Normal, Pool::Managed);
        const std::vector<uint32_t> pixels(16, colour);
        EXPECT_TRUE(texture->Update(0, nullptr, pixels.data(), 16));
        return texture;
    }
};

std::string ReadSample(const char* name)
{
    const auto path = std::filesystem::path(__FILE__).parent_path() / "../../../data/game/data/effects" / name;
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(EffectTest, SampleEffectsCompile)
{
    for (const char* name : {"_default.fx", "error.fx"}) {
        const std::string source = ReadSample(name);
        ASSERT_FALSE(source.empty()) << name;
        std::string messages;
        auto effect = Dev().CreateEffect(source, messages);
        ASSERT_NE(effect, nullptr) << name << ": " << messages;
        EXPECT_EQ(messages, "") << name;
        EXPECT_EQ(effect->ActiveTechnique(), 0u) << name;
    }
    auto fallback = Make(ReadSample("_default.fx"));
    EXPECT_EQ(fallback->FindParameter("tex0"), 0);
    auto error = Make(ReadSample("error.fx"));
    EXPECT_GE(error->FindParameter("time"), 0);
}

TEST_F(EffectTest, FirstTechniqueThatCompilesIsUsed)
{
    auto effect = Make(R"(
pixelshader Broken { void main() { vx_FragColor = vec4(1.0, 0.0, 0.0, 1.0) } }
pixelshader Green { void main() { vx_FragColor = vec4(0.0, 1.0, 0.0, 1.0); } }
technique First { pass { PixelShader = Broken; } }
technique Second { pass { PixelShader = Green; } }
)");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->TechniqueCount(), 2u);
    EXPECT_EQ(effect->ActiveTechnique(), 1u);
    EXPECT_EQ(effect->TechniqueName(effect->ActiveTechnique()), "Second");
    ClearAll(kBlack);
    DrawWith(*effect);
    EXPECT_EQ(Pixel(3, 3), kGreen);

    std::string messages;
    auto afterBadState = Dev().CreateEffect("technique First {\n pass { Fog = 1; } }\n"
                                            "technique Second { pass { Lighting = false; } }\n",
                                            messages);
    ASSERT_NE(afterBadState, nullptr) << messages;
    EXPECT_EQ(afterBadState->ActiveTechnique(), 1u);
    EXPECT_EQ(messages, "technique 'First': line 2: unknown state 'Fog'\n");

    Dev().CreateEffect(R"(pixelshader P { void main() { vx_FragColor = vec4(1.0, 0.0, 0.0, 1.0); } }
technique T { pass { PixelShader = P; } })",
                       messages);
    EXPECT_EQ(messages, "");
}

// Whether a compiler message names the line of the effect file, in any of the forms drivers
// write: "0:4(23)", "0(4)", "ERROR: 0:4:", "line 4".
bool NamesLine(const std::string& messages, int line)
{
    const std::string number = std::to_string(line);
    const std::regex form("(\\b[0-9]+[:(]|\\bline )" + number + "\\b", std::regex::icase);
    return std::regex_search(messages, form);
}

TEST_F(EffectTest, EffectWithoutAUsableTechniqueIsRefusedWithTheCompilerMessages)
{
    std::string messages;
    for (int line : {2, 4}) {
        const std::string blank(static_cast<size_t>(line - 2), '\n');
        EXPECT_EQ(Dev().CreateEffect("pixelshader P {\n" + blank + " void main() { undeclared = 1.0; }\n}\n"
                                     "technique Only { pass One { PixelShader = P; } }",
                                     messages),
                  nullptr);
        EXPECT_NE(messages.find("technique 'Only', pass 'One'"), std::string::npos) << messages;
        EXPECT_NE(messages.find("undeclared"), std::string::npos) << messages;
        EXPECT_TRUE(NamesLine(messages, line)) << line << ": " << messages;
    }

    EXPECT_EQ(Dev().CreateEffect("technique {", messages), nullptr);
    EXPECT_EQ(messages, "line 1: a technique needs at least one pass");
}

TEST_F(EffectTest, PassChangesNoStateOutsideItself)
{
    auto effect = Make(R"(texture tex0;
technique T { pass {
    CullMode = None; AlphaBlendEnable = true; SrcBlend = One; DestBlend = One; ZWriteEnable = false;
    MinFilter[1] = Linear; ColorOp[0] = SelectArg2; ColorArg2[0] = Diffuse; Lighting = false;
} })");
    ASSERT_NE(effect, nullptr);
    auto engineTexture = Solid(kRed);
    auto effectTexture = Solid(kGreen);
    Dev().SetTexture(0, engineTexture.get());
    ASSERT_TRUE(effect->SetTexture(effect->FindParameter("tex0"), effectTexture.get()));
    Dev().SetRenderState(RenderState::AlphaBlendEnable, false);
    Dev().SetRenderState(RenderState::FillMode, FillMode::Solid);

    uint32_t passes = 0;
    ASSERT_TRUE(effect->Begin(passes));
    ASSERT_EQ(passes, 1u);
    EXPECT_FALSE(effect->Begin(passes));
    ASSERT_TRUE(effect->BeginPass(0));
    EXPECT_FALSE(effect->BeginPass(0));
    EXPECT_EQ(Dev().GetRenderState(RenderState::CullMode), static_cast<uint32_t>(CullMode::None));
    EXPECT_EQ(Dev().GetRenderState(RenderState::AlphaBlendEnable), 1u);
    EXPECT_EQ(Dev().GetSamplerState(1, SamplerState::MinFilter), static_cast<uint32_t>(TextureFilter::Linear));
    EXPECT_EQ(Dev().GetTexture(0), effectTexture.get());
    Dev().SetRenderState(RenderState::AlphaTestEnable, true);  // the engine's own change inside the pass
    ASSERT_TRUE(effect->EndPass());
    ASSERT_TRUE(effect->End());
    EXPECT_FALSE(effect->End());

    EXPECT_EQ(Dev().GetRenderState(RenderState::CullMode), static_cast<uint32_t>(CullMode::CCW));
    EXPECT_EQ(Dev().GetRenderState(RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(Dev().GetRenderState(RenderState::SrcBlend), static_cast<uint32_t>(BlendFactor::One));
    EXPECT_EQ(Dev().GetRenderState(RenderState::DestBlend), static_cast<uint32_t>(BlendFactor::Zero));
    EXPECT_EQ(Dev().GetRenderState(RenderState::ZWriteEnable), 1u);
    EXPECT_EQ(Dev().GetRenderState(RenderState::Lighting), 1u);
    EXPECT_EQ(Dev().GetSamplerState(1, SamplerState::MinFilter), static_cast<uint32_t>(TextureFilter::Point));
    EXPECT_EQ(Dev().GetTextureStageState(0, TextureStageState::ColorOp), static_cast<uint32_t>(TextureOp::Modulate));
    EXPECT_EQ(Dev().GetTexture(0), engineTexture.get());
    EXPECT_EQ(Dev().GetRenderState(RenderState::AlphaTestEnable), 1u);

    // And on the screen: the pass drew additively without culling; afterwards culling and
    // replacement are back.
    Dev().SetRenderState(RenderState::AlphaTestEnable, false);
    ClearAll(0xFF000080u);
    const ScreenVertex counterClockwise[3] = {{-1, -1, 0.5f, 1, 0xFF800000u, 0, 0},
                                              {-1, 100, 0.5f, 1, 0xFF800000u, 0, 0},
                                              {100, -1, 0.5f, 1, 0xFF800000u, 0, 0}};
    ASSERT_TRUE(effect->Begin(passes));
    ASSERT_TRUE(effect->BeginPass(0));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, counterClockwise));
    ASSERT_TRUE(effect->EndPass());
    ASSERT_TRUE(effect->End());
    EXPECT_EQ(Pixel(2, 2), 0xFF800080u);
    UseVertexColour();
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleList, 1, counterClockwise));
    EXPECT_EQ(Pixel(2, 2), 0xFF800080u);  // culled
}

TEST_F(EffectTest, TextureAndFloatParametersReachThePixelShader)
{
    auto effect = Make(R"(texture tex0;
texture tex1;
float time;
pixelshader Mix { void main() { vx_FragColor = (texture(tex0, vx_TexCoord0) + texture(tex1, vx_TexCoord0)) * time; } }
technique T { pass { PixelShader = Mix; } })");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->ParameterCount(), 3u);
    EXPECT_EQ(effect->GetParameterType(1), ParameterType::Texture);
    EXPECT_EQ(effect->FindParameter("tex2"), -1);
    auto red = Solid(kRed);
    auto blue = Solid(kBlue);
    ASSERT_TRUE(effect->SetTexture(0, red.get()));
    ASSERT_TRUE(effect->SetTexture(1, blue.get()));
    ASSERT_TRUE(effect->SetFloat(2, 0.5f));
    EXPECT_FALSE(effect->SetFloat(0, 0.5f));
    EXPECT_FALSE(effect->SetTexture(2, red.get()));
    ClearAll(kBlack);
    DrawWith(*effect);
    EXPECT_TRUE(ColourNear(0xFF800080u, Pixel(4, 4), 1));

    // Changed inside a pass, a parameter takes effect at once.
    uint32_t passes = 0;
    ASSERT_TRUE(effect->Begin(passes));
    ASSERT_TRUE(effect->BeginPass(0));
    ASSERT_TRUE(effect->SetFloat(2, 1.0f));
    ASSERT_TRUE(effect->SetTexture(1, nullptr));  // samples white
    DrawFullScreen(kWhite);
    ASSERT_TRUE(effect->EndPass());
    ASSERT_TRUE(effect->End());
    EXPECT_EQ(Pixel(4, 4), kWhite);
}

TEST_F(EffectTest, VertexShaderGetsTheEngineTransformsAndAlphaTestStillApplies)
{
    auto effect = Make(R"(
vertexshader Move {
    void main() {
        gl_Position = vec4(vx_Position, 1.0) * vx_World * vx_View * vx_Projection;
        vx_Color = vx_Diffuse;
    }
}
pixelshader Flat { void main() { vx_FragColor = vx_Color; } }
technique T { pass { VertexShader = Move; PixelShader = Flat; AlphaTestEnable = true; AlphaFunc = Greater; AlphaRef = 0x80; } })");
    ASSERT_NE(effect, nullptr);
    Dev().SetTransform(TransformType::Projection, MatrixOrthoOffCenterLH(0, kWidth, kHeight, 0, 0, 1));
    Dev().SetTransform(TransformType::World, MatrixTranslation(10, 5, 0));
    // A pixel-sized square at (0, 0) moved by the world transform to pixel (10, 5).
    const Vertex square[4] = {MakeVertex(0.5f, -0.5f, 0.5f, kGreen), MakeVertex(0.5f, 0.5f, 0.5f, kGreen),
                              MakeVertex(-0.5f, -0.5f, 0.5f, kGreen), MakeVertex(-0.5f, 0.5f, 0.5f, kGreen)};
    Vertex faint[4];
    for (int i = 0; i < 4; ++i) {
        faint[i] = square[i];
        faint[i].diffuse = 0x40FF0000u;
    }
    ClearAll(kBlack);
    uint32_t passes = 0;
    ASSERT_TRUE(effect->Begin(passes));
    ASSERT_TRUE(effect->BeginPass(0));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, square));
    Dev().SetTransform(TransformType::World, MatrixTranslation(20, 5, 0));
    ASSERT_TRUE(Dev().DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, faint));  // fails the alpha test
    ASSERT_TRUE(effect->EndPass());
    ASSERT_TRUE(effect->End());
    const std::vector<uint32_t> pixels = ReadTarget();
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            ASSERT_EQ(pixels[static_cast<size_t>(y * kWidth + x)], x == 10 && y == 5 ? kGreen : kBlack) << x << "," << y;
        }
    }
}

TEST_F(EffectTest, PixelShaderPassDrawsScreenVerticesIntoRenderTargets)
{
    // The way bloom works: a pixel shader over a pre-transformed quad, target to target.
    auto effect = Make(R"(texture source;
pixelshader Halve { void main() { vx_FragColor = texture(source, vx_TexCoord0) * 0.5; } }
technique T { pass { PixelShader = Halve; ZEnable = false; } })");
    ASSERT_NE(effect, nullptr);
    auto first = Dev().CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    auto second = Dev().CreateTexture(8, 8, 1, Format::A8R8G8B8, TextureUsage::RenderTarget, Pool::Default);
    ASSERT_TRUE(Dev().SetRenderTarget(first.get()));
    ClearAll(kBlack);
    UseVertexColour();
    DrawScreenRect(-0.5f, -0.5f, 7.5f, 1.5f, kWhite);  // the two top rows
    ASSERT_TRUE(Dev().SetRenderTarget(second.get()));
    ClearAll(kBlack);
    ASSERT_TRUE(effect->SetTexture(effect->FindParameter("source"), first.get()));
    DrawWith(*effect);
    const std::vector<uint32_t> pixels = ReadTarget();
    EXPECT_TRUE(ColourNear(0x80808080u, pixels[0], 1));
    EXPECT_TRUE(ColourNear(0x80808080u, pixels[15], 1));
    EXPECT_EQ(pixels[16], 0x80000000u);
}

TEST_F(EffectTest, ADestroyedTextureIsNotBoundByTheEffectAgain)
{
    auto effect = Make(R"(
texture tex0;
texture tex1;
technique T { pass { Lighting = false; CullMode = None; ColorOp[0] = SelectArg1; ColorArg1[0] = Texture; } }
)");
    ASSERT_NE(effect, nullptr);
    auto red = Solid(kRed);
    auto green = Solid(kGreen);
    ASSERT_TRUE(effect->SetTexture(effect->FindParameter("tex0"), red.get()));
    ASSERT_TRUE(effect->SetTexture(effect->FindParameter("tex1"), green.get()));
    DrawWith(*effect);
    red.reset();
    green.reset();
    ClearAll(kBlack);
    DrawWith(*effect);
    EXPECT_EQ(Pixel(3, 3), kWhite) << "the unit of a destroyed texture samples white";
    EXPECT_EQ(Dev().GetTexture(1), nullptr);
}

}  // namespace
}  // namespace gfxtest
