#pragma once
#include <cstdint>
#include <string_view>

// Synthetic input for tests of the event pump and of what reads its results: each function
// queues one event in SDL's queue, and the next platform::PumpEvents() handles it as if it
// came from the system.
namespace testsupport {

// Keeps SDL's event queue running without a window and starts with an empty SDL queue,
// message queue and input state; empties the latter two again at the end.
class EventScope {
public:
    EventScope();
    ~EventScope();
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
};

enum class WindowEvent { Shown, Hidden, Minimized, Maximized, Restored, Resized, FocusGained, FocusLost, Close };

// The application is asked to quit (the window's close button, SIGTERM).
void PushQuit();
// A window event for the current window (the one whose GL context is current, if any);
// Resized carries the new client size.
void PushWindowEvent(WindowEvent event, int32_t width = 0, int32_t height = 0);
// A key given by its scan code (0x01..0xD3) goes down or up; repeat marks auto-repeat.
void PushKey(uint8_t scanCode, bool down, bool repeat = false);
// Typed text, UTF-8, at most 31 bytes.
void PushText(std::string_view utf8);
void PushMouseMotion(int32_t dx, int32_t dy);
// Button 0 left, 1 right, 2 middle.
void PushMouseButton(int button, bool down);
// Wheel steps, positive away from the user.
void PushWheel(int32_t steps);

}  // namespace testsupport
