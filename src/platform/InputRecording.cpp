#include "platform/InputRecording.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "platform/LittleEndian.h"

namespace platform {
namespace {

constexpr char kSignature[4] = {'V', 'X', 'I', 'N'};
constexpr uint32_t kVersion = 1;
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

bool DecodeFrameTimes(ByteReader& in, std::vector<float>& frameTimes, std::string& error) {
    uint32_t count = 0;
    if (!in.U32(count) || !in.Holds(count, 4)) {
        error = "it holds fewer frame times than it counts";
        return false;
    }
    frameTimes.resize(count);
    for (float& seconds : frameTimes) {
        uint32_t bits = 0;
        in.U32(bits);
        seconds = std::bit_cast<float>(bits);
        if (!(seconds >= 0.0f && seconds <= kLongestRecordedFrame)) {
            error = "a frame time is no number of seconds from 0 to 3600";
            return false;
        }
    }
    return true;
}

bool DecodeEvents(ByteReader& in, uint32_t passCount, std::vector<RecordedEvent>& events, std::string& error) {
    uint32_t count = 0;
    if (!in.U32(count) || !in.Holds(count, kSmallestEvent)) {
        error = "it holds fewer events than it counts";
        return false;
    }
    events.resize(count);
    uint32_t earliestPass = 0;
    for (RecordedEvent& event : events) {
        if (!DecodeEvent(in, passCount, earliestPass, event, error)) return false;
        earliestPass = event.pass;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeInputRecording(const InputRecording& recording) {
    std::vector<uint8_t> bytes(std::begin(kSignature), std::end(kSignature));
    ByteWriter out(bytes);
    out.U32(kVersion);
    out.U32(recording.seed);
    out.U32(recording.passCount);
    out.U32(static_cast<uint32_t>(recording.frameTimes.size()));
    for (const float seconds : recording.frameTimes) out.U32(std::bit_cast<uint32_t>(seconds));
    out.U32(static_cast<uint32_t>(recording.events.size()));
    for (const RecordedEvent& event : recording.events) EncodeEvent(out, event);
    return bytes;
}

bool DecodeInputRecording(const uint8_t* data, size_t size, InputRecording& out, std::string& error) {
    if (size < sizeof(kSignature) || std::memcmp(data, kSignature, sizeof(kSignature)) != 0) {
        error = "it is no input recording (its first bytes are not \"VXIN\")";
        return false;
    }
    ByteReader in(data + sizeof(kSignature), size - sizeof(kSignature));
    uint32_t version = 0;
    if (!in.U32(version) || version != kVersion) {
        error = "its version is not " + std::to_string(kVersion);
        return false;
    }
    if (!in.U32(out.seed) || !in.U32(out.passCount)) {
        error = "it ends inside its header";
        return false;
    }
    if (!DecodeFrameTimes(in, out.frameTimes, error) || !DecodeEvents(in, out.passCount, out.events, error)) return false;
    if (in.Left() != 0) {
        error = std::to_string(in.Left()) + " bytes follow its last event";
        return false;
    }
    return true;
}

}  // namespace platform
