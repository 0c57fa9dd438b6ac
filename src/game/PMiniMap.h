#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"

// The level's minimap. Not done yet: its picture, markers and drawing; Load reads nothing.
class CPMiniMap : public IPMMObject {
public:
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPMiniMap"; }

    // Prepares the map of the level, whose terrain is width × depth units. Reads nothing yet.
    void Load(const std::string& levelName, float width, float depth) {}
};
