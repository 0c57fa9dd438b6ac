#include <gtest/gtest.h>

#include <string>

#include "core/TextHelpers.h"

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

}  // namespace
