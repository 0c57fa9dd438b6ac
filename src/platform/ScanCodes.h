#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// The keyboard is addressed by the classic PC (set 1) scan codes 0x01..0xD3: 0x01 Esc,
// 0x1C Enter, 0x9C keypad Enter, 0x9D right Ctrl, 0xB8 right Alt, 0xC8 Up, 0xD0 Down,
// 0xCB Left, 0xCD Right, and so on. Key bindings name them through KeyNames.

constexpr std::size_t kKeyNameCount = 212;   // codes 0x00..0xD3
constexpr uint8_t kLastNamedScanCode = 0xD3;

// The name of every scan code 0x00..0xD3; codes without a key are "undefined".
extern const std::array<std::string_view, kKeyNameCount> KeyNames;

// The name of a scan code; "undefined" for codes past the table.
std::string_view KeyName(uint8_t scanCode);

// The first code in 0x01..0xD3 whose name equals name exactly (case-sensitive); 0 when none
// does. Code 0x00 is never searched, so "undefined" gives 0x54.
uint8_t FindKeyCode(std::string_view name);

// The scan code of an SDL scancode (an int so callers need no SDL header); 0 for keys that
// have no code in 0x01..0xD3.
uint8_t ScanCodeFromSdl(int sdlScancode);

}  // namespace platform
