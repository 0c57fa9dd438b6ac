#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The game's texts and typed characters use one 8-bit code page, Windows-1251: ASCII below
// 0x80, Cyrillic letters at 0xC0..0xFF (plus Ё 0xA8, ё 0xB8) and typographic signs between.

// The game's byte for a Unicode code point; nothing when the code page has no such character.
std::optional<unsigned char> ToGameCodePage(char32_t codePoint);

// Converts UTF-8 text to the game's code page. Characters the code page lacks, control
// characters and malformed sequences are dropped.
std::string Utf8ToGameCodePage(std::string_view utf8);

}  // namespace platform
