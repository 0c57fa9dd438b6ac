#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

#include "math/SaturatingAdd.h"

namespace platform {

// Keyboard and mouse as a polled device: the event pump accumulates into it, the input task
// reads it once per frame and then takes the mouse deltas with TakeMouse.
struct MouseState {
    int32_t dx = 0, dy = 0;    // relative motion since the last take
    int32_t wheel = 0;         // wheel steps since the last take (positive away from the user)
    std::array<uint8_t, 3> buttons{};  // 0 left, 1 right, 2 middle; 0x80 while held
};

class InputState {
public:
    // 256 entries indexed by the original keyboard scan codes; 0x80 while the key is held.
    const std::array<uint8_t, 256>& Keys() const { return keys_; }
    void SetKey(uint8_t scanCode, bool down) { keys_[scanCode] = down ? 0x80 : 0; }
    // Motion and wheel steps add up (held at the ends of the int32_t range).
    void AddMouseMotion(int32_t dx, int32_t dy) {
        mouse_.dx = SaturatingAdd(mouse_.dx, dx);
        mouse_.dy = SaturatingAdd(mouse_.dy, dy);
    }
    void AddWheel(int32_t steps) { mouse_.wheel = SaturatingAdd(mouse_.wheel, steps); }
    void SetButton(int button, bool down) { if (button >= 0 && button < 3) mouse_.buttons[button] = down ? 0x80 : 0; }
    // Returns the mouse state and clears the accumulated motion and wheel.
    MouseState TakeMouse() {
        MouseState taken = mouse_;
        mouse_.dx = mouse_.dy = mouse_.wheel = 0;
        return taken;
    }
    void Clear() { keys_.fill(0); mouse_ = MouseState{}; }

private:
    std::array<uint8_t, 256> keys_{};
    MouseState mouse_;
};

// The program's one input state, filled by the event pump.
InputState& GetInputState();

}  // namespace platform
