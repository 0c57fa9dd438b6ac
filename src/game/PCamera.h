#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"

// The level's chase camera. Not done yet: following the car and driving the render camera;
// Update does nothing for now.
class CPCamera : public IPMMObject {
public:
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPCamera"; }

    void Update() {}
    // Turns the view about the vertical axis; a heading that is not finite is refused (false).
    bool SetHeading(float newHeading);

    float distance = 0.0f;
    // Radians about z.
    float heading = -1.5707964f;
    bool changed = true;
};
