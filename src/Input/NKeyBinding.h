#pragma once
#include <cstdint>
#include <string>

// What one keyboard scan code is bound to (one record per code, 0x00..0xFF).
struct CNKeyBinding {
    uint8_t code = 0;         // the scan code the record was last bound from
    std::string keyName;
    std::string actionName;
    uint8_t bound = 0;        // 1 once a binding line has filled the record
};
