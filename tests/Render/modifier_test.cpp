#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Render/PAnimTexModifier.h"
#include "Render/PFadeModifier.h"
#include "Render/PFlickModifier.h"
#include "Render/PMovingTexModifier.h"
#include "Render/PVertex.h"
#include "Render/TexModifierFactory.h"
#include "core/PGlobalTimer.h"
#include "platform/Random.h"
#include "support/CommaLocale.h"

namespace {

SPVertex MakeVertex(uint32_t diffuse, PVector2 tex0, PVector3 normal = {0.0f, 0.0f, 1.0f})
{
    SPVertex v{};
    v.position = {1.0f, 2.0f, 3.0f};
    v.normal = normal;
    v.diffuse = diffuse;
    v.specular = 0x12345678u;
    v.tex0 = tex0;
    v.tex1 = {0.25f, 0.75f};
    return v;
}

// Applies the modifier to one vertex with the given frame delta and returns the result.
SPVertex ApplyOnce(IPTexModifier& modifier, const SPVertex& source, float dt)
{
    g_frameDelta = dt;
    SPVertex destination{};
    modifier.Apply(&destination, &source, 1);
    return destination;
}

// Each test sets the frame delta it applies with and the random seed it draws from.
class ModifierTest : public ::testing::Test {
protected:
    void SetUp() override { m_savedDelta = g_frameDelta; }
    void TearDown() override { g_frameDelta = m_savedDelta; }

private:
    float m_savedDelta = 0.0f;
};

// ---- the factory ----

struct FactoryCase {
    const char* keyword;
    std::vector<std::string> arguments;
    const char* made;  // "fade", "movingtex", "flick", "anim" or nullptr for a refusal
};

bool Makes(const IPTexModifier* modifier, const char* kind)
{
    const std::string k = kind ? kind : "";
    if (k == "fade") return dynamic_cast<const CPFadeModifier*>(modifier) != nullptr;
    if (k == "movingtex") return dynamic_cast<const CPMovingTexModifier*>(modifier) != nullptr;
    if (k == "flick") return dynamic_cast<const CPFlickModifier*>(modifier) != nullptr;
    if (k == "anim") return dynamic_cast<const CPAnimTexModifier*>(modifier) != nullptr;
    return modifier == nullptr;
}

TEST_F(ModifierTest, FactoryMakesWhatTheKeywordNamesAndRefusesBadLines)
{
    const FactoryCase cases[] = {
        {"fade", {"2"}, "fade"},
        {"FADE", {"2"}, "fade"},
        {"Fade", {""}, "fade"},
        {"fade", {"2", "3"}, nullptr},
        {"fade", {}, nullptr},
        {"fade", {"x"}, nullptr},
        {"fade", {"1e3"}, nullptr},
        {"fade", {" 2"}, nullptr},
        {"fade", {std::string(60, '9')}, nullptr},  // beyond a float
        {"movingtex", {"0.5", "-0.25"}, "movingtex"},
        {"movingtex", {"0.5"}, nullptr},
        {"flick", {"3.0", "10", "200"}, "flick"},
        {"flick", {"3.0", "10"}, nullptr},
        {"flick", {"3.0", "10", "99999999999"}, nullptr},  // beyond an int
        {"flick", {"32000000000000000000000000000000000000", "10", "200"}, nullptr},  // a float, far beyond a rate
        {"flick", {"-1000000", "0", "255"}, "flick"},
        {"flick", {"1000000.5", "0", "255"}, nullptr},
        {"anim", {"4", "2", "2000000"}, nullptr},
        {"movingtex", {"0.5", "-3000000"}, nullptr},
        {"anim", {"4", "2", "8"}, "anim"},
        {"ANIM", {"1", "1", "0"}, "anim"},
        {"anim", {"0", "2", "8"}, nullptr},
        {"anim", {"4", "0", "8"}, nullptr},
        {"anim", {"", "2", "8"}, nullptr},
        {"anim", {"-2", "-3", "8"}, nullptr},
        {"anim", {"1000", "1000", "8"}, nullptr},
        {"anim", {"256", "256", "8"}, "anim"},
        {"anim", {"4", "2"}, nullptr},
        {"wobble", {"1"}, nullptr},
        {"", {}, nullptr},
    };
    for (const FactoryCase& c : cases) {
        const auto modifier = CreateTexModifier(c.keyword, c.arguments);
        EXPECT_TRUE(Makes(modifier.get(), c.made))
            << c.keyword << " with " << c.arguments.size() << " arguments, first \""
            << (c.arguments.empty() ? "" : c.arguments[0]) << "\"";
    }
}

TEST_F(ModifierTest, FactoryReadsTheNumbersItIsGiven)
{
    auto fade = CreateTexModifier("FADE", {"2"});
    ASSERT_NE(fade, nullptr);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(fade.get())->GetRate(), 2.0f);

    auto zero = CreateTexModifier("fade", {""});
    ASSERT_NE(zero, nullptr);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(zero.get())->GetRate(), 0.0f);

    // Integers stop at the first character that is not a digit, as atoi reads them: 4.9 columns
    // are 4, so after one second at 8 cells per second the atlas of 8 cells starts again.
    auto atlas = CreateTexModifier("anim", {"4.9", "2", "8"});
    ASSERT_NE(atlas, nullptr);
    atlas->Update(1.0f);
    EXPECT_EQ(static_cast<CPAnimTexModifier*>(atlas.get())->GetFrame(), 0);
}

TEST_F(ModifierTest, FactoryReadsNumbersTheSameInEveryLocale)
{
    testsupport::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no comma-decimal locale installed";
    auto fade = CreateTexModifier("fade", {"2.5"});
    ASSERT_NE(fade, nullptr);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(fade.get())->GetRate(), 2.5f);
}

// ---- fade ----

TEST_F(ModifierTest, FadeTurnsVerticesWhiteAndLowersAlphaUntilZero)
{
    CPFadeModifier fade(100.0f);
    const SPVertex source = MakeVertex(0x80102030u, {0.5f, 0.5f});
    const uint32_t expected[] = {0x9BFFFFFFu, 0x37FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu};
    const float alphas[] = {155.0f, 55.0f, 0.0f, 0.0f};
    for (int frame = 0; frame < 4; ++frame) {
        const SPVertex out = ApplyOnce(fade, source, 1.0f);
        EXPECT_EQ(out.diffuse, expected[frame]) << "frame " << frame;
        EXPECT_FLOAT_EQ(fade.GetAlpha(), alphas[frame]);
        EXPECT_EQ(out.specular, source.specular);
        EXPECT_EQ(out.tex0, source.tex0);
        EXPECT_EQ(out.position, source.position);
    }
    fade.Reset();
    EXPECT_EQ(ApplyOnce(fade, source, 0.0f).diffuse, 0xFFFFFFFFu);
}

TEST_F(ModifierTest, FadeAlphaTruncatesAndNeverPassesOpaque)
{
    CPFadeModifier fade(0.5f);
    EXPECT_EQ(ApplyOnce(fade, MakeVertex(0, {}), 1.0f).diffuse >> 24, 254u) << "254.5 truncates";

    CPFadeModifier rising(-100.0f);
    EXPECT_EQ(ApplyOnce(rising, MakeVertex(0, {}), 1.0f).diffuse, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(rising.GetAlpha(), 255.0f);
}

TEST_F(ModifierTest, FadeCloneCarriesOnFromTheSameAlphaAlone)
{
    CPFadeModifier fade(100.0f);
    fade.Update(1.0f);
    auto clone = fade.Clone();
    fade.Update(1.0f);
    clone->Update(0.5f);
    EXPECT_FLOAT_EQ(fade.GetAlpha(), 55.0f);
    EXPECT_FLOAT_EQ(static_cast<CPFadeModifier*>(clone.get())->GetAlpha(), 105.0f);
}

// ---- moving texture ----

TEST(TextureOffsetWrap, BringsOffsetsIntoZeroToOne)
{
    const struct {
        float in;
        float out;
    } cases[] = {
        {0.5f, 0.5f},  {0.0f, 0.0f},   {1.0f, 1.0f},       {2.0f, 1.0f},   {2.3f, 0.3f},
        {1.5f, 0.5f},  {-0.25f, 0.75f}, {-1.0f, 0.0f},     {-2.5f, 0.5f}, {16384.25f, 0.25f},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(WrapTextureOffset(c.in), c.out, 1e-5f) << c.in;
    }
}

TEST(TextureOffsetWrap, HugeAndNonFiniteOffsetsStayBounded)
{
    for (float huge : {3.0e7f, -3.0e7f, 1.0e30f, -1.0e30f, std::numeric_limits<float>::max()}) {
        const float wrapped = WrapTextureOffset(huge);
        EXPECT_GE(wrapped, 0.0f) << huge;
        EXPECT_LE(wrapped, 1.0f) << huge;
    }
    EXPECT_EQ(WrapTextureOffset(std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(WrapTextureOffset(-std::numeric_limits<float>::infinity()), 0.0f);
    EXPECT_EQ(WrapTextureOffset(std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST_F(ModifierTest, MovingTextureStartsAtARandomPhaseAndScrollsWrapped)
{
    platform::Srand(7);
    const float r = static_cast<float>(platform::Rand());
    platform::Srand(7);
    CPMovingTexModifier moving(0.5f, -0.25f);
    EXPECT_FLOAT_EQ(moving.GetOffsetU(), r * 0.5f);
    EXPECT_FLOAT_EQ(moving.GetOffsetV(), r * -0.25f);

    const SPVertex out = ApplyOnce(moving, MakeVertex(0xFF00FF00u, {0.1f, 0.2f}), 3.0f);
    const float u = WrapTextureOffset(r * 0.5f + 1.5f);
    const float v = WrapTextureOffset(r * -0.25f - 0.75f);
    EXPECT_FLOAT_EQ(moving.GetOffsetU(), u);
    EXPECT_FLOAT_EQ(moving.GetOffsetV(), v);
    EXPECT_FLOAT_EQ(out.tex0.x, 0.1f + u);
    EXPECT_FLOAT_EQ(out.tex0.y, 0.2f + v);
    EXPECT_EQ(out.diffuse, 0xFF00FF00u);
    EXPECT_EQ(out.tex1, (PVector2{0.25f, 0.75f}));
}

TEST_F(ModifierTest, MovingTextureAtHighSpeedKeepsItsOffsetsBounded)
{
    platform::Srand(1);
    CPMovingTexModifier moving(1.0e6f, -1.0e6f);
    for (int frame = 0; frame < 100; ++frame) {
        moving.Update(0.37f);
        ASSERT_GE(moving.GetOffsetU(), 0.0f);
        ASSERT_LE(moving.GetOffsetU(), 1.0f);
        ASSERT_GE(moving.GetOffsetV(), 0.0f);
        ASSERT_LE(moving.GetOffsetV(), 1.0f);
    }
}

// ---- flick ----

TEST_F(ModifierTest, FlickMapsNormalsToTheSecondTextureCoordinates)
{
    CPFlickModifier flick(2.0f, 10, 200);
    const struct {
        PVector3 normal;
        PVector2 tex1;
    } cases[] = {
        {{0, 0, 1}, {0.5f, 0.5f}}, {{1, 0, 0}, {1.0f, 0.5f}}, {{0, -1, 0}, {0.5f, 0.0f}}, {{-1, 1, 0}, {0.0f, 1.0f}},
    };
    for (const auto& c : cases) {
        const SPVertex source = MakeVertex(0xFF336699u, {0.3f, 0.4f}, c.normal);
        const SPVertex out = ApplyOnce(flick, source, 0.016f);
        EXPECT_FLOAT_EQ(out.tex1.x, c.tex1.x);
        EXPECT_FLOAT_EQ(out.tex1.y, c.tex1.y);
        EXPECT_EQ(out.tex0, source.tex0);
        EXPECT_EQ(out.diffuse, source.diffuse);
        EXPECT_EQ(out.normal, source.normal);
    }
}

TEST_F(ModifierTest, FlickerOscillatesOverItsWholeRangeAndStaysInside)
{
    const struct {
        int32_t minimum, maximum;
        int32_t low, high;
    } cases[] = {
        {10, 200, 10, 200},
        {10, 21, 10, 21},   // an odd span: the midpoint is not a whole number
        {200, 10, 10, 200},  // the order of the bounds does not matter
        {266, 300, 10, 44},  // the low 8 bits count
        {7, 7, 7, 7},
    };
    platform::Srand(3);
    for (const auto& c : cases) {
        CPFlickModifier flick(1.0f, c.minimum, c.maximum);
        EXPECT_EQ(flick.GetFlicker(), 0x00FFFFFF);
        int32_t seenLow = 1 << 30;
        int32_t seenHigh = -(1 << 30);
        for (int step = 0; step < 2000; ++step) {
            flick.Update(0.01f);
            seenLow = std::min(seenLow, flick.GetFlicker());
            seenHigh = std::max(seenHigh, flick.GetFlicker());
        }
        // The value is truncated, so the maximum itself shows only at the very crest.
        EXPECT_EQ(seenLow, c.low) << c.minimum << ".." << c.maximum;
        EXPECT_LE(seenHigh, c.high) << c.minimum << ".." << c.maximum;
        EXPECT_GE(seenHigh, std::max(c.low, c.high - 1)) << c.minimum << ".." << c.maximum;
    }
}

TEST_F(ModifierTest, FlickerStaysInItsRangeAtAnyFiniteFrequency)
{
    platform::Srand(5);
    for (const float frequency : {1.0e6f, -1.0e6f, 3.2e37f, std::numeric_limits<float>::max()}) {
        CPFlickModifier flick(frequency, 10, 200);
        for (const float dt : {0.0f, 0.016f, 1.0f, 3600.0f, 1.0e30f}) {
            flick.Update(dt);
            EXPECT_GE(flick.GetFlicker(), 10) << frequency << " rad/s after " << dt << " s";
            EXPECT_LE(flick.GetFlicker(), 200) << frequency << " rad/s after " << dt << " s";
        }
    }
}

// ---- atlas ----

TEST_F(ModifierTest, AtlasShowsTheCellOfTheTime)
{
    // 4 columns, 2 rows at 8 cells per second.
    const struct {
        float time;
        int32_t frame;
    } cases[] = {
        {0.0f, 0}, {0.124f, 0}, {0.125f, 1}, {0.5f, 4}, {0.875f, 7}, {1.0f, 0}, {1.125f, 1}, {10.25f, 2},
    };
    for (const auto& c : cases) {
        CPAnimTexModifier atlas(4, 2, 8.0f);
        atlas.Update(c.time);
        EXPECT_EQ(atlas.GetFrame(), c.frame) << "at " << c.time << " s";
    }
}

TEST_F(ModifierTest, AtlasMapsTextureCoordinatesIntoTheCell)
{
    CPAnimTexModifier atlas(4, 2, 8.0f);
    for (int frame = 0; frame < 3; ++frame) ApplyOnce(atlas, MakeVertex(0, {}), 0.125f);
    const SPVertex out = ApplyOnce(atlas, MakeVertex(0xFFFFFFFFu, {1.0f, 1.0f}), 0.125f);  // 0.5 s: cell 4
    EXPECT_EQ(atlas.GetFrame(), 4);
    EXPECT_FLOAT_EQ(out.tex0.x, 0.25f);
    EXPECT_FLOAT_EQ(out.tex0.y, 1.0f);

    const SPVertex corner = ApplyOnce(atlas, MakeVertex(0, {0.0f, 0.0f}), 0.25f);  // 0.75 s: cell 6
    EXPECT_FLOAT_EQ(corner.tex0.x, 0.5f);
    EXPECT_FLOAT_EQ(corner.tex0.y, 0.5f);
}

TEST_F(ModifierTest, AtlasRunningBackwardsOrForALongTimeStaysOnACell)
{
    CPAnimTexModifier backwards(4, 2, -8.0f);
    backwards.Update(0.125f);
    EXPECT_EQ(backwards.GetFrame(), 7);
    const SPVertex out = ApplyOnce(backwards, MakeVertex(0, {0.0f, 0.0f}), 0.125f);
    EXPECT_EQ(backwards.GetFrame(), 6);
    EXPECT_FLOAT_EQ(out.tex0.x, 0.5f);
    EXPECT_FLOAT_EQ(out.tex0.y, 0.5f);

    CPAnimTexModifier fast(3, 3, 1.0e9f);
    fast.Update(1.0e6f);
    EXPECT_GE(fast.GetFrame(), 0);
    EXPECT_LT(fast.GetFrame(), 9);
}

TEST_F(ModifierTest, AtlasCloneHasItsOwnClockAndCells)
{
    auto original = std::make_unique<CPAnimTexModifier>(4, 2, 8.0f);
    original->Update(0.25f);
    auto clone = original->Clone();
    original.reset();  // the clone's cell tables must not be the original's
    const SPVertex out = ApplyOnce(*clone, MakeVertex(0, {0.0f, 0.0f}), 0.125f);
    EXPECT_EQ(static_cast<CPAnimTexModifier*>(clone.get())->GetFrame(), 3);
    EXPECT_FLOAT_EQ(out.tex0.x, 0.75f);
    EXPECT_FLOAT_EQ(out.tex0.y, 0.0f);
}

// ---- every modifier ----

TEST_F(ModifierTest, EveryModifierWorksInPlace)
{
    platform::Srand(11);
    std::vector<std::unique_ptr<IPTexModifier>> modifiers;
    modifiers.push_back(std::make_unique<CPFadeModifier>(100.0f));
    modifiers.push_back(std::make_unique<CPMovingTexModifier>(0.5f, 0.25f));
    modifiers.push_back(std::make_unique<CPFlickModifier>(2.0f, 0, 255));
    modifiers.push_back(std::make_unique<CPAnimTexModifier>(4, 2, 8.0f));
    for (auto& modifier : modifiers) {
        auto twin = modifier->Clone();
        SPVertex vertices[3] = {MakeVertex(0xFF102030u, {0.1f, 0.2f}, {1, 0, 0}),
                                MakeVertex(0xFF405060u, {0.9f, 0.8f}, {0, 1, 0}),
                                MakeVertex(0xFF708090u, {0.5f, 0.5f}, {0, 0, 1})};
        SPVertex separate[3];
        g_frameDelta = 0.3f;
        twin->Apply(separate, vertices, 3);
        modifier->Apply(vertices, vertices, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(vertices[i].diffuse, separate[i].diffuse);
            EXPECT_EQ(vertices[i].tex0, separate[i].tex0);
            EXPECT_EQ(vertices[i].tex1, separate[i].tex1);
        }
    }
}

}  // namespace
