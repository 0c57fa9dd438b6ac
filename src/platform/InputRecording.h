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

// How much of a recording is in its file: the passes, frame times and events written.
struct RecordingMark {
    uint32_t passes = 0;
    size_t frames = 0;
    size_t events = 0;
};

// The file, little-endian throughout, written as the run goes:
//   "VXIN", version (u32, 2), seed (u32), then blocks to the end of the file, each:
//     block length (u32, the bytes after it), pass count (u32, the passes the block adds),
//     frame count (u32), then each frame time (IEEE float, seconds),
//     event count (u32), then each event: pass (u32, counted from the run's first pass), kind
//     (u8: 0 key, 1 mouse motion, 2 wheel, 3 button, 4 window message, 5 video end) and its fields:
//       key: scan code (u8), down (u8: 0 or 1)      motion: dx, dy (i32)      wheel: steps (i32)
//       button: 0 left, 1 right, 2 middle (u8), down (u8: 0 or 1)
//       window message: type (u8: 1 close, 2 size, 3 activate, 4 character), param, width,
//         height (i32)                              video end: nothing
// Each block is written in one piece, so the file of a run that was killed ends after a whole
// block or inside the last one. Version 1 files (one block's fields after the seed, with the
// pass count before the frames and without a block length) are still read.

// The start of the file: signature, version and seed.
std::vector<uint8_t> EncodeRecordingStart(uint32_t seed);
// Appends to bytes the block of what the recording holds past the mark (the passes from
// mark.passes to its pass count, the frame times and events from the mark's on) and moves the
// mark to the recording's end.
void AppendRecordingBlock(const InputRecording& recording, RecordingMark& mark, std::vector<uint8_t>& bytes);
// The whole file of a recording, in one block.
std::vector<uint8_t> EncodeInputRecording(const InputRecording& recording);

// Reads a recording from untrusted bytes. A file that ends inside its last block (fewer bytes
// than the block's length) is the file of a run that was killed: it reads up to the block before.
// False, with the reason in error and out unspecified, for anything else that is not a
// well-formed recording: a wrong signature or version, a block whose fields do not fill its
// length, a count larger than what remains, a frame time that is no number of seconds from 0 to
// kLongestRecordedFrame, an event out of pass order or past the last pass of its block, an
// unknown kind or a field outside its values, or (version 1) bytes left over.
bool DecodeInputRecording(const uint8_t* data, size_t size, InputRecording& out, std::string& error);

}  // namespace platform
