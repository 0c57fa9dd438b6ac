#pragma once
#include <cstdint>

// Where the input task hands the cursor's movement and the mouse buttons (0 left, 1 right,
// 2 middle), with the cursor's position in screen pixels. The interface installs it at start-up.
class INMouseListener {
public:
    virtual ~INMouseListener() = default;
    virtual void OnMouseMove(float x, float y) = 0;
    virtual void OnButtonDown(int32_t button, float x, float y) = 0;
    virtual void OnButtonUp(int32_t button, float x, float y) = 0;
};
