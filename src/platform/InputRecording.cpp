#include "platform/InputRecording.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/LittleEndian.h"

namespace platform {
namespace {

constexpr char kSignature[4] = {'V', 'X', 'I', 'N'};
constexpr uint32_t kVersion = 2;
// The first version: one block's fields after the seed, the pass count first, no block length.
constexpr uint32_t kFirstVersion = 1;
// The smallest event: its pass and its kind.
constexpr size_t kSmallestEvent = 5;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    void U8(uint8_t value) { bytes_.push_back(value); }
    void U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(value >> shift));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    size_t Size() const { return bytes_.size(); }
    // Writes value over the four bytes at at.
    void Patch32(size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }

private:
    std::vector<uint8_t>& bytes_;
};

// Reads fields off the front of the bytes; every read fails once too few remain.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), left_(size) {}
    bool U8(uint8_t& value) {
        if (left_ < 1) return false;
        value = *data_;
        Skip(1);
        return true;
    }
    bool U32(uint32_t& value) {
        if (left_ < 4) return false;
        value = Read32(data_);
        Skip(4);
        return true;
    }
    bool I32(int32_t& value) {
        uint32_t bits = 0;
        if (!U32(bits)) return false;
        value = static_cast<int32_t>(bits);
        return true;
    }
    bool Bool(bool& value) {
        uint8_t byte = 0;
        if (!U8(byte) || byte > 1) return false;
        value = byte == 1;
        return true;
    }
    // Whether count items of at least itemSize bytes each can still follow.
    bool Holds(uint32_t count, size_t itemSize) const { return count <= left_ / itemSize; }
    size_t Left() const { return left_; }
    // A reader of the next n bytes (no more than Left()), which this one skips.
    ByteReader Take(size_t n) {
        ByteReader part(data_, n);
        Skip(n);
        return part;
    }

private:
    void Skip(size_t n) {
        data_ += n;
        left_ -= n;
    }
    const uint8_t* data_;
    size_t left_;
};

void EncodeEvent(ByteWriter& out, const RecordedEvent& recorded) {
    const InputEvent& event = recorded.event;
    out.U32(recorded.pass);
    out.U8(static_cast<uint8_t>(event.kind));
    switch (event.kind) {
        case InputEvent::Kind::Key:
        case InputEvent::Kind::Button:
            out.U8(event.code);
            out.U8(event.down ? 1 : 0);
            break;
        case InputEvent::Kind::MouseMotion:
            out.I32(event.dx);
            out.I32(event.dy);
            break;
        case InputEvent::Kind::Wheel: out.I32(event.dy); break;
        case InputEvent::Kind::Message:
            out.U8(static_cast<uint8_t>(event.message.type));
            out.I32(event.message.param);
            out.I32(event.message.width);
            out.I32(event.message.height);
            break;
        case InputEvent::Kind::VideoEnd: break;
    }
}

bool ValidMessage(const WindowMessage& message) {
    const int32_t param = message.param;
    switch (message.type) {
        case MessageType::Close: return true;
        case MessageType::Size:
            return (param == SizeRestored || param == SizeMinimized || param == SizeMaximized || param == SizeHidden) &&
                   message.width >= 0 && message.height >= 0;
        case MessageType::Activate: return param == ActivateInactive || param == ActivateActive || param == ActivateClick;
        case MessageType::Char: return param > 0 && param <= 255;
        case MessageType::Quit: return false;  // the game posts it itself, never the devices
    }
    return false;
}

bool DecodeMessage(ByteReader& in, WindowMessage& message) {
    uint8_t type = 0;
    if (!in.U8(type) || type < static_cast<uint8_t>(MessageType::Close) || type > static_cast<uint8_t>(MessageType::Char)) {
        return false;
    }
    message.type = static_cast<MessageType>(type);
    return in.I32(message.param) && in.I32(message.width) && in.I32(message.height) && ValidMessage(message);
}

bool DecodeFields(ByteReader& in, InputEvent& event) {
    switch (event.kind) {
        case InputEvent::Kind::Key: return in.U8(event.code) && in.Bool(event.down);
        case InputEvent::Kind::Button: return in.U8(event.code) && event.code < 3 && in.Bool(event.down);
        case InputEvent::Kind::MouseMotion: return in.I32(event.dx) && in.I32(event.dy);
        case InputEvent::Kind::Wheel: return in.I32(event.dy);
        case InputEvent::Kind::Message: return DecodeMessage(in, event.message);
        case InputEvent::Kind::VideoEnd: return true;
    }
    return false;
}

bool DecodeEvent(ByteReader& in, uint32_t passCount, uint32_t earliestPass, RecordedEvent& out, std::string& error) {
    uint8_t kind = 0;
    if (!in.U32(out.pass) || !in.U8(kind)) {
        error = "it ends inside an event";
        return false;
    }
    if (out.pass < earliestPass || out.pass >= passCount) {
        error = "an event's pass " + std::to_string(out.pass) + " is out of order or past the last pass";
        return false;
    }
    if (kind > static_cast<uint8_t>(InputEvent::Kind::VideoEnd)) {
        error = "an event is of the unknown kind " + std::to_string(kind);
        return false;
    }
    out.event = InputEvent{};
    out.event.kind = static_cast<InputEvent::Kind>(kind);
    if (!DecodeFields(in, out.event)) {
        error = "an event of pass " + std::to_string(out.pass) + " is cut short or holds a value outside its range";
        return false;
    }
    return true;
}

// Reads a count of frame times and the times, after those already in frameTimes.
bool DecodeFrameTimes(ByteReader& in, std::vector<float>& frameTimes, std::string& error) {
    uint32_t count = 0;
    if (!in.U32(count) || !in.Holds(count, 4)) {
        error = "it holds fewer frame times than it counts";
        return false;
    }
    const size_t first = frameTimes.size();
    frameTimes.resize(first + count);
    for (size_t i = first; i < frameTimes.size(); ++i) {
        uint32_t bits = 0;
        in.U32(bits);
        const float seconds = std::bit_cast<float>(bits);
        if (!(seconds >= 0.0f && seconds <= kLongestRecordedFrame)) {
            error = "a frame time is no number of seconds from 0 to 3600";
            return false;
        }
        frameTimes[i] = seconds;
    }
    return true;
}

// Reads a count of events and the events, after those already in events: each of a pass from
// firstPass on (and not before the event before it) and before passCount.
bool DecodeEvents(ByteReader& in, uint32_t firstPass, uint32_t passCount, std::vector<RecordedEvent>& events,
                  std::string& error) {
    uint32_t count = 0;
    if (!in.U32(count) || !in.Holds(count, kSmallestEvent)) {
        error = "it holds fewer events than it counts";
        return false;
    }
    uint32_t earliestPass = events.empty() ? firstPass : std::max(firstPass, events.back().pass);
    const size_t first = events.size();
    events.resize(first + count);
    for (size_t i = first; i < events.size(); ++i) {
        if (!DecodeEvent(in, passCount, earliestPass, events[i], error)) return false;
        earliestPass = events[i].pass;
    }
    return true;
}

// One block of a version 2 file, added to out.
bool DecodeBlock(ByteReader& block, InputRecording& out, std::string& error) {
    uint32_t passes = 0;
    if (!block.U32(passes) || passes > UINT32_MAX - out.passCount) {
        error = "a block's pass count is cut short or makes too many passes";
        return false;
    }
    const uint32_t firstPass = out.passCount;
    out.passCount += passes;
    if (!DecodeFrameTimes(block, out.frameTimes, error) ||
        !DecodeEvents(block, firstPass, out.passCount, out.events, error)) {
        return false;
    }
    if (block.Left() != 0) {
        error = std::to_string(block.Left()) + " bytes follow the last event of a block";
        return false;
    }
    return true;
}

// The blocks of a version 2 file up to its end, or up to the last whole block when the file ends
// inside a block.
bool DecodeBlocks(ByteReader& in, InputRecording& out, std::string& error) {
    while (in.Left() > 0) {
        uint32_t length = 0;
        if (!in.U32(length) || length > in.Left()) return true;
        ByteReader block = in.Take(length);
        if (!DecodeBlock(block, out, error)) return false;
    }
    return true;
}

// The fields of a version 1 file after its seed.
bool DecodeFirstVersion(ByteReader& in, InputRecording& out, std::string& error) {
    if (!in.U32(out.passCount)) {
        error = "it ends inside its header";
        return false;
    }
    if (!DecodeFrameTimes(in, out.frameTimes, error) || !DecodeEvents(in, 0, out.passCount, out.events, error)) {
        return false;
    }
    if (in.Left() != 0) {
        error = std::to_string(in.Left()) + " bytes follow its last event";
        return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeRecordingStart(uint32_t seed) {
    std::vector<uint8_t> bytes(std::begin(kSignature), std::end(kSignature));
    ByteWriter out(bytes);
    out.U32(kVersion);
    out.U32(seed);
    return bytes;
}

void AppendRecordingBlock(const InputRecording& recording, RecordingMark& mark, std::vector<uint8_t>& bytes) {
    ByteWriter out(bytes);
    const size_t lengthAt = out.Size();
    out.U32(0);
    out.U32(recording.passCount - mark.passes);
    out.U32(static_cast<uint32_t>(recording.frameTimes.size() - mark.frames));
    for (size_t i = mark.frames; i < recording.frameTimes.size(); ++i) {
        out.U32(std::bit_cast<uint32_t>(recording.frameTimes[i]));
    }
    out.U32(static_cast<uint32_t>(recording.events.size() - mark.events));
    for (size_t i = mark.events; i < recording.events.size(); ++i) EncodeEvent(out, recording.events[i]);
    out.Patch32(lengthAt, static_cast<uint32_t>(out.Size() - lengthAt - 4));
    mark = {recording.passCount, recording.frameTimes.size(), recording.events.size()};
}

std::vector<uint8_t> EncodeInputRecording(const InputRecording& recording) {
    std::vector<uint8_t> bytes = EncodeRecordingStart(recording.seed);
    RecordingMark mark;
    AppendRecordingBlock(recording, mark, bytes);
    return bytes;
}

bool DecodeInputRecording(const uint8_t* data, size_t size, InputRecording& out, std::string& error) {
    if (size < sizeof(kSignature) || std::memcmp(data, kSignature, sizeof(kSignature)) != 0) {
        error = "it is no input recording (its first bytes are not \"VXIN\")";
        return false;
    }
    ByteReader in(data + sizeof(kSignature), size - sizeof(kSignature));
    uint32_t version = 0;
    if (!in.U32(version) || (version != kVersion && version != kFirstVersion)) {
        error = "its version is neither " + std::to_string(kFirstVersion) + " nor " + std::to_string(kVersion);
        return false;
    }
    out = InputRecording{};
    if (!in.U32(out.seed)) {
        error = "it ends inside its header";
        return false;
    }
    return version == kVersion ? DecodeBlocks(in, out, error) : DecodeFirstVersion(in, out, error);
}

}  // namespace platform
