#pragma once
#include <cstdint>

#include "platform/WindowMessage.h"

namespace platform {

// One change of the player's input, as the event pump takes it from the devices and as a
// recording keeps it (InputRecording.h): what ApplyInputEvent (EventPump.h) puts into the input
// state or the message queue.
struct InputEvent {
    enum class Kind : uint8_t {
        Key,          // code: the scan code; down
        MouseMotion,  // dx, dy: relative counts
        Wheel,        // dy: steps, positive away from the user
        Button,       // code: 0 left, 1 right, 2 middle; down
        Message,      // message: Close, Size, Activate or Char, as the window procedure gets it
        VideoEnd,     // the playing video reached its end (kept in recordings only)
    };

    Kind kind = Kind::Key;
    uint8_t code = 0;
    bool down = false;
    int32_t dx = 0;
    int32_t dy = 0;
    WindowMessage message;

    static InputEvent KeyChange(uint8_t scanCode, bool isDown) { return Of(Kind::Key, scanCode, isDown); }
    static InputEvent Motion(int32_t x, int32_t y) {
        InputEvent event = Of(Kind::MouseMotion);
        event.dx = x;
        event.dy = y;
        return event;
    }
    static InputEvent WheelSteps(int32_t steps) {
        InputEvent event = Of(Kind::Wheel);
        event.dy = steps;
        return event;
    }
    static InputEvent MouseButton(uint8_t button, bool isDown) { return Of(Kind::Button, button, isDown); }
    static InputEvent WindowEvent(const WindowMessage& windowMessage) {
        InputEvent event = Of(Kind::Message);
        event.message = windowMessage;
        return event;
    }
    static InputEvent VideoEnded() { return Of(Kind::VideoEnd); }

private:
    static InputEvent Of(Kind kind, uint8_t code = 0, bool down = false) {
        InputEvent event;
        event.kind = kind;
        event.code = code;
        event.down = down;
        return event;
    }
};

}  // namespace platform
