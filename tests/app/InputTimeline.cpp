#include "InputTimeline.h"

#include <algorithm>
#include <stdexcept>

#include "platform/ScanCodes.h"

namespace apptest {
namespace {

using platform::InputEvent;
using platform::MessageType;

// What a key types when pressed, as the event pump turns a key-down or text input into a
// character; 0 for keys that type nothing.
int32_t TypedCharacter(std::string_view key) {
    if (key == "Tab") return 9;
    if (key == "Enter") return 13;
    if (key == "Esc") return 27;
    if (key == "Space") return ' ';
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') return key[0] - 'A' + 'a';
    return 0;
}

}  // namespace

InputTimeline& InputTimeline::Hold(uint32_t pass, std::string_view key, uint32_t passes) {
    const uint8_t code = platform::FindKeyCode(key);
    if (code == 0) throw std::invalid_argument("no key is named " + std::string(key));
    Add(pass, InputEvent::KeyChange(code, true));
    if (const int32_t character = TypedCharacter(key)) Add(pass, InputEvent::WindowEvent({MessageType::Char, character}));
    Add(pass + std::max(passes, 1u), InputEvent::KeyChange(code, false));
    return *this;
}

InputTimeline& InputTimeline::Click(uint32_t pass, int32_t x, int32_t y) {
    Add(pass, InputEvent::Motion(x - cursorX_, y - cursorY_));
    cursorX_ = x;
    cursorY_ = y;
    Add(pass + 1, InputEvent::MouseButton(0, true));
    Add(pass + 2, InputEvent::MouseButton(0, false));
    return *this;
}

InputTimeline& InputTimeline::EndVideo(uint32_t pass) {
    Add(pass, InputEvent::VideoEnded());
    return *this;
}

void InputTimeline::Add(uint32_t pass, const InputEvent& event) { events_.push_back({pass, event}); }

std::string InputTimeline::Encode() const {
    platform::InputRecording recording;
    recording.events = events_;
    // By pass; within a pass in the order the steps gave them.
    std::stable_sort(recording.events.begin(), recording.events.end(),
                     [](const platform::RecordedEvent& a, const platform::RecordedEvent& b) { return a.pass < b.pass; });
    recording.passCount = recording.events.empty() ? 0 : recording.events.back().pass + 1;
    const std::vector<uint8_t> bytes = platform::EncodeInputRecording(recording);
    return {bytes.begin(), bytes.end()};
}

}  // namespace apptest
