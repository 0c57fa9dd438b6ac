#pragma once
#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/InputRecording.h"

namespace platform {

// Records a run's input or plays a recording back in place of the devices.
//
// Off, the tape passes the devices' input through. Recording, it passes it through and keeps
// every change with the main-loop pass it came in, and the length of every frame. Replaying, it
// drains the devices but lets only the window's close through (so the window can still be
// closed), and puts the recorded changes into the input state and the message queue in the pass
// they came in; the frame timer gets the recorded frame lengths. After the last recorded pass
// the devices steer the game again.
//
// Whatever else follows the wall clock and steers the game must go through the tape too, or a
// replay would see it in another pass: so far the end of a video (VideoEnds).
// Where a recording's file goes while the run goes on (the application writes it).
class RecordingSink {
public:
    virtual ~RecordingSink() = default;
    // The next bytes of the file, in order: the first hold its start (InputRecording.h), every
    // call one or more whole blocks.
    virtual void Write(const std::vector<uint8_t>& bytes) = 0;
};

class InputTape {
public:
    enum class Mode { Off, Recording, Replaying };

    // Keeps everything from the next pass on, the seed the game's generator started from first.
    // With a sink, what is recorded goes to it as the run goes: the passes done so far at the
    // start of a pass once about a second has gone by since the last time (by the wall clock,
    // which steers nothing of the game), and the rest with FlushRecording.
    void StartRecording(uint32_t seed, RecordingSink* sink = nullptr);
    // Plays the recording from the next pass on.
    void StartReplay(InputRecording recording);
    // Back to Off; the recording is dropped.
    void Stop();
    // Recording with a sink: hands it what it does not have yet (nothing when it has everything;
    // nothing at all before the first pass, so a run that ends before it writes no file).
    void FlushRecording();

    Mode GetMode() const { return mode_; }
    // The recording made so far, or being played.
    const InputRecording& Recording() const { return recording_; }

    // One main-loop pass begins: takes the input of the pass (the kernel's event pump).
    void PumpPass();
    // The length of the frame the timer begins, given what it measured.
    float FrameTime(float measured);
    // Whether the playing video ends in this pass, given whether its stream has ended.
    bool VideoEnds(bool streamEnded);

private:
    static void RecordAndApply(const InputEvent& event);
    static void ApplyCloseOnly(const InputEvent& event);
    void Record(const InputEvent& event);
    void ReplayPass();
    // The pass the last PumpPass began.
    uint32_t CurrentPass() const { return pass_ == 0 ? 0 : pass_ - 1; }

    // How long what is recorded may wait before it goes to the sink.
    static constexpr std::chrono::seconds kFlushInterval{1};

    Mode mode_ = Mode::Off;
    InputRecording recording_;
    RecordingSink* sink_ = nullptr;   // recording: where the file goes, if anywhere
    RecordingMark written_;           // recording: how much the sink has
    std::chrono::steady_clock::time_point nextFlush_;
    uint32_t pass_ = 0;         // passes begun
    size_t nextEvent_ = 0;      // replaying: the first event not yet applied
    size_t nextFrame_ = 0;      // replaying: the first frame time not yet used
    int32_t videoEndsDue_ = 0;  // replaying: recorded video ends of the current pass not yet asked for
};

// The program's tape.
InputTape& GetInputTape();
// The kernel's event pump: GetInputTape().PumpPass().
void PumpTapedEvents();

}  // namespace platform
