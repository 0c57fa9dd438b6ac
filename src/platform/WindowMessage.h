#pragma once
#include <cstdint>
#include <deque>

namespace platform {

// Window messages, as the game's window procedure sees them. The event pump turns SDL's
// window events into these; the kernel takes one per main-loop pass.
enum class MessageType {
    Quit,      // the message loop must end (posted after Close)
    Close,     // the user closed the window
    Size,      // param: SizeKind
    Activate,  // param: ActivateKind
    Char,      // param: the character in the game's 8-bit code page (Backspace 8, Tab 9, Enter 13, Escape 27)
};

// The size kinds the window procedure distinguishes.
enum SizeKind : int32_t { SizeRestored = 0, SizeMinimized = 1, SizeMaximized = 2, SizeHidden = 4 };
// The activation kinds: only Active counts as activation.
enum ActivateKind : int32_t { ActivateInactive = 0, ActivateActive = 1, ActivateClick = 2 };

struct WindowMessage {
    MessageType type = MessageType::Quit;
    int32_t param = 0;   // SizeKind, ActivateKind or character code
    int32_t width = 0;   // client size for Size messages
    int32_t height = 0;
};

// First in, first out queue of window messages.
class MessageQueue {
public:
    void Post(const WindowMessage& message) { messages_.push_back(message); }
    // Takes the oldest message; false when the queue is empty.
    bool Take(WindowMessage& out) {
        if (messages_.empty()) return false;
        out = messages_.front();
        messages_.pop_front();
        return true;
    }
    bool Empty() const { return messages_.empty(); }
    void Clear() { messages_.clear(); }

private:
    std::deque<WindowMessage> messages_;
};

// The program's one queue, shared by the event pump and the kernel.
MessageQueue& GetMessageQueue();

}  // namespace platform
