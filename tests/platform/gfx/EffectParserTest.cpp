#include <gtest/gtest.h>

#include "platform/gfx/EffectParser.h"
#include "platform/gfx/RenderStates.h"

namespace gfxtest {
namespace {

using namespace platform::gfx;

constexpr const char* kEffect = R"(// A sample
texture tex0;
float time;
texture tex1;

shared {
    vec4 Tint(vec4 c) { return c * 0.5; } // braces { in comments } do not count
}

pixelshader Glow {
    void main() {
        /* } */
        vx_FragColor = Tint(texture(tex0, vx_TexCoord0));
    }
}

TECHNIQUE Fancy {
    pass First {
        pixelshader = Glow;
        CullMode = none;
        SrcBlend = InvSrcAlpha;
        AlphaRef = 0x80;
        Ambient = 0xFF102030;
        MinFilter[3] = Anisotropic;
        MaxAnisotropy[3] = 8;
        AlphaOp[1] = SelectArg2;
        ZWriteEnable = FALSE;
    }
    pass { }
}

technique Plain { pass Only { Lighting = false; } }
)";

TEST(EffectParser, ReadsParametersCodeTechniquesPassesAndStates)
{
    EffectDescription d;
    std::string error;
    ASSERT_TRUE(ParseEffect(kEffect, d, error)) << error;

    ASSERT_EQ(d.parameters.size(), 3u);
    EXPECT_EQ(d.parameters[0].name, "tex0");
    EXPECT_EQ(d.parameters[1].type, ParameterType::Float);
    EXPECT_EQ(d.parameters[2].name, "tex1");

    ASSERT_EQ(d.shared.size(), 1u);
    EXPECT_EQ(d.shared[0].line, 6);
    EXPECT_NE(d.shared[0].text.find("do not count"), std::string::npos);
    ASSERT_EQ(d.shaders.size(), 1u);
    EXPECT_TRUE(d.shaders[0].pixel);
    EXPECT_EQ(d.shaders[0].code.line, 10);
    EXPECT_NE(d.shaders[0].code.text.find("vx_FragColor"), std::string::npos);

    ASSERT_EQ(d.techniques.size(), 2u);
    EXPECT_EQ(d.techniques[0].name, "Fancy");
    ASSERT_EQ(d.techniques[0].passes.size(), 2u);
    const auto& first = d.techniques[0].passes[0];
    EXPECT_EQ(first.pixelShader, 0);
    EXPECT_EQ(first.vertexShader, -1);
    const StateAssignment expected[] = {
        {StateKind::Render, 0, static_cast<uint32_t>(RenderState::CullMode), static_cast<uint32_t>(CullMode::None)},
        {StateKind::Render, 0, static_cast<uint32_t>(RenderState::SrcBlend),
         static_cast<uint32_t>(BlendFactor::InvSrcAlpha)},
        {StateKind::Render, 0, static_cast<uint32_t>(RenderState::AlphaRef), 0x80},
        {StateKind::Render, 0, static_cast<uint32_t>(RenderState::Ambient), 0xFF102030u},
        {StateKind::Sampler, 3, static_cast<uint32_t>(SamplerState::MinFilter),
         static_cast<uint32_t>(TextureFilter::Anisotropic)},
        {StateKind::Sampler, 3, static_cast<uint32_t>(SamplerState::MaxAnisotropy), 8},
        {StateKind::TextureStage, 1, static_cast<uint32_t>(TextureStageState::AlphaOp),
         static_cast<uint32_t>(TextureOp::SelectArg2)},
        {StateKind::Render, 0, static_cast<uint32_t>(RenderState::ZWriteEnable), 0},
    };
    ASSERT_EQ(first.states.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(first.states[i].kind, expected[i].kind) << i;
        EXPECT_EQ(first.states[i].index, expected[i].index) << i;
        EXPECT_EQ(first.states[i].state, expected[i].state) << i;
        EXPECT_EQ(first.states[i].value, expected[i].value) << i;
    }
    EXPECT_TRUE(d.techniques[0].passes[1].states.empty());
    EXPECT_EQ(d.techniques[1].passes[0].name, "Only");
}

struct BadEffect {
    const char* source;
    const char* error;
};

class EffectParserErrors : public ::testing::TestWithParam<BadEffect> {};

TEST_P(EffectParserErrors, NameTheLineAndTheProblem)
{
    EffectDescription d;
    std::string error;
    EXPECT_FALSE(ParseEffect(GetParam().source, d, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EffectParserErrors,
    ::testing::Values(
        BadEffect{"", "line 1: the effect has no technique"},
        BadEffect{"texture tex0;\n", "line 2: the effect has no technique"},
        BadEffect{"technique T {\n}\n", "technique 'T': line 2: a technique needs at least one pass"},
        BadEffect{"technique T { pass {\n ZEnable = maybe; } }", "technique 'T': line 2: 'maybe' is no value of ZEnable"},
        BadEffect{"technique T { pass { Fog = 1; } }", "technique 'T': line 1: unknown state 'Fog'"},
        BadEffect{"technique T { pass { ColorOp[2] = Modulate; } }", "technique 'T': line 1: index 2 is out of range for ColorOp"},
        BadEffect{"technique T { pass { MinFilter[8] = Linear; } }", "technique 'T': line 1: index 8 is out of range for MinFilter"},
        BadEffect{"technique T { pass { ZEnable[0] = true; } }", "technique 'T': line 1: index 0 is out of range for ZEnable"},
        BadEffect{"technique T { pass { AlphaRef = 256; } }", "technique 'T': line 1: '256' is no value of AlphaRef"},
        BadEffect{"technique T { pass { ZEnable = true } }", "technique 'T': line 1: ';' expected"},
        BadEffect{"technique T { pass { PixelShader = Missing; } }", "technique 'T': line 1: no pixel shader named 'Missing'"},
        BadEffect{"vertexshader V { void main() {} }\ntechnique T { pass { PixelShader = V; } }",
                  "technique 'T': line 2: no pixel shader named 'V'"},
        BadEffect{"pixelshader P {\n void main() {\n", "line 1: the code block is not closed"},
        BadEffect{"/* open\n\n", "line 1: a comment is not closed"},
        BadEffect{"texture a;\nfloat a;", "line 2: 'a' is declared twice"},
        BadEffect{"texture vx_Colour;", "line 1: names starting with vx_ or gl_ are the engine's: vx_Colour"},
        BadEffect{"texture t0; texture t1; texture t2; texture t3; texture t4; texture t5; texture t6; texture t7;\n"
                  "texture t8;",
                  "line 2: more than 8 textures"},
        BadEffect{"sampler s;", "line 1: unexpected 'sampler'"},
        BadEffect{"technique { pass { Fog = 1; } }\ntechnique Two { pass {\n ZEnable = true } }",
                  "technique 0: line 1: unknown state 'Fog'\ntechnique 'Two': line 3: ';' expected"},
        BadEffect{"technique T { pass { Fog = 1; }\n", "line 1: unknown state 'Fog'"}));

// A technique with a mistake is kept aside with its error; the techniques after it are read.
TEST(EffectParser, ATechniqueWithAMistakeDoesNotSpoilTheOthers)
{
    EffectDescription d;
    std::string error;
    ASSERT_TRUE(ParseEffect("technique First {\n pass { Fog = 1; } pass { { ZEnable = } }\n}\n"
                            "technique Second { pass { Lighting = false; } }\n"
                            "technique Third { pass { ColorOp[9] = Add; } }\n",
                            d, error))
        << error;
    ASSERT_EQ(d.techniques.size(), 3u);
    EXPECT_EQ(d.techniques[0].error, "line 2: unknown state 'Fog'");
    EXPECT_TRUE(d.techniques[0].passes.empty());
    EXPECT_EQ(d.techniques[1].error, "");
    ASSERT_EQ(d.techniques[1].passes.size(), 1u);
    EXPECT_EQ(d.techniques[1].passes[0].states.size(), 1u);
    EXPECT_EQ(d.techniques[2].error, "line 5: index 9 is out of range for ColorOp");
}

}  // namespace
}  // namespace gfxtest
