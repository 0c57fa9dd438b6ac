#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>

#include "core/TextHelpers.h"
#include "support/CommaLocale.h"

namespace {

TEST(TextHelpers, IsSpaceOnlyForTabLineFeedCarriageReturnAndBlank)
{
    for (int c = 0; c < 256; ++c) {
        const bool expected = c == 9 || c == 10 || c == 13 || c == 32;
        EXPECT_EQ(IsSpace(static_cast<char>(c)), expected) << c;
    }
}

TEST(TextHelpers, TrimRemovesSpacesAtBothEndsOnly)
{
    struct Case {
        std::string in, out;
    } cases[] = {{"", ""}, {" \t\r\n", ""}, {"  a b  ", "a b"}, {"a", "a"}, {"\ta\r", "a"}, {"\va\v", "\va\v"}};
    for (Case& c : cases) {
        std::string text = c.in;
        EXPECT_EQ(Trim(text), c.out) << '"' << c.in << '"';
        EXPECT_EQ(text, c.out);
    }
}

TEST(TextHelpers, StrToLowerChangesOnlyAsciiLetters)
{
    std::string text = "Data\\Textures\\SKY.Tga \xC0\xDF[Z]@";
    EXPECT_EQ(StrToLower(text), "data\\textures\\sky.tga \xC0\xDF[z]@");
    EXPECT_EQ(text, "data\\textures\\sky.tga \xC0\xDF[z]@");
}

TEST(TextHelpers, NumberShapes)
{
    struct Case {
        const char* text;
        bool number, integer;
    } cases[] = {{"", true, true},       {"123", true, true},  {"-5", true, true},   {"1-2", true, true},
                 {"1.5", true, false},   {"1..2", true, false}, {".", true, false},  {"1e5", false, false},
                 {"+1", false, false},   {" 1", false, false}, {"abc", false, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(IsNumber(c.text), c.number) << c.text;
        EXPECT_EQ(IsInteger(c.text), c.integer) << c.text;
    }
}

TEST(TextHelpers, OnlyFiniteNumbersPassTheFiniteReader)
{
    struct Case {
        const char* text;
        bool finite;
        float value;
    } cases[] = {{"2.5", true, 2.5f},      {" -1e3x", true, -1000.0f}, {"", true, 0.0f},      {"abc", true, 0.0f},
                 {"1e-39", true, 1e-39f},  {"1e-400", true, 0.0f},     {"3e38", true, 3e38f}, {"inf", false, 0.0f},
                 {"-INF", false, 0.0f},    {"nan", false, 0.0f},       {"1e39", false, 0.0f}, {"-1e39", false, 0.0f},
                 {"1e400", false, 0.0f},   {"0.5e+400", false, 0.0f}};
    for (const Case& c : cases) {
        float value = -7.0f;
        EXPECT_EQ(FiniteAtoF(c.text, value), c.finite) << c.text;
        EXPECT_EQ(value, c.finite ? c.value : -7.0f) << c.text;
    }
    EXPECT_EQ(AtoF("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(AtoF("-1e400"), -std::numeric_limits<float>::infinity());
}

TEST(TextHelpers, FloatTextWritesWhatPercentFWritesInTheCLocale)
{
    const float cases[] = {0.0f, 2.5f, -0.125f, 1.0f / 3.0f, 1e-7f, 1e20f, -std::numeric_limits<float>::max()};
    auto percentF = [](float value) {
        char text[400];
        std::snprintf(text, sizeof(text), "%f", static_cast<double>(value));
        return std::string(text);
    };
    for (const float value : cases) EXPECT_EQ(FloatText(value), percentF(value)) << value;

    testsupport::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << "no comma-decimal locale installed";
    EXPECT_EQ(FloatText(-12.75f), "-12.750000");
}

}  // namespace
