// Effects: loading with their fallbacks, parameters, the cache, and the sample effect files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Render/PEffectCache.h"
#include "Render/PTextureCache.h"
#include "platform/gfx/Effect.h"
#include "resource_fixture.h"
#include "texture_files.h"
#include "support/LogCapture.h"

namespace restest {
namespace {

using namespace platform::gfx;

constexpr const char* kBroken = "texture tex0;\ntechnique { pass { NoSuchState = 1; } }\n";
constexpr const char* kCompileFails = R"(
pixelshader Bad { void main() { vx_FragColor = undefinedThing; } }
technique First { pass { PixelShader = Bad; } }
)";
constexpr const char* kSecondTechnique = R"(
texture tex0;
pixelshader Bad { void main() { vx_FragColor = undefinedThing; } }
technique First { pass { PixelShader = Bad; } }
technique Second { pass { Lighting = false; } }
)";

class EffectTest : public ResourceTest {};

TEST_F(EffectTest, AMissingFileIsDrawnWithTheDefaultUnderItsOwnName)
{
    TPtr<CPEffect> effect = Effects().GetEffect("nowhere.fx");
    ASSERT_NE(effect->GetEffect(), nullptr);
    EXPECT_EQ(effect->GetName(), "nowhere.fx");
    EXPECT_EQ(effect->GetTextureHandles().size(), 1u) << "_default.fx binds tex0";
    EXPECT_EQ(effect->GetTimeHandle(), -1);
    EXPECT_EQ(effect->GetClassName(), "CPEffect - nowhere.fx");
}

TEST_F(EffectTest, AnUnusableFileIsDrawnWithTheErrorEffect)
{
    for (const char* source : {kBroken, kCompileFails}) {
        SCOPED_TRACE(source);
        WriteText("data/effects/bad.fx", source);
        TPtr<CPEffect> effect = Effects().GetEffect("bad.fx");
        ASSERT_NE(effect->GetEffect(), nullptr);
        EXPECT_EQ(effect->GetName(), "error.fx");
        EXPECT_GE(effect->GetTimeHandle(), 0) << "error.fx pulses with the time";
        EXPECT_EQ(Effects().GetEffect("bad.fx").Get(), effect.Get()) << "later requests get it at once";
        effect = nullptr;
        CollectGarbage();
    }
}

TEST_F(EffectTest, AFileWhoseFirstTechniqueFailsUsesItsSecond)
{
    WriteText("data/effects/two.fx", kSecondTechnique);
    TPtr<CPEffect> effect = Effects().GetEffect("two.fx");
    ASSERT_NE(effect->GetEffect(), nullptr);
    EXPECT_EQ(effect->GetName(), "two.fx");
    EXPECT_EQ(effect->GetEffect()->ActiveTechnique(), 1u);
}

TEST_F(EffectTest, AFileWhoseFirstTechniqueCannotBeReadUsesItsSecondAndSaysWhy)
{
    WriteText("data/effects/misspelt.fx", "texture tex0;\ntechnique First {\n pass { Lightning = false; }\n}\n"
                                          "technique Second { pass { Lighting = false; } }\n");
    TPtr<CPEffect> effect;
    const std::string log = testsupport::LogOf([&] { effect = Effects().GetEffect("misspelt.fx"); });
    ASSERT_NE(effect->GetEffect(), nullptr);
    EXPECT_EQ(effect->GetName(), "misspelt.fx");
    EXPECT_EQ(effect->GetEffect()->ActiveTechnique(), 1u);
    EXPECT_NE(log.find("misspelt.fx"), std::string::npos) << log;
    EXPECT_NE(log.find("technique 'First': line 3: unknown state 'Lightning'"), std::string::npos) << log;
}

TEST_F(EffectTest, WithoutAnyUsableFileTheEffectDrawsNothing)
{
    RemoveFile("data/effects/_default.fx");
    RemoveFile("data/effects/error.fx");
    TPtr<CPEffect> effect = Effects().GetEffect("nowhere.fx");
    EXPECT_EQ(effect->GetEffect(), nullptr);
    EXPECT_EQ(effect->GetName(), "error.fx");
}

TEST_F(EffectTest, ADestroyedFallbackLeavesNoNameBehind)
{
    WriteText("data/effects/bad.fx", kBroken);
    const int32_t before = Effects().CountEffects();
    {
        TPtr<CPEffect> bad = Effects().GetEffect("bad.fx");
        TPtr<CPEffect> error = Effects().GetEffect("error.fx");
        EXPECT_NE(bad.Get(), error.Get());
    }
    CollectGarbage();
    EXPECT_EQ(Effects().CountEffects(), before);
    WriteText("data/effects/bad.fx", kSecondTechnique);
    EXPECT_EQ(Effects().GetEffect("bad.fx")->GetName(), "bad.fx");
}

TEST_F(EffectTest, TextureParametersCountFromZeroUpToTheFirstGap)
{
    WriteText("data/effects/gap.fx", "texture tex0; texture tex1; texture tex3; float time;\n"
                                     "technique { pass { Lighting = false; } }\n");
    TPtr<CPEffect> effect = Effects().GetEffect("gap.fx");
    ASSERT_NE(effect->GetEffect(), nullptr);
    EXPECT_EQ(effect->GetTextureHandles().size(), 2u);
    EXPECT_GE(effect->GetTimeHandle(), 0);

    WriteFile("data/textures/a.tga", MakeTga(std::vector<uint32_t>(16, 0xFF000001u), 4, 4, 32, true));
    WriteFile("data/textures/b.tga", MakeTga(std::vector<uint32_t>(16, 0xFF000002u), 4, 4, 32, true));
    WriteFile("data/textures/c.tga", MakeTga(std::vector<uint32_t>(16, 0xFF000003u), 4, 4, 32, true));
    TPtr<CPTextureBlock> block = Textures().GetTextureBlock({"a.tga", "b.tga", "c.tga"}, false);
    effect->SetTextures(block.Get());
    uint32_t passes = 0;
    ASSERT_TRUE(effect->GetEffect()->Begin(passes));
    ASSERT_TRUE(effect->GetEffect()->BeginPass(0));
    EXPECT_EQ(Dev().GetTexture(0), block->GetTexture(0)->GetTexture());
    EXPECT_EQ(Dev().GetTexture(1), block->GetTexture(1)->GetTexture());
    EXPECT_EQ(Dev().GetTexture(2), nullptr) << "tex3 is not one of the effect's textures";
    effect->GetEffect()->End();
    EXPECT_EQ(Dev().GetTexture(0), nullptr);
}

// Every sample effect compiles its first technique, and none of its passes leaves a state
// changed behind it.
TEST_F(EffectTest, SampleEffectsCompileAndKeepTheirStatesToThemselves)
{
    for (const char* name : {"_default.fx", "error.fx", "shad.fx", "holey.fx", "holey_tree.fx", "holey_shadow.fx"}) {
        SCOPED_TRACE(name);
        TPtr<CPEffect> effect = Effects().GetEffect(name);
        ASSERT_EQ(effect->GetName(), name);
        ASSERT_NE(effect->GetEffect(), nullptr);
        EXPECT_EQ(effect->GetEffect()->ActiveTechnique(), 0u);
        uint32_t before[static_cast<uint32_t>(RenderState::Count)];
        for (uint32_t s = 0; s < std::size(before); ++s) before[s] = Dev().GetRenderState(static_cast<RenderState>(s));
        const uint32_t colourOp = Dev().GetTextureStageState(0, TextureStageState::ColorOp);
        const uint32_t minFilter = Dev().GetSamplerState(0, SamplerState::MinFilter);
        uint32_t passes = 0;
        ASSERT_TRUE(effect->GetEffect()->Begin(passes));
        for (uint32_t pass = 0; pass < passes; ++pass) {
            ASSERT_TRUE(effect->GetEffect()->BeginPass(pass));
            ASSERT_TRUE(effect->GetEffect()->EndPass());
        }
        ASSERT_TRUE(effect->GetEffect()->End());
        for (uint32_t s = 0; s < std::size(before); ++s) {
            EXPECT_EQ(Dev().GetRenderState(static_cast<RenderState>(s)), before[s]) << "render state " << s;
        }
        EXPECT_EQ(Dev().GetTextureStageState(0, TextureStageState::ColorOp), colourOp);
        EXPECT_EQ(Dev().GetSamplerState(0, SamplerState::MinFilter), minFilter);
    }
}

}  // namespace
}  // namespace restest
