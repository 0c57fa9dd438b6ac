#include "platform/InputTape.h"

#include <algorithm>
#include <utility>

#include "platform/EventPump.h"
#include "platform/InputState.h"

namespace platform {

InputTape& GetInputTape() {
    static InputTape tape;
    return tape;
}

void PumpTapedEvents() { GetInputTape().PumpPass(); }

void InputTape::StartRecording(uint32_t seed, RecordingSink* sink) {
    Stop();
    mode_ = Mode::Recording;
    recording_.seed = seed;
    sink_ = sink;
    nextFlush_ = std::chrono::steady_clock::now() + kFlushInterval;
}

void InputTape::StartReplay(InputRecording recording) {
    Stop();
    mode_ = Mode::Replaying;
    recording_ = std::move(recording);
}

void InputTape::Stop() {
    mode_ = Mode::Off;
    recording_ = InputRecording{};
    pass_ = 0;
    nextEvent_ = 0;
    nextFrame_ = 0;
    videoEndsDue_ = 0;
    sink_ = nullptr;
    written_ = RecordingMark{};
}

void InputTape::FlushRecording() {
    if (mode_ != Mode::Recording || !sink_ || recording_.passCount == 0) return;
    if (written_.passes == recording_.passCount && written_.frames == recording_.frameTimes.size() &&
        written_.events == recording_.events.size()) {
        return;
    }
    std::vector<uint8_t> bytes;
    if (written_.passes == 0) bytes = EncodeRecordingStart(recording_.seed);
    AppendRecordingBlock(recording_, written_, bytes);
    sink_->Write(bytes);
    nextFlush_ = std::chrono::steady_clock::now() + kFlushInterval;
}

void InputTape::PumpPass() {
    if (mode_ == Mode::Replaying && pass_ >= recording_.passCount) mode_ = Mode::Off;
    switch (mode_) {
        case Mode::Off: PumpEvents(); break;
        case Mode::Recording:
            // Every pass begun so far is over: none of them changes any more.
            if (sink_ && pass_ > 0 && std::chrono::steady_clock::now() >= nextFlush_) FlushRecording();
            ++pass_;
            recording_.passCount = pass_;
            PumpEvents(RecordAndApply);
            break;
        case Mode::Replaying:
            ++pass_;
            PumpEvents(ApplyCloseOnly);
            ReplayPass();
            break;
    }
}

void InputTape::RecordAndApply(const InputEvent& event) {
    GetInputTape().Record(event);
    ApplyInputEvent(event);
}

void InputTape::ApplyCloseOnly(const InputEvent& event) {
    if (event.kind == InputEvent::Kind::Message && event.message.type == MessageType::Close) ApplyInputEvent(event);
}

void InputTape::Record(const InputEvent& event) {
    const uint32_t pass = CurrentPass();
    std::vector<RecordedEvent>& events = recording_.events;
    // Motion within a pass adds up before the input task reads it: one event keeps the sum.
    if (event.kind == InputEvent::Kind::MouseMotion && !events.empty() && events.back().pass == pass &&
        events.back().event.kind == InputEvent::Kind::MouseMotion) {
        InputEvent& sum = events.back().event;
        sum.dx = SaturatingAdd(sum.dx, event.dx);
        sum.dy = SaturatingAdd(sum.dy, event.dy);
        return;
    }
    events.push_back({pass, event});
    recording_.passCount = std::max(recording_.passCount, pass + 1);
}

void InputTape::ReplayPass() {
    const uint32_t pass = CurrentPass();
    videoEndsDue_ = 0;
    const std::vector<RecordedEvent>& events = recording_.events;
    for (; nextEvent_ < events.size() && events[nextEvent_].pass == pass; ++nextEvent_) {
        const InputEvent& event = events[nextEvent_].event;
        if (event.kind == InputEvent::Kind::VideoEnd) {
            ++videoEndsDue_;
        } else {
            ApplyInputEvent(event);
        }
    }
}

float InputTape::FrameTime(float measured) {
    if (mode_ == Mode::Recording) {
        recording_.frameTimes.push_back(measured);
    } else if (mode_ == Mode::Replaying && nextFrame_ < recording_.frameTimes.size()) {
        return recording_.frameTimes[nextFrame_++];
    }
    return measured;
}

bool InputTape::VideoEnds(bool streamEnded) {
    if (mode_ == Mode::Recording && streamEnded) Record(InputEvent::VideoEnded());
    if (mode_ != Mode::Replaying) return streamEnded;
    if (videoEndsDue_ == 0) return false;
    --videoEndsDue_;
    return true;
}

}  // namespace platform
