#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/InputEvent.h"

namespace platform {

// A run's input, enough to play the run again (InputTape.h): the seed the game's generator
// started from, the number of main-loop passes, the length of every frame the frame timer
// measured (one per timer update, in order) and every input event with the pass it came in.
struct RecordedEvent {
    uint32_t pass = 0;
    InputEvent event;
};

struct InputRecording {
    uint32_t seed = 0;
    uint32_t passCount = 0;
    std::vector<float> frameTimes;
    std::vector<RecordedEvent> events;  // by pass, in the order they came
};

// The longest frame a recording may hold, in seconds.
constexpr float kLongestRecordedFrame = 3600.0f;

// The file, little-endian throughout:
//   "VXIN", version (u32, 1), seed (u32), pass count (u32),
//   frame count (u32), then each frame time (IEEE float, seconds),
//   event count (u32), then each event: pass (u32), kind (u8: 0 key, 1 mouse motion, 2 wheel,
//   3 button, 4 window message, 5 video end) and its fields:
//     key: scan code (u8), down (u8: 0 or 1)      motion: dx, dy (i32)      wheel: steps (i32)
//     button: 0 left, 1 right, 2 middle (u8), down (u8: 0 or 1)
//     window message: type (u8: 1 close, 2 size, 3 activate, 4 character), param, width,
//       height (i32)                              video end: nothing
std::vector<uint8_t> EncodeInputRecording(const InputRecording& recording);

// Reads a recording from untrusted bytes. False, with the reason in error and out unspecified,
// when the bytes are not a whole, well-formed recording: a wrong signature or version, a count
// larger than what remains, a frame time that is no number of seconds from 0 to
// kLongestRecordedFrame, an event out of pass order or past the last pass, an unknown kind or
// a field outside its values, or bytes left over.
bool DecodeInputRecording(const uint8_t* data, size_t size, InputRecording& out, std::string& error);

}  // namespace platform
