#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ConversionCase {
    const char* what;
    std::string utf8;
    std::string expected;
};

const ConversionCase kCases[] = {
    {"ASCII unchanged", "Az09 ~!", "Az09 ~!"},
    {"Cyrillic capitals", "\xD0\x90\xD0\x96\xD0\xAF", "\xC0\xC6\xDF"},   // А Ж Я
    {"Cyrillic small", "\xD0\xB0\xD0\xB9\xD1\x8F", "\xE0\xE9\xFF"},      // а й я
    {"yo", "\xD0\x81\xD1\x91", "\xA8\xB8"},                             // Ё ё
    {"signs", "\xE2\x82\xAC\xE2\x84\x96\xC2\xAB", "\x88\xB9\xAB"},      // € № «
    {"Latin-1 letters are not in the code page", "\xC3\xA9\xC3\xBC", ""},  // é ü
    {"CJK and emoji dropped", "x\xE6\x97\xA5y\xF0\x9F\x98\x80z", "xyz"},
    {"control characters dropped", "a\tb\x7F" "c", "abc"},
    {"stray continuation byte", "a\x80" "b", "ab"},
    {"truncated sequence", "a\xD0", "a"},
    {"overlong encoding", "\xC0\x80\xC1\xBF" "a", "a"},
    {"surrogate", "\xED\xA0\x80" "a", "a"},
    {"beyond Unicode", "\xF4\x90\x80\x80" "a", "a"},
};

TEST(CodePage, Utf8TextBecomesGameBytes) {
    for (const ConversionCase& c : kCases) {
        EXPECT_EQ(platform::Utf8ToGameCodePage(c.utf8), c.expected) << c.what;
    }
}

TEST(CodePage, TheCyrillicAlphabetFillsTheTopQuarter) {
    for (char32_t letter = 0x0410; letter <= 0x044F; ++letter) {
        EXPECT_EQ(platform::ToGameCodePage(letter), 0xC0 + (letter - 0x0410)) << std::hex << int(letter);
    }
    EXPECT_EQ(platform::ToGameCodePage(U'A'), 'A');
    EXPECT_FALSE(platform::ToGameCodePage(0x0098).has_value());  // the byte 0x98 has no character
    EXPECT_FALSE(platform::ToGameCodePage(0x1F600).has_value());
}

}  // namespace
