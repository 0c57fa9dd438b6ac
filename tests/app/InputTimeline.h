#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InputRecording.h"

namespace apptest {

// Input a test plays into the real program as a person would: keys held for some main-loop
// passes, the mouse moved and clicked, written as a recording the program replays (VX_REPLAY).
// The recording holds no frame lengths, so VX_FRAME_TIME sets them. Steps may be added in any
// order of passes, except clicks, which move the cursor on from the previous click.
class InputTimeline {
public:
    // From pass on, the key (its binding name: "Up", "Tab", "S") held for passes passes. Its
    // press types what the keyboard types: Tab, Enter and Esc their control characters, a
    // letter its small letter.
    InputTimeline& Hold(uint32_t pass, std::string_view key, uint32_t passes);
    // A short press: down on pass, up on the next one.
    InputTimeline& Press(uint32_t pass, std::string_view key) { return Hold(pass, key, 1); }
    // The game's cursor moved to (x, y) of the window on pass, the left button pressed on the
    // next pass and released on the one after (the input task polls the button once a pass).
    // The cursor starts at the window's top-left corner.
    InputTimeline& Click(uint32_t pass, int32_t x, int32_t y);
    // The playing video reaches its end on pass (a replay ends videos only where told).
    InputTimeline& EndVideo(uint32_t pass);

    // The recording's bytes; it ends after the last step's pass, when the devices would steer.
    std::string Encode() const;

private:
    void Add(uint32_t pass, const platform::InputEvent& event);

    std::vector<platform::RecordedEvent> events_;
    int32_t cursorX_ = 0;
    int32_t cursorY_ = 0;
};

}  // namespace apptest
