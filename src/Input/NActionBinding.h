#pragma once
#include <cstdint>
#include <string>

#include "platform/ScanCodes.h"

// The key bound to one action, and the label the scripts show for the action.
struct CNActionBinding {
    CNActionBinding() = default;
    // The code is the key name's scan code, 0 for the mouse names and unknown names.
    CNActionBinding(const std::string& key, const std::string& text)
        : code(platform::FindKeyCode(key)), keyName(key), label(text), bound(1) {}

    uint8_t code = 0;
    std::string keyName;
    std::string label;
    uint8_t bound = 0;
};
