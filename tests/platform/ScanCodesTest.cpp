#include "platform/ScanCodes.h"

#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using platform::FindKeyCode;
using platform::KeyName;
using platform::KeyNames;
using platform::ScanCodeFromSdl;

TEST(KeyNames, TableHasTheDesignedEntries) {
    ASSERT_EQ(KeyNames.size(), 212u);
    const std::map<int, std::string> spots = {
        {0x00, "undefined"}, {0x01, "Esc"},        {0x0E, "Backspace"},    {0x1C, "Enter"},
        {0x29, "`"},         {0x2B, "\\"},         {0x37, "*"},            {0x39, "Space"},
        {0x53, "NumPad ."},  {0x54, "undefined"},  {0x57, "F11"},          {0x70, "Kana"},
        {0x7D, "Yen"},       {0x8D, "Numpad ="},   {0x90, "CircumFlex"},   {0x91, "@"},
        {0x97, "Unlabeled"}, {0x9C, "NumPad Enter"}, {0xB3, "Numpad ,"},   {0xB5, "Numpad /"},
        {0xB7, "SysRq"},     {0xB8, "RAlt"},       {0xC5, "Pause"},        {0xCA, "undefined"},
        {0xD3, "Del"},
    };
    for (const auto& [code, name] : spots) EXPECT_EQ(KeyNames[code], name) << std::hex << code;
}

TEST(KeyNames, EveryRealNameAppearsOnce) {
    for (int code = 1; code <= platform::kLastNamedScanCode; ++code) {
        if (KeyNames[code] == "undefined") continue;
        EXPECT_EQ(FindKeyCode(KeyNames[code]), code) << KeyNames[code];
    }
}

TEST(KeyNames, LookupIsExactAndSkipsCodeZero) {
    const std::map<std::string, int> cases = {
        {"undefined", 0x54},  // its first occurrence after 0x00
        {"Esc", 0x01},       {"Del", 0xD3},   {"NumPad Enter", 0x9C}, {"Numpad /", 0xB5},
        {"esc", 0},          {"ESC", 0},      {"NumPad /", 0},        {"Numpad Enter", 0},
        {"mlb", 0},          {"mwheel1", 0},  {"", 0},                {"Esc ", 0},
    };
    for (const auto& [name, code] : cases) EXPECT_EQ(FindKeyCode(name), code) << '"' << name << '"';
}

TEST(KeyNames, NamesPastTheTableAreUndefined) {
    EXPECT_EQ(KeyName(0xD3), "Del");
    EXPECT_EQ(KeyName(0xD4), "undefined");
    EXPECT_EQ(KeyName(0xDB), "undefined");
    EXPECT_EQ(KeyName(0xFF), "undefined");
}

TEST(ScanCodes, SdlKeysMapToThePcCodesWhoseNamesTheyBear) {
    const std::map<SDL_Scancode, std::string> named = {
        {SDL_SCANCODE_ESCAPE, "Esc"},       {SDL_SCANCODE_MINUS, "-"},          {SDL_SCANCODE_EQUALS, "="},
        {SDL_SCANCODE_BACKSPACE, "Backspace"}, {SDL_SCANCODE_TAB, "Tab"},       {SDL_SCANCODE_LEFTBRACKET, "["},
        {SDL_SCANCODE_RIGHTBRACKET, "]"},   {SDL_SCANCODE_RETURN, "Enter"},     {SDL_SCANCODE_LCTRL, "LCtrl"},
        {SDL_SCANCODE_SEMICOLON, ";"},      {SDL_SCANCODE_APOSTROPHE, "'"},     {SDL_SCANCODE_GRAVE, "`"},
        {SDL_SCANCODE_LSHIFT, "LShift"},    {SDL_SCANCODE_BACKSLASH, "\\"},     {SDL_SCANCODE_COMMA, ","},
        {SDL_SCANCODE_PERIOD, "."},         {SDL_SCANCODE_SLASH, "/"},          {SDL_SCANCODE_RSHIFT, "RShift"},
        {SDL_SCANCODE_KP_MULTIPLY, "*"},    {SDL_SCANCODE_LALT, "LAlt"},        {SDL_SCANCODE_SPACE, "Space"},
        {SDL_SCANCODE_CAPSLOCK, "CapsLock"}, {SDL_SCANCODE_NUMLOCKCLEAR, "NumLock"},
        {SDL_SCANCODE_SCROLLLOCK, "ScrollLock"}, {SDL_SCANCODE_KP_MINUS, "NumPad -"},
        {SDL_SCANCODE_KP_PLUS, "NumPad +"}, {SDL_SCANCODE_KP_PERIOD, "NumPad ."}, {SDL_SCANCODE_F11, "F11"},
        {SDL_SCANCODE_F12, "F12"},          {SDL_SCANCODE_F13, "F13"},          {SDL_SCANCODE_F15, "F15"},
        {SDL_SCANCODE_KP_EQUALS, "Numpad ="}, {SDL_SCANCODE_KP_ENTER, "NumPad Enter"},
        {SDL_SCANCODE_RCTRL, "RCtrl"},      {SDL_SCANCODE_KP_COMMA, "Numpad ,"}, {SDL_SCANCODE_KP_DIVIDE, "Numpad /"},
        {SDL_SCANCODE_PRINTSCREEN, "SysRq"}, {SDL_SCANCODE_RALT, "RAlt"},       {SDL_SCANCODE_PAUSE, "Pause"},
        {SDL_SCANCODE_HOME, "Home"},        {SDL_SCANCODE_UP, "Up"},            {SDL_SCANCODE_PAGEUP, "PgUp"},
        {SDL_SCANCODE_LEFT, "Left"},        {SDL_SCANCODE_RIGHT, "Right"},      {SDL_SCANCODE_END, "End"},
        {SDL_SCANCODE_DOWN, "Down"},        {SDL_SCANCODE_PAGEDOWN, "PgDn"},    {SDL_SCANCODE_INSERT, "Ins"},
        {SDL_SCANCODE_DELETE, "Del"},       {SDL_SCANCODE_INTERNATIONAL2, "Kana"},
        {SDL_SCANCODE_INTERNATIONAL3, "Yen"}, {SDL_SCANCODE_INTERNATIONAL4, "Convert"},
        {SDL_SCANCODE_INTERNATIONAL5, "NoConvert"}, {SDL_SCANCODE_STOP, "Stop"},
    };
    for (const auto& [sdl, name] : named) EXPECT_EQ(KeyName(ScanCodeFromSdl(sdl)), name) << int(sdl);

    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(KeyName(ScanCodeFromSdl(SDL_SCANCODE_A + i)), std::string(1, char('A' + i)));
    }
    for (int i = 0; i < 10; ++i) {  // SDL counts 1..9 then 0
        EXPECT_EQ(KeyName(ScanCodeFromSdl(SDL_SCANCODE_1 + i)), std::string(1, char('0' + (i + 1) % 10)));
        EXPECT_EQ(KeyName(ScanCodeFromSdl(SDL_SCANCODE_F1 + i)), "F" + std::to_string(i + 1));
    }
    const SDL_Scancode keypadDigits[] = {SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2, SDL_SCANCODE_KP_3,
                                         SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_6, SDL_SCANCODE_KP_7,
                                         SDL_SCANCODE_KP_8, SDL_SCANCODE_KP_9};
    for (int digit = 0; digit < 10; ++digit) {
        EXPECT_EQ(KeyName(ScanCodeFromSdl(keypadDigits[digit])), "NumPad " + std::to_string(digit));
    }
}

TEST(ScanCodes, ArrowsAndExtendedKeysUseTheirClassicCodes) {
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_UP), 0xC8);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_DOWN), 0xD0);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_LEFT), 0xCB);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_RIGHT), 0xCD);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_KP_ENTER), 0x9C);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_RALT), 0xB8);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(ScanCodeFromSdl(SDL_SCANCODE_NONUSBACKSLASH), 0x56);
}

TEST(ScanCodes, KeysWithoutANamedCodeAndBadInputGiveZero) {
    // The Windows and menu keys have codes above the named table in the classic set: they are
    // left out so that no key can reach past KeyNames.
    for (int sdl : {int(SDL_SCANCODE_UNKNOWN), int(SDL_SCANCODE_LGUI), int(SDL_SCANCODE_RGUI),
                    int(SDL_SCANCODE_APPLICATION), int(SDL_SCANCODE_POWER), -1, int(SDL_NUM_SCANCODES), 1 << 30}) {
        EXPECT_EQ(ScanCodeFromSdl(sdl), 0) << sdl;
    }
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
        EXPECT_LE(ScanCodeFromSdl(sdl), platform::kLastNamedScanCode) << sdl;
    }
}

}  // namespace
