#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

#include "math/SaturatingAdd.h"

namespace platform {

// Keyboard and mouse as a polled device: the event pump accumulates into it, the input task
// takes the keys and the mouse once per frame.
struct MouseState {
    int32_t dx = 0, dy = 0;    // relative motion since the last take
    int32_t wheel = 0;         // wheel steps since the last take (positive away from the user)
    std::array<uint8_t, 3> buttons{};  // 0 left, 1 right, 2 middle; 0x80 while held
};

// One key or mouse button between takes. A take shows it held or released, and each edge since
// the last take shows at least once: a press and release between two takes show as held in the
// first take and released in the next, a release and new press as released, then held.
class KeyLatch {
public:
    void Set(bool down) {
        held_ = down;
        (down ? pressed_ : released_) = true;
    }
    // 0x80 when the take shows it held, else 0; the edges start again.
    uint8_t Take() {
        shown_ = shown_ ? held_ && !released_ : held_ || pressed_;
        pressed_ = released_ = false;
        return shown_ ? 0x80 : 0;
    }

private:
    bool held_ = false;
    bool shown_ = false;     // what the last take showed
    bool pressed_ = false;   // a press since the last take
    bool released_ = false;  // a release since the last take
};

class InputState {
public:
    // Keys are indexed by the original keyboard scan codes.
    void SetKey(uint8_t scanCode, bool down) { keys_[scanCode].Set(down); }
    // Motion and wheel steps add up (held at the ends of the int32_t range).
    void AddMouseMotion(int32_t dx, int32_t dy) {
        mouse_.dx = SaturatingAdd(mouse_.dx, dx);
        mouse_.dy = SaturatingAdd(mouse_.dy, dy);
    }
    void AddWheel(int32_t steps) { mouse_.wheel = SaturatingAdd(mouse_.wheel, steps); }
    void SetButton(int button, bool down) {
        if (button >= 0 && button < 3) buttons_[static_cast<size_t>(button)].Set(down);
    }
    // 256 entries, 0x80 for a key the take shows held (see KeyLatch).
    std::array<uint8_t, 256> TakeKeys() {
        std::array<uint8_t, 256> shown{};
        for (size_t code = 0; code < shown.size(); ++code) shown[code] = keys_[code].Take();
        return shown;
    }
    // The motion and wheel since the last take, which start again from 0, and the buttons as
    // the take shows them (see KeyLatch).
    MouseState TakeMouse() {
        MouseState taken = mouse_;
        for (size_t button = 0; button < buttons_.size(); ++button) taken.buttons[button] = buttons_[button].Take();
        DropMotion();
        return taken;
    }
    // Forgets the motion and wheel gathered so far.
    void DropMotion() { mouse_ = MouseState{}; }
    void Clear() {
        keys_.fill(KeyLatch{});
        buttons_.fill(KeyLatch{});
        DropMotion();
    }

private:
    std::array<KeyLatch, 256> keys_{};
    std::array<KeyLatch, 3> buttons_{};
    MouseState mouse_;  // motion and wheel; the buttons live in their latches
};

// The program's one input state, filled by the event pump.
InputState& GetInputState();

}  // namespace platform
